#pragma once

// CBcom: the serial port names. The list is read again each time it drops
// down, because adapters are plugged in after start; the text typed or chosen
// stays. A typed path is accepted as the port name. The drop-down shows each
// port with its description (which adapter it is); the box's text stays the
// device path, which is what every exchange opens.

#include <QComboBox>
#include <QHash>
#include <QStringList>
#include <functional>

namespace tarnik {

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PortComboBox(QWidget* parent = nullptr);

    // Where the names come from (the machine's serial ports by default).
    void setPortSource(std::function<QStringList()> source);
    // Where the descriptions come from, by port name (the machine's by default).
    void setDescriptionSource(std::function<QHash<QString, QString>()> source);

    // Names listed first on every refresh (the demo module's line).
    void setPinnedPorts(const QStringList& ports);
    bool isPinned(const QString& port) const { return pinned_.contains(port); }

    // Fills the list; keeps the current text unless `selectFirst`.
    void refreshPorts(bool selectFirst = false);

    // What the drop-down shows for a row: the path, and its description when known.
    QString popupText(int row) const;

    void showPopup() override;

private:
    std::function<QStringList()> source_;
    std::function<QHash<QString, QString>()> descriptions_;
    QStringList pinned_;
};

}  // namespace tarnik

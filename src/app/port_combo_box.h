#pragma once

// CBcom: the serial port names. The list is read again each time it drops
// down, because adapters are plugged in after start; the text typed or chosen
// stays. A typed path is accepted as the port name.

#include <QComboBox>
#include <QStringList>
#include <functional>

namespace tarnik {

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PortComboBox(QWidget* parent = nullptr);

    // Where the names come from (the machine's serial ports by default).
    void setPortSource(std::function<QStringList()> source);

    // Names listed first on every refresh (the demo module's line).
    void setPinnedPorts(const QStringList& ports);
    bool isPinned(const QString& port) const { return pinned_.contains(port); }

    // Fills the list; keeps the current text unless `selectFirst`.
    void refreshPorts(bool selectFirst = false);

    void showPopup() override;

private:
    std::function<QStringList()> source_;
    QStringList pinned_;
};

}  // namespace tarnik

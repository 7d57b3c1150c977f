#include "app/port_combo_box.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>
#include <QTextDocument>

#include "serial/port_list.h"

namespace tarnik {

namespace {

constexpr int kDescriptionRole = Qt::UserRole + 1;

QStringList machinePorts()
{
    QStringList names;
    for (const std::string& name : ListSerialPorts())
        names << QString::fromStdString(name);
    return names;
}

QHash<QString, QString> machineDescriptions()
{
    QHash<QString, QString> descriptions;
    for (const SerialPortInfo& port : describeSerialPorts())
        descriptions.insert(QString::fromStdString(port.path),
                            QString::fromStdString(port.description));
    return descriptions;
}

// Draws the drop-down's rows with their descriptions; the items themselves hold only
// the path, so choosing one puts the bare path into the box.
class PortItemDelegate : public QStyledItemDelegate {
public:
    PortItemDelegate(const PortComboBox* box, QObject* parent)
        : QStyledItemDelegate(parent), box_(box)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = box_->popupText(index.row());
    }

private:
    const PortComboBox* box_;
};

}  // namespace

PortComboBox::PortComboBox(QWidget* parent)
    : QComboBox(parent), source_(machinePorts), descriptions_(machineDescriptions)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    view()->setItemDelegate(new PortItemDelegate(this, this));
}

void PortComboBox::setPortSource(std::function<QStringList()> source)
{
    source_ = std::move(source);
}

void PortComboBox::setDescriptionSource(std::function<QHash<QString, QString>()> source)
{
    descriptions_ = std::move(source);
}

void PortComboBox::setPinnedPorts(const QStringList& ports)
{
    pinned_ = ports;
}

void PortComboBox::refreshPorts(bool selectFirst)
{
    const QString kept = currentText();
    QStringList names = pinned_;
    for (const QString& name : source_())
        if (!names.contains(name))
            names << name;
    const QHash<QString, QString> descriptions = descriptions_();
    const QSignalBlocker quiet(this);
    clear();
    addItems(names);
    for (int row = 0; row < names.size(); ++row) {
        const QString description = descriptions.value(names[row]);
        setItemData(row, description, kDescriptionRole);
        // A tooltip that looks like markup would be shown as rich text: the device's
        // words are shown as they are.
        setItemData(row,
                    description.isEmpty()
                        ? QString()
                        : Qt::convertFromPlainText(description, Qt::WhiteSpaceNormal),
                    Qt::ToolTipRole);
    }
    if (selectFirst) {
        setCurrentIndex(names.isEmpty() ? -1 : 0);
    } else {
        const int index = findText(kept);
        setCurrentIndex(index);
        setEditText(kept);
    }
}

QString PortComboBox::popupText(int row) const
{
    const QString path = itemText(row);
    const QString description = itemData(row, kDescriptionRole).toString();
    return description.isEmpty() ? path : path + QStringLiteral(" — ") + description;
}

void PortComboBox::showPopup()
{
    refreshPorts(false);
    QComboBox::showPopup();
}

}  // namespace tarnik

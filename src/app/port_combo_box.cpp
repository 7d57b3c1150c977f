#include "app/port_combo_box.h"

#include "serial/port_list.h"

namespace tarnik {

namespace {

QStringList machinePorts()
{
    QStringList names;
    for (const std::string& name : ListSerialPorts())
        names << QString::fromStdString(name);
    return names;
}

}  // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent), source_(machinePorts)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void PortComboBox::setPortSource(std::function<QStringList()> source)
{
    source_ = std::move(source);
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
    const QSignalBlocker quiet(this);
    clear();
    addItems(names);
    if (selectFirst) {
        setCurrentIndex(names.isEmpty() ? -1 : 0);
    } else {
        const int index = findText(kept);
        setCurrentIndex(index);
        setEditText(kept);
    }
}

void PortComboBox::showPopup()
{
    refreshPorts(false);
    QComboBox::showPopup();
}

}  // namespace tarnik

#include "editor/lookup/control_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editor/widgets/spin_edit.h"

namespace tarnik {

namespace {

// The first control of a name wins, as a search from the root would find it.
template <typename T>
void enter(QHash<QString, T*>& table, const QString& key, QWidget* widget)
{
    if (auto* control = qobject_cast<T*>(widget); control && !table.contains(key))
        table.insert(key, control);
}

}  // namespace

ControlTable::ControlTable(const QObject* root)
{
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty())
            continue;
        const QString key = ControlTable::keyOf(widget->objectName());
        enter(widgets_, key, widget);
        enter(edits_, key, widget);
        enter(memos_, key, widget);
        enter(spins_, key, widget);
        enter(checks_, key, widget);
        enter(combos_, key, widget);
    }
}

}  // namespace tarnik

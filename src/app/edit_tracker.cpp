#include "app/edit_tracker.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QWidget>

namespace tarnik {

EditTracker::EditTracker(QObject* parent) : QObject(parent)
{
}

void EditTracker::watch(QWidget* root, const QList<QWidget*>& userDirectory)
{
    for (QWidget* widget : userDirectory)
        userDirectory_.insert(widget);
    const auto changed = [this](QObject* control) {
        return [this, control] { controlChanged(control); };
    };
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // A spin box's own line edit is watched through the spin box.
            if (!qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
                connect(edit, &QLineEdit::textChanged, this, changed(edit));
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            connect(spin, &QSpinBox::textChanged, this, changed(spin));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->isCheckable())
                connect(button, &QAbstractButton::toggled, this, changed(button));
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::currentIndexChanged, this, changed(combo));
            connect(combo, &QComboBox::editTextChanged, this, changed(combo));
        } else if (auto* notes = qobject_cast<QPlainTextEdit*>(widget)) {
            connect(notes, &QPlainTextEdit::textChanged, this, changed(notes));
        } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
            connect(text, &QTextEdit::textChanged, this, changed(text));
        }
    }
}

void EditTracker::controlChanged(QObject* control)
{
    if (showing_ > 0)
        return;
    if (userDirectory_.contains(control))
        set(settingsEdited_, true);
    else
        set(true, usersEdited_);
}

void EditTracker::settingsEdited()
{
    set(true, usersEdited_);
}

void EditTracker::clear()
{
    set(false, false);
}

void EditTracker::settingsReplaced()
{
    set(false, usersEdited_);
}

void EditTracker::set(bool settingsEdited, bool usersEdited)
{
    const bool was = modified();
    settingsEdited_ = settingsEdited;
    usersEdited_ = usersEdited;
    if (modified() != was)
        emit modifiedChanged(modified());
}

}  // namespace tarnik

#include "app/edit_tracker.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QWidget>

#include <utility>

#include "model/settings_catalogue.h"

namespace tarnik {

bool operator==(const ShownSettings& a, const ShownSettings& b)
{
    return differingSettings(a.record, a.users, b.record, b.users).empty();
}

EditTracker::EditTracker(QObject* parent) : QObject(parent)
{
}

// Calls connectOne(sender, signal) for the change signal(s) of every editable control.
// A spin box counts once its value is committed (leaving it, Enter, a step), not at
// every key typed into it: collecting its half-typed text would rewrite it.
template <typename Connect>
void EditTracker::forEachSignal(QWidget* root, Connect connectOne)
{
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // A spin box's own line edit is watched through the spin box.
            if (!qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
                connectOne(edit, &QLineEdit::textChanged);
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            connectOne(spin, &QSpinBox::valueChanged);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->isCheckable())
                connectOne(button, &QAbstractButton::toggled);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connectOne(combo, &QComboBox::currentIndexChanged);
            if (combo->isEditable())
                connectOne(combo, &QComboBox::editTextChanged);
        } else if (auto* notes = qobject_cast<QPlainTextEdit*>(widget)) {
            connectOne(notes, &QPlainTextEdit::textChanged);
        } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
            connectOne(text, &QTextEdit::textChanged);
        }
    }
}

void EditTracker::watchFirst(QWidget* root)
{
    forEachSignal(root, [this](auto* control, auto signal) {
        connect(control, signal, this, [this, control] {
            if (depth_++ == 0)
                outermost_ = control;
        });
    });
}

void EditTracker::watchLast(QWidget* root)
{
    forEachSignal(root, [this](auto* control, auto signal) {
        connect(control, signal, this, [this] {
            // A control connected after watchFirst (none of the pages') has no opening.
            if (depth_ == 0 || --depth_ > 0)
                return;
            QObject* began = std::exchange(outermost_, nullptr);
            if (showing_ == 0)
                emit controlsEdited(began);
        });
    });
    // Changes made between the two (the first show) opened without closing.
    depth_ = 0;
    outermost_ = nullptr;
}

void EditTracker::saved(const ShownSettings& shown)
{
    saved_ = shown;
    shown_ = shown;
    update();
}

void EditTracker::settingsReplaced(const SettingsRecord& record)
{
    saved_.record = record;
    shown_.record = record;
    update();
}

void EditTracker::shownNow(const ShownSettings& shown)
{
    shown_ = shown;
    update();
}

void EditTracker::update()
{
    const bool modified = !(shown_ == saved_);
    if (modified == modified_)
        return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

}  // namespace tarnik

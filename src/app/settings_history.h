#pragma once

// The window's undo history ("Edycja → Cofnij / Ponów"): every change of the settings
// shown is one step that keeps the whole of what the window showed before and after
// it (both records, 2.4 KB each). Undoing shows the "before" again through the same
// path as any other change, so nothing an edit touched (a cascade of interlocks, a
// reaction byte no control shows) can be missed. Typing into one text field is one
// step until the focus leaves it.

#include <QString>
#include <QUndoCommand>
#include <functional>

#include "app/edit_tracker.h"

class QObject;

namespace tarnik {

// A step's name, from the first setting (in page order) the step changes: its label
// without the page, "Wejście 3 / zanik masy / Treść wiadomości SMS".
QString changeName(const ShownSettings& before, const ShownSettings& after);

class SettingsEditCommand : public QUndoCommand {
public:
    // `show` shows a state in the window. `typedInto` is the text field typed into, or
    // null; `typingRun` counts the times typing began anew (another field, or the focus
    // left the field): steps of one run join into one.
    SettingsEditCommand(std::function<void(const ShownSettings&)> show, ShownSettings before,
                        ShownSettings after, const QString& name, QObject* typedInto,
                        int typingRun);

    // The change is already shown when the step is pushed: the first redo does nothing.
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    std::function<void(const ShownSettings&)> show_;
    ShownSettings before_;
    ShownSettings after_;
    QObject* typedInto_;
    int typingRun_;
    bool pushed_ = false;
};

}  // namespace tarnik

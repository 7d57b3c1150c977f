#pragma once

// The window's one watcher over its settings controls, and its unsaved mark.
//
// Watching: every editable control below the pages is connected twice, once before
// any other handler of the control (the interlocks, the SMS centre list) and once
// after all of them. A change made by the user therefore runs its handlers' cascade
// (a ticked box clearing two others, a chosen centre filling its number) between
// the two, and controlsEdited() is told once, when the outermost change has ended,
// with every control the cascade touched already in its final state. Changes made
// while a ProgramShows scope lives (the program showing a record) are not told.
//
// The unsaved mark: the settings shown are compared with the ones last saved or
// opened, so an edit undone, or typed and deleted again, leaves nothing unsaved. A
// read-back replaces only the settings: edits of the User directory stay unsaved.

#include <QObject>

#include "model/settings_record.h"

class QWidget;

namespace tarnik {

// What the window shows: its Settings record with the controls collected into it,
// and its User directory likewise.
struct ShownSettings {
    SettingsRecord record{};
    UserDirectory users{};
};
// Equal when no setting of the catalogue differs, the hidden ones included. Characters
// kept past a text's end (typed and deleted again) count for nothing.
bool operator==(const ShownSettings& a, const ShownSettings& b);

class EditTracker : public QObject {
    Q_OBJECT
public:
    explicit EditTracker(QObject* parent = nullptr);

    // Connects the controls below `root`: watchFirst before their other handlers are
    // connected, watchLast after them.
    void watchFirst(QWidget* root);
    void watchLast(QWidget* root);

    // While the returned scope lives, control changes are the program's and tell nothing.
    class ProgramShows {
    public:
        explicit ProgramShows(EditTracker& tracker) : tracker_(tracker) { ++tracker_.showing_; }
        ~ProgramShows() { --tracker_.showing_; }
        ProgramShows(const ProgramShows&) = delete;
        ProgramShows& operator=(const ProgramShows&) = delete;

    private:
        EditTracker& tracker_;
    };

    // The unsaved mark. Opened or saved: `shown` is what the file holds.
    void saved(const ShownSettings& shown);
    // Read back from the module: its settings are the ones held; the users saved stay.
    void settingsReplaced(const SettingsRecord& record);
    // What the window shows now, after any change.
    void shownNow(const ShownSettings& shown);

    bool modified() const { return modified_; }

signals:
    // The user changed one or more controls; `control` is the one the change began in.
    void controlsEdited(QObject* control);
    void modifiedChanged(bool modified);

private:
    template <typename Connect>
    void forEachSignal(QWidget* root, Connect connectOne);
    void update();

    int showing_ = 0;
    int depth_ = 0;                 // changes under way, nested in one another
    QObject* outermost_ = nullptr;  // the control the change under way began in
    ShownSettings saved_{};
    ShownSettings shown_{};
    bool modified_ = false;
};

}  // namespace tarnik

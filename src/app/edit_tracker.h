#pragma once

// Whether the window holds edits not yet saved. The user's changes to the pages'
// controls mark them; the program's own showing of settings (start-up, a file
// opened, a read-back) does not. Edits of the User directory (names and notes) are
// kept apart, because a read-back replaces only the settings.

#include <QObject>
#include <QSet>

class QWidget;

namespace tarnik {

class EditTracker : public QObject {
    Q_OBJECT
public:
    explicit EditTracker(QObject* parent = nullptr);

    // Watches every editable control below `root`; a change of one marks the settings
    // edited, or the User directory when the control is one of `userDirectory`.
    void watch(QWidget* root, const QList<QWidget*>& userDirectory);

    // While the returned scope lives, control changes are the program's and mark nothing.
    class ProgramShows {
    public:
        explicit ProgramShows(EditTracker& tracker) : tracker_(tracker) { ++tracker_.showing_; }
        ~ProgramShows() { --tracker_.showing_; }
        ProgramShows(const ProgramShows&) = delete;
        ProgramShows& operator=(const ProgramShows&) = delete;

    private:
        EditTracker& tracker_;
    };

    // An edit made outside the controls (a reaction dialog's byte).
    void settingsEdited();
    // Opened or saved: nothing is left unsaved.
    void clear();
    // Read back from the module: the settings shown are the module's; edits of the
    // User directory stay unsaved.
    void settingsReplaced();

    bool modified() const { return settingsEdited_ || usersEdited_; }

signals:
    void modifiedChanged(bool modified);

private:
    void controlChanged(QObject* control);
    void set(bool settingsEdited, bool usersEdited);

    QSet<QObject*> userDirectory_;
    int showing_ = 0;
    bool settingsEdited_ = false;
    bool usersEdited_ = false;
};

}  // namespace tarnik

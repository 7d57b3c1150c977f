#pragma once

// The file dialogs of the window's "Plik" commands and the question asked before
// unsaved edits would be lost, replaceable so that the commands can be driven
// without a real dialog.

#include <QString>

class QWidget;

namespace tarnik {

// The answers to "Zapisać zmiany w ustawieniach?".
enum class SaveChanges { Save, Discard, Cancel };

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen file name, or an empty text when the user cancels. `startName`
    // is the file name to start from, or a folder to start in.
    virtual QString chooseOpenFile(QWidget* parent, const QString& startName) = 0;
    virtual QString chooseSaveFile(QWidget* parent, const QString& startName) = 0;
    // Where to save the wire trace (a text file); empty when the user cancels.
    virtual QString chooseTraceFile(QWidget* parent);
    // Asks whether to save the edits an action would discard: "Zapisz", "Nie zapisuj"
    // or "Anuluj" (also Escape and closing the box).
    virtual SaveChanges askSaveChanges(QWidget* parent);
};

// OpenDialog1 / SaveDialog1: default extension "zvn", filters "pliki zvn"
// (*.zvn) and "Wszystkie" (all files), no title of their own. The save dialog
// replaces an existing file without asking; the open dialog accepts the name
// of a file that does not exist (opening it then reports the error).
class DialogFileChooser : public FileChooser {
public:
    QString chooseOpenFile(QWidget* parent, const QString& startName) override;
    QString chooseSaveFile(QWidget* parent, const QString& startName) override;
};

}  // namespace tarnik

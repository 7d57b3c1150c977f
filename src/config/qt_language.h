#pragma once

// The programs speak Polish whatever the system's language: Qt's own texts too (the file
// dialogs, the buttons of a message box, the print preview, a command-line parser's
// errors) come from Qt's Polish translation, where the system has it installed.

class QCoreApplication;

namespace tarnik {

// Loads Qt's Polish translation from the system's Qt translations folder and installs it
// on `application`. False when the translation is not installed: Qt's texts then stay
// English, nothing else changes.
bool installQtPolish(QCoreApplication& application);

}  // namespace tarnik

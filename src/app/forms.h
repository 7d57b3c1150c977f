#pragma once

// The program's five forms, created at start-up in this order and kept until
// exit: the main window, the two reaction dialogs, the (never shown) test
// form and the about box. Only the main window is shown.

#include <QStringList>
#include <memory>

class QWidget;

namespace tarnik {

class TAboutBox;
class TFConfigWorkWeRe;
class TFconfigNumberWeRe;
class TGlownaF;

struct Forms {
    std::unique_ptr<TGlownaF> GlownaF;
    // Children of the main window, so they open centred on it.
    TFconfigNumberWeRe* FconfigNumberWeRe = nullptr;
    TFConfigWorkWeRe* FConfigWorkWeRe = nullptr;
    std::unique_ptr<QWidget> Ftest;
    TAboutBox* AboutBox = nullptr;

    Forms();
    Forms(Forms&&) noexcept;
    Forms& operator=(Forms&&) noexcept;
    ~Forms();
};

// Creates the forms; `pinnedPorts` head the COM list.
Forms createForms(const QStringList& pinnedPorts = {});

}  // namespace tarnik

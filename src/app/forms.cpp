#include "app/forms.h"

#include <QWidget>

#include "about/about_box.h"
#include "app/glowna_form.h"
#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"

namespace tarnik {

Forms::Forms() = default;
Forms::Forms(Forms&&) noexcept = default;
Forms& Forms::operator=(Forms&&) noexcept = default;
Forms::~Forms() = default;

Forms createForms(const QStringList& pinnedPorts)
{
    Forms forms;
    forms.GlownaF = std::make_unique<TGlownaF>(pinnedPorts);
    forms.FconfigNumberWeRe = new TFconfigNumberWeRe(forms.GlownaF.get());
    forms.FConfigWorkWeRe = new TFConfigWorkWeRe(forms.GlownaF.get());
    forms.Ftest = std::make_unique<QWidget>();
    forms.Ftest->setObjectName(QStringLiteral("Ftest"));
    forms.Ftest->setWindowTitle(QStringLiteral("Ftest"));
    forms.AboutBox = new TAboutBox(forms.GlownaF.get());
    forms.GlownaF->attachReactionDialogs(*forms.FconfigNumberWeRe, *forms.FConfigWorkWeRe);
    forms.GlownaF->setAboutBox(forms.AboutBox);
    return forms;
}

}  // namespace tarnik

#include "app/focus_setting.h"

#include <QAbstractButton>
#include <QScrollArea>
#include <QTabWidget>

#include "app/glowna_form.h"
#include "editor/binding/settings_binding.h"
#include "editor/dialogs/reaction_target.h"
#include "editor/lookup/control_lookup.h"

namespace tarnik {

namespace {

// The button that opens the reaction dialog of a reaction byte; null for other
// settings and for the reaction bytes of hidden entries, which have no button.
QAbstractButton* reactionButton(TGlownaF& window, const std::string& key)
{
    const std::optional<ReactionTarget> target = reactionTargetOfSetting(key);
    return target ? qobject_cast<QAbstractButton*>(
                        findControlOrNull(&window, reactionButtonName(*target)))
                  : nullptr;
}

}  // namespace

QWidget* settingEditor(TGlownaF& window, const std::string& key, std::uint8_t bits)
{
    if (QWidget* control = window.binding().controls().holding(key, bits))
        return control;
    return reactionButton(window, key);
}

bool focusSetting(TGlownaF& window, const std::string& key, std::uint8_t bits, bool openDialog)
{
    QWidget* control = settingEditor(window, key, bits);
    if (!control)
        return false;
    auto* pages = findControl<QTabWidget>(&window, QStringLiteral("PageControl2"));
    for (int i = 0; i < pages->count(); ++i)
        if (pages->widget(i)->isAncestorOf(control))
            pages->setCurrentIndex(i);
    for (QWidget* w = control->parentWidget(); w; w = w->parentWidget())
        if (auto* scroller = qobject_cast<QScrollArea*>(w))
            scroller->ensureWidgetVisible(control);
    if (window.isMinimized())
        window.showNormal();
    window.raise();
    window.activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    if (openDialog && control == reactionButton(window, key))
        static_cast<QAbstractButton*>(control)->click();
    return true;
}

}  // namespace tarnik

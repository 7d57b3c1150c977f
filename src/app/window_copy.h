#pragma once

// "Edycja → Kopiuj ustawienia wejścia ..." on the pages "Wejścia" and "Wejścia
// specjalne" (also in the context menu of an input's row there, reached on the row's
// caption, buttons and the space between them: edits keep their own menus) and "Edycja →
// Powiadamiaj jak ..." on "numery telefonów": the window's glue around the model's
// copy functions (model/settings_copy.h). Each copy reads the record the window
// would program, asks in a small dialog what goes where, and applies the result as
// one edit of the user's.

#include <QObject>
#include <QPoint>
#include <optional>
#include <vector>

#include "app/copy_dialogs.h"

class QAction;
class QMenu;
class QTabWidget;
class QWidget;

namespace tarnik {

class TGlownaF;

class WindowCopy : public QObject {
    Q_OBJECT
public:
    // Adds both items to `editMenu`; each is offered while its pages are shown.
    WindowCopy(TGlownaF& window, QMenu& editMenu, QTabWidget& pages);

    QAction* copyInputAction() const { return copyInput_; }
    QAction* notifyLikeAction() const { return notifyLike_; }

    // The handlers: each opens its dialog (modal) and applies what it chose. The
    // copy's source is `source` when given, otherwise the row holding the focus.
    void copyInputClick(std::optional<InputPlace> source = std::nullopt);
    void notifyLikeClick();

    // The input whose row on the inputs or special page holds `pos` (in the
    // coordinates of the page's grid `container`), if any.
    static std::optional<InputPlace> entryAt(const QWidget* container, QPoint pos);
    // The pages' grids: ScrollBox1 and the special page's content.
    QWidget* inputsGrid() const { return inputsGrid_; }
    QWidget* specialGrid() const { return specialGrid_; }

private:
    enum class Page { Other, Inputs, Special, Users };
    Page currentPage() const;
    void refreshActions();
    std::vector<CopyPlace> placesOf(Page page) const;
    void showRowMenu(QWidget* container, QPoint pos);
    void apply(const SettingsRecord& before, const SettingsRecord& changed,
               const QString& undoText);

    TGlownaF& window_;
    QTabWidget& pages_;
    QWidget* inputsGrid_ = nullptr;
    QWidget* specialGrid_ = nullptr;
    QAction* copyInput_ = nullptr;
    QAction* notifyLike_ = nullptr;
};

}  // namespace tarnik

#include "app/window_copy.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>
#include <cstring>

#include "app/error_boundary.h"
#include "app/glowna_form.h"
#include "app/window_texts.h"
#include "editor/dialogs/reaction_target.h"
#include "editor/lookup/control_lookup.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The pages' tabs, by the names the page builders give them.
const QString kUsersTab = QStringLiteral("TabSheet2");
const QString kInputsTab = QStringLiteral("TabSheet3");
const QString kSpecialTab = QStringLiteral("TabSheet4");

constexpr int kStatusMessageMs = 5000;

// The caption of an entry's row ("Wejście 3", "Wejście sabotażowe") and the page it
// is on, from the catalogue's label of its first output reaction.
std::vector<std::string> rowLabel(InputPlace place)
{
    const SettingEntry& entry =
        settingEntry(settingKey(place.special ? "numberSpecWeRe" : "numberWeRe", place.number, 1));
    return labelParts(entry.label);
}

QString copyUndoText(InputPlace from)
{
    if (!from.special)
        return text(window_text::kCopyInputUndo).arg(from.number);
    return text(from.number == 3 ? window_text::kCopyTamperUndo : window_text::kCopyBlockingUndo);
}

QString userLabel(const TGlownaF& window, int user)
{
    QString label = text(window_text::kUserLabel).arg(user);
    const auto* name = findControl<QLineEdit>(&window, QStringLiteral("Eosoba%1").arg(user));
    if (!name->text().trimmed().isEmpty())
        label += QStringLiteral(" (") + name->text().trimmed() + QLatin1Char(')');
    return label;
}

// The user whose block on "numery telefonów" holds the focus, or 0.
int focusedUser(const QWidget* page)
{
    for (const QWidget* w = QApplication::focusWidget(); w && w != page; w = w->parentWidget())
        if (w->objectName().startsWith(QStringLiteral("userBlock")))
            return w->objectName().right(1).toInt();
    return 0;
}

}  // namespace

WindowCopy::WindowCopy(TGlownaF& window, QMenu& editMenu, QTabWidget& pages)
    : QObject(&window), window_(window), pages_(pages)
{
    inputsGrid_ = findControl<QWidget>(&pages, QStringLiteral("ScrollBox1"));
    specialGrid_ = findControl<QWidget>(&pages, kSpecialTab + QStringLiteral("Content"));
    copyInput_ = editMenu.addAction(text(window_text::kCopyInputSettings));
    copyInput_->setObjectName(QStringLiteral("copyInputAction"));
    notifyLike_ = editMenu.addAction(text(window_text::kNotifyLike));
    notifyLike_->setObjectName(QStringLiteral("notifyLikeAction"));
    connect(copyInput_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { copyInputClick(); }); });
    connect(notifyLike_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { notifyLikeClick(); }); });
    for (QWidget* grid : {inputsGrid_, specialGrid_}) {
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this,
                [this, grid](QPoint pos) { showRowMenu(grid, pos); });
    }
    connect(&pages_, &QTabWidget::currentChanged, this, &WindowCopy::refreshActions);
    refreshActions();
}

WindowCopy::Page WindowCopy::currentPage() const
{
    const QWidget* page = pages_.currentWidget();
    const QString name = page ? page->objectName() : QString();
    if (name == kInputsTab)
        return Page::Inputs;
    if (name == kSpecialTab)
        return Page::Special;
    if (name == kUsersTab)
        return Page::Users;
    return Page::Other;
}

void WindowCopy::refreshActions()
{
    const Page page = currentPage();
    copyInput_->setEnabled(page == Page::Inputs || page == Page::Special);
    notifyLike_->setEnabled(page == Page::Users);
}

std::vector<CopyPlace> WindowCopy::placesOf(Page page) const
{
    std::vector<CopyPlace> places;
    const bool special = page == Page::Special;
    // The rows the page shows: all inputs, the special entries the catalogue places on
    // the special page's tab and shows there.
    const std::string tab =
        pages_.tabText(pages_.indexOf(findControl<QWidget>(&pages_, kSpecialTab))).toStdString();
    for (int k = 1; k <= (special ? kSpecialEntries : kInputs); ++k) {
        const InputPlace place{special, k};
        const SettingEntry& entry =
            settingEntry(settingKey(special ? "numberSpecWeRe" : "numberWeRe", k, 1));
        const std::vector<std::string> label = rowLabel(place);
        if (special && (entry.hidden || label.front() != tab))
            continue;
        places.push_back({place, QString::fromStdString(label.at(1))});
    }
    return places;
}

std::optional<InputPlace> WindowCopy::entryAt(const QWidget* container, QPoint pos)
{
    const auto* grid = qobject_cast<const QGridLayout*>(container->layout());
    if (!grid)
        return std::nullopt;
    // A row is found by its output-reaction buttons, one in each of its grid rows: the
    // height of a button and half the spacing above and below it.
    const int gap = std::max(grid->verticalSpacing(), 0) / 2 + 1;
    for (int i = 0; i < grid->count(); ++i) {
        const QWidget* widget = grid->itemAt(i)->widget();
        if (!widget)
            continue;
        const auto target = parseReactionButton(widget->objectName());
        if (!target || (target->family != ReactionFamily::NumberInput &&
                        target->family != ReactionFamily::NumberSpecial))
            continue;
        const QRect band = widget->geometry().adjusted(0, -gap, 0, gap);
        if (!widget->isHidden() && pos.y() >= band.top() && pos.y() <= band.bottom())
            return InputPlace{target->family == ReactionFamily::NumberSpecial, target->entry};
    }
    return std::nullopt;
}

void WindowCopy::showRowMenu(QWidget* container, QPoint pos)
{
    const std::optional<InputPlace> entry = entryAt(container, pos);
    if (!entry)
        return;
    QMenu menu(container);
    QAction* copy = menu.addAction(text(window_text::kCopyInputSettings));
    if (menu.exec(container->mapToGlobal(pos)) == copy)
        guarded(&window_, [this, entry] { copyInputClick(entry); });
}

void WindowCopy::copyInputClick(std::optional<InputPlace> source)
{
    Page page = currentPage();
    if (source)
        page = source->special ? Page::Special : Page::Inputs;
    if (page != Page::Inputs && page != Page::Special)
        return;
    if (!source) {
        // The row holding the focus, when it is one of the page's.
        QWidget* grid = page == Page::Special ? specialGrid_ : inputsGrid_;
        if (QWidget* focus = QApplication::focusWidget(); focus && grid->isAncestorOf(focus))
            source = entryAt(grid, focus->mapTo(grid, focus->rect().center()));
    }
    std::vector<CopyPlace> places = placesOf(page);
    std::size_t first = 0;
    for (std::size_t i = 0; i < places.size(); ++i)
        if (source && places[i].place == *source)
            first = i;
    const QString what =
        text(page == Page::Special ? window_text::kCopySpecialWhat : window_text::kCopyWhat);
    CopyInputDialog dialog(places, first, what, &window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const InputPlace from = places.at(dialog.source()).place;
    const std::vector<InputPlace> targets = dialog.targets();
    const SettingsRecord before = window_.editableSettings();
    apply(before, copyInputSettings(before, from, targets, dialog.withTexts()), copyUndoText(from));
}

void WindowCopy::notifyLikeClick()
{
    const SettingsRecord before = window_.editableSettings();
    std::array<QString, kUsers> labels;
    std::array<bool, kUsers> hasNumber{};
    bool anyNumber = false;
    for (int user = 1; user <= kUsers; ++user) {
        const auto i = static_cast<std::size_t>(user - 1);
        labels[i] = userLabel(window_, user);
        hasNumber[i] = userHasNumber(before, user);
        anyNumber = anyNumber || hasNumber[i];
    }
    if (!anyNumber) {
        QMessageBox::information(&window_, QGuiApplication::applicationDisplayName(),
                                 text(window_text::kNoUserWithNumber));
        return;
    }
    NotifyLikeDialog dialog(labels, hasNumber, focusedUser(pages_.currentWidget()), &window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    apply(before, copyUserNotifications(before, dialog.fromUser(), dialog.toUser()),
          text(window_text::kNotifyLikeUndo).arg(dialog.toUser()).arg(dialog.fromUser()));
}

void WindowCopy::apply(const SettingsRecord& before, const SettingsRecord& changed,
                       const QString& undoText)
{
    if (std::memcmp(&before, &changed, sizeof(SettingsRecord)) == 0) {
        window_.statusBar()->showMessage(text(window_text::kNothingCopied), kStatusMessageMs);
        return;
    }
    window_.applySettingsEdit(changed, undoText);
}

}  // namespace tarnik

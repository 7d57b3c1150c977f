#include "editor/interlocks/interlocks.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <array>
#include <stdexcept>

#include "editor/editor_texts.h"
#include "editor/interlocks/key_filter.h"
#include "editor/lookup/control_table.h"
#include "editor/widgets/typing_limit.h"

namespace tarnik {

namespace {

// The groups' box prefixes, by ClipGroup.
const std::array<QString, 2> kClipPrefixes{
    QStringLiteral("ChbClipVerif"), QStringLiteral("ChbClipNotVerif")};  // ChBClipNotVerif<n>
const QString kFlagPrefix = QStringLiteral("ChBFlags_");

// For each CLIP action, the two actions on the same output that exclude it.
struct Exclusion {
    int own, other1, other2;
};
constexpr std::array<Exclusion, 6> kClipExclusions{{
    {0, 4, 2},  // "Załącz Wy 1"
    {1, 5, 3},  // "Załącz Wy 2"
    {2, 4, 0},  // switch output 1 off
    {3, 5, 1},  // "Wyłącz Wy 2"
    {4, 2, 0},  // "Zmień stan na Wy 1"
    {5, 3, 1},  // "Zmień stan na Wy 2"
}};

// For each option box ChBFlags_<n>, the controls enabled while it is ticked
// and the edits emptied when it is clear (unused places are null).
struct OptionDependency {
    std::array<const char*, 4> dependants;
    std::array<const char*, 2> emptiedWhenClear;
};
constexpr std::array<OptionDependency, 6> kOptionDependencies{{
    {{"Label43", "Label45", "EZalWy1", "EwylWy1"},
     {"EZalWy1", "EwylWy1"}},  // SMS control of output 1
    {{"Label44", "Label46", "EZalWy2", "EwylWy2"},
     {"EZalWy2", "EwylWy2"}},  // SMS control of output 2
    {{"Label24", "SEWy_offTimer1", "Label47", nullptr},
     {}},  // switch-off time of output 1; value stays
    {{"Label25", "SEWy_offTimer2", "Label48", nullptr},
     {}},                                            // switch-off time of output 2; value stays
    {{"SEtestokr", nullptr, nullptr, nullptr}, {}},  // periodic report
    {{"EPINMOD", "Label28", nullptr, nullptr}, {"EPINMOD", nullptr}},  // programming by SMS
}};

const QString kWarningTitle = QString::fromUtf8(editor_text::kWarningTitle);
const QString kPinMessage = QString::fromUtf8(editor_text::kPinLength);
const QString kSmsCodeMessage = QString::fromUtf8(editor_text::kSmsCodeLength);

const QChar kEnter(13);

QString boxName(const QString& prefix, int digit)
{
    return prefix + QString::number(digit);
}

// Shows an error that ended a handler; the window stays as it was.
void reportFailure(QWidget* parent, const std::exception& e)
{
    QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(),
                          QString::fromUtf8(e.what()));
}

// The character a key press types, as a key-press handler sees it: Enter is
// 13, backspace 8; keys that type no character (arrows, Delete, function keys,
// shortcuts with Ctrl) give QChar() and are left to the edit. Tab moves the
// focus before any character handling.
QChar typedCharacter(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {};
    default:
        break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return {};
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7f)
        return {};
    return text.at(0);
}

// Moves the focus to the next control in tab order, as Tab would.
void focusNextControl(QWidget* from)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(from, &tab);
}

// Turns every tab page and stack that holds `widget` to the page holding it.
void bringPageToFront(QWidget* widget)
{
    for (QWidget* child = widget; child->parentWidget(); child = child->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget());
        if (!stack)
            continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(child);  // keeps the tab bar in step with its pages
        else
            stack->setCurrentWidget(child);
    }
}

}  // namespace

Interlocks::Interlocks(const ControlTable& controls, QWidget* mainWindow, QObject* parent)
    : QObject(parent), window_(mainWindow), ePin_(controls.edit(QStringLiteral("EPin")))
{
    numberEdits_[0] = controls.edit(QStringLiteral("Ecsms"));
    for (std::size_t user = 1; user < numberEdits_.size(); ++user)
        numberEdits_[user] = controls.edit(QStringLiteral("Enruser%1").arg(user));
    // Every control a handler reaches is resolved now, at start-up, rather
    // than in the middle of a user's action.
    for (std::size_t group = 0; group < clipBoxes_.size(); ++group)
        for (int digit = 0; digit < kClipActions; ++digit)
            clipBoxes_[group][static_cast<std::size_t>(digit)] =
                controls.check(boxName(kClipPrefixes[group], digit));
    for (int flag = 0; flag < kOptions; ++flag) {
        const auto i = static_cast<std::size_t>(flag);
        optionBoxes_[i] = controls.check(boxName(kFlagPrefix, flag));
        for (const char* name : kOptionDependencies[i].dependants)
            if (name)
                optionDependants_[i].push_back(controls.widget(QString::fromLatin1(name)));
        for (const char* name : kOptionDependencies[i].emptiedWhenClear)
            if (name)
                emptiedWhenClear_[i].push_back(controls.edit(QString::fromLatin1(name)));
    }
    connectCheckBoxes();
    watchEdits(controls);
}

void Interlocks::connectCheckBoxes()
{
    const auto attach = [this](QCheckBox* box, auto handler) {
        // toggled, not clicked: a state set by the program fires the handler too.
        connect(box, &QCheckBox::toggled, this, [this, handler] {
            try {
                handler();
            } catch (const std::exception& e) {
                reportFailure(window_, e);
            }
        });
    };
    for (ClipGroup group : {ClipGroup::FromUser, ClipGroup::FromUnknown})
        for (int digit = 0; digit < kClipActions; ++digit)
            attach(clipBoxes_[static_cast<std::size_t>(group)][static_cast<std::size_t>(digit)],
                   [this, group, digit] { clipActionClick(group, digit); });
    for (int flag = 0; flag < kOptions; ++flag)
        attach(optionBoxes_[static_cast<std::size_t>(flag)],
               [this, flag] { applyOption(static_cast<Option>(flag)); });
}

void Interlocks::watchEdits(const ControlTable& controls)
{
    const std::array<std::pair<const char*, ExitRule>, 6> checked{{
        {"EPin", ExitRule::Pin},
        {"EPINMOD", ExitRule::Pin},
        {"EZalWy1", ExitRule::SmsCode},
        {"EwylWy1", ExitRule::SmsCode},
        {"EZalWy2", ExitRule::SmsCode},
        {"EwylWy2", ExitRule::SmsCode},
    }};
    for (const auto& [name, rule] : checked) {
        QLineEdit* edit = controls.edit(QString::fromLatin1(name));
        exitRules_.insert(edit, rule);
        edit->installEventFilter(this);
    }
    // Pasted or dropped text goes through the same filters as typed text.
    setInsertedCharFilter(
        ePin_, [](QString& text, int& caret, QChar key) { return filterPinKey(text, caret, key); });
    for (QLineEdit* number : numberEdits_) {
        number->installEventFilter(this);
        setInsertedCharFilter(number, filterNumberKey);
    }
}

// ---- CLIP action exclusion

void Interlocks::SetActionExclusion(ClipGroup group, int own, int other1, int other2)
{
    const auto& boxes = clipBoxes_[static_cast<std::size_t>(group)];
    QCheckBox* ownBox = boxes.at(static_cast<std::size_t>(own));
    QCheckBox* first = boxes.at(static_cast<std::size_t>(other1));
    QCheckBox* second = boxes.at(static_cast<std::size_t>(other2));
    const std::array<std::pair<QCheckBox*, QCheckBox*>, 2> others{
        {{first, second}, {second, first}}};
    for (const auto& [other, itsPartner] : others) {
        // The three actions of one output exclude each other, so a box is
        // offered only while neither of its two partners is ticked. Looking at
        // the partner too keeps the enabled states right when a box is cleared
        // here and its own handler re-enables the boxes around it.
        other->setEnabled(!ownBox->isChecked() && !itsPartner->isChecked());
        if (!other->isEnabled())
            other->setChecked(false);  // fires that box's handler
    }
}

void Interlocks::clipActionClick(ClipGroup group, int digit)
{
    const Exclusion& e = kClipExclusions.at(static_cast<std::size_t>(digit));
    SetActionExclusion(group, e.own, e.other1, e.other2);
}

// ---- Option dependencies

void Interlocks::applyOption(Option option)
{
    const auto i = static_cast<std::size_t>(option);
    const bool on = optionBoxes_.at(i)->isChecked();
    // Emptied before they are disabled, so a disabled edit never holds a value
    // that its own exit check would still complain about.
    if (!on)
        for (QLineEdit* edit : emptiedWhenClear_[i])
            edit->clear();
    for (QWidget* dependant : optionDependants_[i])
        dependant->setEnabled(on);
}

// ---- Exit checks

void Interlocks::EPinExit(QLineEdit* edit)
{
    const auto length = edit->text().size();
    if (length >= 1 && length <= 3)
        warnAndRefocus(edit, kPinMessage);
}

void Interlocks::EZalWy1Exit(QLineEdit* edit)
{
    if (edit->text().size() == 1)
        warnAndRefocus(edit, kSmsCodeMessage);
}

void Interlocks::warnAndRefocus(QLineEdit* edit, const QString& message)
{
    // Focus changes caused by the box and by putting the focus back are not
    // the user leaving an edit, so no check may start meanwhile.
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(inExitCheck_);
    QMessageBox box(QMessageBox::NoIcon, kWarningTitle, message, QMessageBox::Ok, edit->window());
    box.exec();
    // The user may have left the edit by turning to another page.
    bringPageToFront(edit);
    if (edit->isVisible() && edit->isEnabled()) {
        edit->window()->activateWindow();
        edit->setFocus(Qt::OtherFocusReason);
    }
}

void Interlocks::scheduleExitCheck(QLineEdit* edit, ExitRule rule)
{
    // Run after the focus change has completed: a modal box opened in the
    // middle of it would leave the focus split between two controls.
    QTimer::singleShot(0, this, [this, edit = QPointer<QLineEdit>(edit), rule] {
        if (!edit || inExitCheck_)
            return;
        try {
            if (rule == ExitRule::Pin)
                EPinExit(edit);
            else
                EZalWy1Exit(edit);
        } catch (const std::exception& e) {
            reportFailure(window_, e);
        }
    });
}

// ---- Key filters

QChar Interlocks::EPinKeyPress(QChar key)
{
    if (key == kEnter) {
        focusNextControl(ePin_);
        return {};
    }
    return filterPinKey(ePin_->text(), ePin_->cursorPosition(), key);
}

QChar Interlocks::NumberKeyPress(QLineEdit* edit, QChar key)
{
    if (key == kEnter) {
        focusNextControl(edit);
        return {};
    }
    return key;
}

bool Interlocks::filterKey(QLineEdit* edit, QKeyEvent* event)
{
    const QChar key = typedCharacter(event);
    if (key.isNull())
        return false;
    const QChar passed = edit == ePin_ ? EPinKeyPress(key) : NumberKeyPress(edit, key);
    return passed.isNull();  // true drops the key
}

bool Interlocks::eventFilter(QObject* watched, QEvent* event)
{
    try {
        if (event->type() == QEvent::KeyPress &&
            (watched == ePin_ ||
             std::find(numberEdits_.begin(), numberEdits_.end(), watched) != numberEdits_.end()))
            return filterKey(static_cast<QLineEdit*>(watched), static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut && !inExitCheck_) {
            const auto rule = exitRules_.constFind(watched);
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another window or opening a menu does not leave the edit.
            if (rule != exitRules_.constEnd() && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason)
                scheduleExitCheck(static_cast<QLineEdit*>(watched), *rule);
        }
    } catch (const std::exception& e) {
        reportFailure(window_, e);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tarnik

#include "app/glowna_form.h"

#include <utility>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>
#include <QWindow>
#include <stdexcept>

#include "about/about_box.h"
#include "about/program_icon.h"
#include "about/support_mail.h"
#include "app/edit_tracker.h"
#include "app/error_boundary.h"
#include "app/file_chooser.h"
#include "app/main_window_overview.h"
#include "app/settings_history.h"
#include "app/window_comparisons.h"
#include "app/window_copy.h"
#include "app/window_fit.h"
#include "app/window_report.h"
#include "app/window_sites.h"
#include "app/window_texts.h"
#include "editor/binding/settings_binding.h"
#include "editor/dialogs/reaction_buttons.h"
#include "editor/interlocks/interlocks.h"
#include "editor/lookup/control_table.h"
#include "editor/pages/settings_pages.h"
#include "file/settings_file.h"
#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "model/conversion.h"
#include "model/settings_texts.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/qt/qt_trace.h"
#include "ui_glowna_form.h"

namespace tarnik {

namespace {

// The list shows the newest 7 lines and the serial number's line added after them
// without trimming: it is kept tall enough for 8 rows at its font, scroll bar included.
constexpr int kInfoRowsShown = 8;

void keepInfoRowsVisible(QListWidget* list)
{
    list->addItem(QStringLiteral("Ąg"));
    const int rowHeight = list->sizeHintForRow(0);
    delete list->takeItem(0);
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumHeight(kInfoRowsShown * (rowHeight + 2 * list->spacing()) +
                           2 * list->frameWidth() + scrollBar);
}

}  // namespace

TGlownaF::TGlownaF(const QStringList& pinnedPorts, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TGlownaF>()),
      fileChooser_(std::make_unique<DialogFileChooser>())
{
    ui_->setupUi(this);
    caption_ = windowTitle();
    setWindowIcon(programIcon());
    setAcceptDrops(true);
    ui_->StatusBar1->setFixedHeight(19);
    keepInfoRowsVisible(ui_->ListBox1);
    pages_ = buildSettingsPages(ui_->pagesHolder);
    ui_->pagesHolder->layout()->addWidget(pages_);
    // Every composed name is resolved here, once; a missing control fails now.
    controls_ = std::make_unique<ControlTable>(this);
    edits_ = new EditTracker(this);
    // Before any handler of the controls: a change's cascade is told once, at its end.
    edits_->watchFirst(pages_);
    interlocks_ = new Interlocks(*controls_, this, this);
    binding_ = std::make_unique<SettingsBinding>(
        *controls_, OptionRefresh{[this](Option option) { interlocks_->applyOption(option); }});
    timer1_ = std::make_unique<NoAnswerTimer>(nullptr);
    timer1_->setOnError([this](const std::exception& error) {
        showErrorMessage(this, QString::fromUtf8(error.what()));
    });
    FormCreate(pinnedPorts);
    connectHandlers();
    comparisons_ = new WindowComparisons(*this, *ui_->Plik1, ui_->N1);
    // From here on the user's changes count as edits; the settings shown so far are
    // the program's. After every handler of the controls: see EditTracker.
    edits_->watchLast(pages_);
    {
        const EditTracker::ProgramShows showing(*edits_);
        shown_ = collectedState();
    }
    edits_->saved(shown_);
    connect(edits_, &EditTracker::controlsEdited, this, [this](QObject* control) {
        guarded(this, [this, control] { controlsEdited(control); });
    });
    connect(edits_, &EditTracker::modifiedChanged, this, [this] { updateTitle(); });
    // The unsaved mark follows every change first, so that later listeners see it.
    connect(this, &TGlownaF::settingsChanged, edits_, [this] { edits_->shownNow(shown_); });
    setUpEditMenu();
    overview_ = new WindowOverview(*this, *ui_->PrzegladKonfiguracji);
    report_ = new WindowReport(*this, *ui_->Plik1, ui_->N1);
    copy_ = new WindowCopy(*this, *editMenu(), *pages_);
    sites_ = new WindowSites(*this, *ui_->Plik1, ui_->recentFilesMenu->menuAction());
}

// Placed as it is first shown, before the window system has it: the position
// is then the frame's, so the title bar lands inside the screen's available
// area whatever frame the window manager draws. Fitted to that area and
// centred on it.
void TGlownaF::setVisible(bool visible)
{
    if (visible && !placed_) {
        placed_ = true;
        ensurePolished();
        assumedFrame_ =
            placeOnScreen(*this, preferredSize_.isValid() ? preferredSize_ : sizeHint());
    }
    QMainWindow::setVisible(visible);
}

// A window system that tells the frame once the window is shown, and tells another
// than the one assumed, gets the window centred again on the frame it drew. (X11
// tells it only after the window manager has framed the window: the assumed frame
// stands there.)
void TGlownaF::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    const std::optional<QMargins> assumed = std::exchange(assumedFrame_, std::nullopt);
    const QWindow* handle = windowHandle();
    if (assumed && handle && !handle->frameMargins().isNull() && handle->frameMargins() != *assumed)
        placeOnScreen(*this, size());
}

TGlownaF::~TGlownaF()
{
    // The history is cleared as it goes, after the menu items it updates are gone.
    history_->disconnect(this);
    if (busy_)
        QApplication::restoreOverrideCursor();
}

void TGlownaF::FormCreate(const QStringList& pinnedPorts)
{
    // 1. the COM list, first entry selected
    ui_->CBcom->setPinnedPorts(pinnedPorts);
    ui_->CBcom->refreshPorts(true);
    // 2. the SMS centres, the first one's number shown
    binding_->FillSmsCentreList();
    binding_->CBcentrumChange();
    // 3. the port object, closed (set up in steps 7 to 9)
    port_ = std::make_unique<TComPort>();
    // 4. the factory defaults
    SetDefaults(settings_);
    // 5. show the records, 6. output option refresh
    binding_->showFrom(settings_, users_);
    // 7. the module's line settings, 8. the packet framer, 9. the link state (no serial
    // query pending, empty read-back store), put together as every host does. Nothing
    // the window showed so far used the port.
    framer_ = std::make_unique<TComDataPacket>();
    engine_ = std::make_unique<LinkEngine>(*this, image_, *port_, *framer_);
    wireModuleLink(*port_, *framer_, *engine_, *timer1_);
}

template <typename Handler>
void TGlownaF::connectAction(QAction* action, Handler handler)
{
    connect(action, &QAction::triggered, this,
            [this, handler] { guarded(this, [this, handler] { (this->*handler)(); }); });
}

void TGlownaF::connectHandlers()
{
    connect(ui_->Bprogramuj, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BprogramujClick(); }); });
    connect(ui_->BBload, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BBloadClick(); }); });
    connectAction(ui_->Odczytaj3, &TGlownaF::Button2Click);
    connectAction(ui_->Zapiszjako2, &TGlownaF::Button1Click);
    connectAction(ui_->Wyjscie1, &TGlownaF::Wyjscie1Click);
    connectAction(ui_->Info, &TGlownaF::InfoClick);
    connectAction(ui_->serialNumberAction, &TGlownaF::BBserialClick);
    connectAction(ui_->saveTraceAction, &TGlownaF::saveTrace);
    connect(ui_->Kotaktzdziaemtechnicznym1, &QAction::triggered, this,
            [this] { guarded(this, [] { Kotaktzdziaemtechnicznym1Click(); }); });
    binding_->connectSmsCentreList();
}

void TGlownaF::attachReactionDialogs(TFconfigNumberWeRe& numberDialog, TFConfigWorkWeRe& workDialog)
{
    reactionButtons_ =
        new ReactionButtons(*controls_, this, settings_, numberDialog, workDialog, this);
    // The dialog stored its byte in the window's record: an edit like any other.
    connect(reactionButtons_, &ReactionButtons::edited, this,
            [this] { guarded(this, [this] { controlsEdited(nullptr); }); });
}

void TGlownaF::setAboutBox(TAboutBox* aboutBox)
{
    aboutBox_ = aboutBox;
}

void TGlownaF::setFileChooser(std::unique_ptr<FileChooser> chooser)
{
    fileChooser_ = std::move(chooser);
}

// ---- module link ----

template <typename Handler>
void TGlownaF::runLinkHandler(Handler handler, std::optional<ExchangeKind> kind)
{
    struct Refresh {
        TGlownaF* window;
        ~Refresh() { window->refreshLinkControls(); }
    } refresh{this};
    // A press while an exchange runs starts nothing: the running one keeps its name.
    if (kind && !engine_->exchangeRunning()) {
        exchangeKind_ = *kind;
        exchangePort_ = QString::fromStdString(portName());
    }
    (engine_.get()->*handler)();
}

void TGlownaF::BprogramujClick()
{
    runLinkHandler(&LinkEngine::BprogramujClick, ExchangeKind::Programming);
}
void TGlownaF::BBloadClick()
{
    // The read-back replaces the settings shown: unsaved edits are offered for saving
    // first, as opening a file offers them. No question while an exchange runs: the
    // engine would start nothing.
    if (engine_->exchangeRunning() || !mayDiscardEdits())
        return;
    runLinkHandler(&LinkEngine::BBloadClick, ExchangeKind::ReadBack);
}
void TGlownaF::BBserialClick()
{
    runLinkHandler(&LinkEngine::BBserialClick, ExchangeKind::SerialNumber);
}
void TGlownaF::Timer1Timer()
{
    runLinkHandler(&LinkEngine::Timer1Timer);
}
void TGlownaF::readModuleImage()
{
    runLinkHandler(&LinkEngine::readModuleImage, ExchangeKind::Comparison);
}

void TGlownaF::refreshLinkControls()
{
    const bool idle = !busy_ && !engine_->exchangeRunning();
    ui_->Bprogramuj->setEnabled(idle);
    ui_->BBload->setEnabled(idle);
    ui_->serialNumberAction->setEnabled(idle);
}

int TGlownaF::addInfoLine(const std::string& text, bool trim)
{
    if (trim && infoList_.trim())
        delete ui_->ListBox1->takeItem(0);
    const int index = infoList_.add(text, false);
    ui_->ListBox1->addItem(QString::fromStdString(text));
    ui_->ListBox1->scrollToBottom();
    return index;
}

void TGlownaF::replaceInfoLine(int index, const std::string& text)
{
    infoList_.replace(index, text);
    if (QListWidgetItem* item = ui_->ListBox1->item(index))
        item->setText(QString::fromStdString(text));
}

QStringList TGlownaF::infoLines() const
{
    QStringList lines;
    for (int i = 0; i < ui_->ListBox1->count(); ++i)
        lines << ui_->ListBox1->item(i)->text();
    return lines;
}

void TGlownaF::setBusy(bool busy)
{
    if (busy != busy_) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        busy_ = busy;
    }
    refreshLinkControls();
}

void TGlownaF::armNoAnswerTimer()
{
    timer1_->arm();
}
void TGlownaF::disarmNoAnswerTimer()
{
    timer1_->disarm();
}

void TGlownaF::ShowSettings()
{
    const EditTracker::ProgramShows showing(*edits_);
    binding_->showFrom(settings_);
}

// Collecting commits a spin's half-typed value as leaving it would: that value is the
// user's edit and is told as one.
void TGlownaF::CollectSettings()
{
    settings_ = editableSettings();
}

ShownSettings TGlownaF::collectedState()
{
    // Collected into copies: the bytes no control shows (the reaction bytes, the spare
    // bytes) come from the window's records, which stay as they are.
    ShownSettings state{settings_, users_};
    binding_->collectInto(state.record);
    binding_->CollectUserDirectory(state.users);
    return state;
}

SettingsRecord TGlownaF::editableSettings()
{
    return collectedState().record;
}

UserDirectory TGlownaF::shownUsers()
{
    return collectedState().users;
}

EffectiveSettings TGlownaF::programmedSettings()
{
    return effectiveSettings(editableSettings());
}

void TGlownaF::controlsEdited(QObject* control)
{
    // Collecting can commit a spin's typed value, which is told again from inside:
    // the collect under way takes it in.
    if (handlingEdit_)
        return;
    handlingEdit_ = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{handlingEdit_};
    const ShownSettings now = collectedState();
    // Typing happens in the field that has the focus; a text a handler fills in (the
    // SMS centre's number after a choice) is a step of its own.
    auto* field = qobject_cast<QWidget*>(control);
    const bool typing = field && field->window()->focusWidget() == field &&
                        (qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field));
    QObject* typed = typing ? control : nullptr;
    recordEdit(now, typed, QString());
}

void TGlownaF::applySettingsEdit(const SettingsRecord& changed, const QString& undoText)
{
    UserDirectory users{};
    {
        const EditTracker::ProgramShows showing(*edits_);
        users = collectedState().users;
    }
    applySettingsEdit(changed, users, undoText);
}

void TGlownaF::applySettingsEdit(const SettingsRecord& changed, const UserDirectory& users,
                                 const QString& undoText)
{
    ShownSettings now{changed, users};
    {
        const EditTracker::ProgramShows showing(*edits_);
        showRecords(now);
        // What the controls show of it, as any later collect finds it.
        now = collectedState();
    }
    recordEdit(now, nullptr, undoText);
}

void TGlownaF::showRecords(const ShownSettings& state)
{
    const EditTracker::ProgramShows showing(*edits_);
    settings_ = state.record;
    users_ = state.users;
    binding_->showFrom(settings_, users_);
    interlocks_->applyOption(Option::Report);
}

void TGlownaF::recordEdit(const ShownSettings& now, QObject* typedInto, const QString& name)
{
    if (now == shown_)
        return;
    if (!typedInto || typedInto != typingInto_)
        ++typingRun_;
    auto* step = new SettingsEditCommand(
        [this](const ShownSettings& state) { showState(state); }, shown_, now,
        name.isEmpty() ? changeName(shown_, now) : name, typedInto, typingRun_);
    shown_ = now;
    typingInto_ = typedInto;
    history_->push(step);
    emit settingsChanged();
}

void TGlownaF::showState(const ShownSettings& state)
{
    showRecords(state);
    shown_ = state;
    typingInto_ = nullptr;
    emit settingsChanged();
}

void TGlownaF::settingsReplacedBy(bool fromFile)
{
    {
        const EditTracker::ProgramShows showing(*edits_);
        shown_ = collectedState();
    }
    if (fromFile)
        edits_->saved(shown_);
    else
        edits_->settingsReplaced(shown_.record);
    typingInto_ = nullptr;
    history_->clear();
    emit settingsChanged();
}

void TGlownaF::setUpEditMenu()
{
    using namespace window_text;
    history_ = new QUndoStack(this);
    history_->setUndoLimit(kUndoSteps);
    QAction* undo = ui_->Cofnij1;
    QAction* redo = ui_->Ponow1;
    undo->setShortcut(QKeySequence::Undo);
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    const auto named = [](const char* what, const QString& step) {
        return step.isEmpty() ? QString::fromUtf8(what)
                              : QString::fromUtf8(kNamedStep).arg(QString::fromUtf8(what), step);
    };
    const auto refresh = [this, undo, redo, named] {
        undo->setEnabled(history_->canUndo());
        undo->setText(named(kUndo, history_->canUndo() ? history_->undoText() : QString()));
        redo->setEnabled(history_->canRedo());
        redo->setText(named(kRedo, history_->canRedo() ? history_->redoText() : QString()));
    };
    connect(history_, &QUndoStack::indexChanged, this, refresh);
    connect(history_, &QUndoStack::cleanChanged, this, refresh);
    refresh();
    connect(undo, &QAction::triggered, this,
            [this] { guarded(this, [this] { history_->undo(); }); });
    connect(redo, &QAction::triggered, this,
            [this] { guarded(this, [this] { history_->redo(); }); });
    // Typing into a field is one step until the focus leaves it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && old == typingInto_)
            typingInto_ = nullptr;
    });
}

SettingsRecord TGlownaF::settingsRecord()
{
    return settings_;
}

SettingsRecord TGlownaF::collectSettings()
{
    // "programuj" sends the record the window would program; the window keeps the
    // controls collected in its own record, as before.
    CollectSettings();
    return effectiveSettings(settings_).record();
}

void TGlownaF::showSettings(const SettingsRecord& record)
{
    settings_ = record;
    ShowSettings();
    // A read-back: the window shows what the module holds; names and notes typed
    // before it are still unsaved. The title names the port, no longer a file.
    titleFile_.clear();
    readBackPort_ = QString::fromStdString(port_->DevicePath());
    settingsReplacedBy(false);
    updateTitle();
}

bool TGlownaF::checkUserNumbers()
{
    return binding_->CheckUserNumbers();
}

std::string TGlownaF::portName()
{
    return ui_->CBcom->currentText().toStdString();
}

// Raised inside the serial hand-over, where no handler can show it: shown
// once the hand-over has returned.
void TGlownaF::linkFinished(LinkOutcome outcome)
{
    if (outcome == LinkOutcome::Programmed || outcome == LinkOutcome::SettingsLoaded ||
        outcome == LinkOutcome::SerialNumber || outcome == LinkOutcome::ModuleRead)
        emit exchangeSucceeded(QString::fromStdString(port_->Port()));
    if (comparisons_)
        comparisons_->linkFinished(outcome);
    refreshLinkControls();
    if (outcome != LinkOutcome::Refused)
        emit exchangeEnded(exchangePort_, exchangeKind_, outcome);
}

void TGlownaF::reportError(const std::string& message)
{
    const QString text = QString::fromStdString(message);
    QTimer::singleShot(0, this, [this, text] { showErrorMessage(this, text); });
}

// ---- settings files ----

void TGlownaF::Button1Click()
{
    saveAs();
}

bool TGlownaF::saveAs()
{
    const QString fileName = fileChooser_->chooseSaveFile(this, dialogStartName());
    if (fileName.isEmpty())
        return false;
    saveSettingsFile(fileName);
    return true;
}

bool TGlownaF::hasUnsavedEdits() const
{
    return edits_->modified();
}

bool TGlownaF::mayDiscardEdits()
{
    // A spin's half-typed value is an edit too: committed (and told) before asking.
    editableSettings();
    if (!edits_->modified())
        return true;
    switch (fileChooser_->askSaveChanges(this)) {
    case SaveChanges::Save:
        return saveAs();  // a failed save raises: the action does not go ahead either
    case SaveChanges::Discard:
        return true;
    case SaveChanges::Cancel:
        break;
    }
    return false;
}

void TGlownaF::closeEvent(QCloseEvent* event)
{
    bool close = false;
    guarded(this, [this, &close] { close = mayDiscardEdits(); });
    if (close)
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

void TGlownaF::saveSettingsFile(const QString& fileName)
{
    // A spin's half-typed value is committed (and told as an edit) first.
    const ShownSettings state = collectedState();
    SaveSettingsFile(state.record, state.users, fileName);
    settings_ = state.record;
    users_ = state.users;
    edits_->saved(state);
    showFileInTitle(fileName);
    emit settingsFileUsed(fileName);
}

// OpenDialog1's file name, or, before any file was opened, the remembered folder.
QString TGlownaF::dialogStartName() const
{
    return openDialogFileName_.isEmpty() ? dialogFolder_ : openDialogFileName_;
}

QString TGlownaF::dialogFolder() const
{
    return openDialogFileName_.isEmpty() ? dialogFolder_
                                         : QFileInfo(openDialogFileName_).absolutePath();
}

void TGlownaF::Button2Click()
{
    if (!mayDiscardEdits())
        return;
    const QString fileName = fileChooser_->chooseOpenFile(this, dialogStartName());
    if (fileName.isEmpty())
        return;
    openDialogFileName_ = fileName;
    openSettingsFile(fileName);
}

void TGlownaF::openSettingsFile(const QString& fileName)
{
    LoadSettingsFile(fileName, settings_, users_);
    {
        const EditTracker::ProgramShows showing(*edits_);
        binding_->showFrom(settings_, users_);
        interlocks_->applyOption(Option::Report);
    }
    settingsReplacedBy(true);
    showFileInTitle(fileName);
    emit settingsFileUsed(fileName);
    emit settingsFileOpened(fileName);
}

void TGlownaF::openChosenFile(const QString& fileName)
{
    if (!mayDiscardEdits())
        return;
    openDialogFileName_ = fileName;
    openSettingsFile(fileName);
}

void TGlownaF::showFileInTitle(const QString& fileName)
{
    titleFile_ = QFileInfo(fileName).fileName();
    readBackPort_.clear();
    updateTitle();
}

void TGlownaF::showSiteInTitle(const QString& siteName)
{
    titleSite_ = siteName;
    updateTitle();
}

void TGlownaF::updateTitle()
{
    QString title = caption_;
    // The open site is named while it is open: the port's read-back and a file saved
    // are the site's settings too.
    const QString source =
        !titleSite_.isEmpty()     ? QString::fromUtf8(window_text::kSiteInTitle).arg(titleSite_)
        : readBackPort_.isEmpty() ? titleFile_
                                  : QString::fromUtf8(kReadBackSource).arg(readBackPort_);
    if (!source.isEmpty())
        title += QStringLiteral(" \u2014 ") + source;
    if (edits_->modified())
        title += QLatin1Char('*');
    setWindowTitle(title);
}

void TGlownaF::dragEnterEvent(QDragEnterEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".zvn"), Qt::CaseInsensitive)) {
            event->acceptProposedAction();
            return;
        }
}

void TGlownaF::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString fileName = url.toLocalFile();
        event->acceptProposedAction();
        guarded(this, [this, fileName] { openChosenFile(fileName); });
        return;
    }
}

// ---- menu ----

PortComboBox& TGlownaF::portList()
{
    return *ui_->CBcom;
}

QMenu* TGlownaF::recentFilesMenu()
{
    return ui_->recentFilesMenu;
}

QMenu* TGlownaF::editMenu()
{
    return ui_->Edycja1;
}

void TGlownaF::Wyjscie1Click()
{
    close();
}

void TGlownaF::InfoClick()
{
    if (aboutBox_)
        aboutBox_->exec();
}

void TGlownaF::saveTrace()
{
    const auto trace = std::dynamic_pointer_cast<QtTraceSink>(port_->Trace());
    if (!trace)
        return;  // started without a trace: nothing was kept
    const QString fileName = fileChooser_->chooseTraceFile(this);
    if (fileName.isEmpty())
        return;
    QString error;
    if (!trace->saveKeptLines(fileName, &error))
        throw std::runtime_error(
            QString::fromUtf8(window_text::kCannotSaveFile).arg(fileName, error).toStdString());
}

}  // namespace tarnik

#pragma once

// TGlownaF, the main window: the command strip, the five settings pages, the
// information list and the menu. It owns the Settings record, the User
// directory, the Device image, the serial port, the packet framer and the
// module link for the whole run, and it is the link's host.

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

#include "app/edit_tracker.h"
#include "link/info_list.h"
#include "link/link_host.h"
#include "model/effective_settings.h"
#include "model/settings_record.h"

namespace Ui {
class TGlownaF;
}

class QListWidget;
class QMenu;
class QPushButton;
class QTabWidget;
class QUndoStack;

namespace tarnik {

class ControlTable;
class FileChooser;
class Interlocks;
class LinkEngine;
class NoAnswerTimer;
class PortComboBox;
class ReactionButtons;
class SettingsBinding;
class TAboutBox;
class TComDataPacket;
class TComPort;
class TFConfigWorkWeRe;
class TFconfigNumberWeRe;
class WindowComparisons;
class WindowCopy;
class WindowOverview;
class WindowReport;
class WindowSites;

// Which exchange with the module ended (see TGlownaF::exchangeEnded).
enum class ExchangeKind {
    Programming,   // "programuj"
    ReadBack,      // "Odczyt ustawień."
    Comparison,    // the module read for "Porównaj z modułem" or "Sprawdź po zaprogramowaniu"
    SerialNumber,  // "Numer seryjny modułu"
};

class TGlownaF : public QMainWindow, public LinkHost {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate. `pinnedPorts` head the COM list
    // (the demo module's line) and the first of the list is selected.
    explicit TGlownaF(const QStringList& pinnedPorts = {}, QWidget* parent = nullptr);
    ~TGlownaF() override;

    // Start-up hands over the forms created after the window.
    void attachReactionDialogs(TFconfigNumberWeRe& numberDialog, TFConfigWorkWeRe& workDialog);
    void setAboutBox(TAboutBox* aboutBox);
    void setFileChooser(std::unique_ptr<FileChooser> chooser);

    // Handlers, each run inside the window's error boundary when reached from
    // a control. Called directly (tests), they raise their errors.
    void BprogramujClick();
    void BBloadClick();
    void BBserialClick();
    void Timer1Timer();
    // A read-back into the Device image only, for the comparisons.
    void readModuleImage();
    void Button1Click();  // "Zapisz jako ..."
    void Button2Click();  // "Odczytaj ..."
    void Wyjscie1Click();
    void InfoClick();
    // "Zapisz zapis transmisji ...": the newest lines of the wire trace to a text file.
    void saveTrace();

    // Button2Click / Button1Click after their dialogs.
    // Both name the file in the window's title and report settingsFileUsed.
    void openSettingsFile(const QString& fileName);
    void saveSettingsFile(const QString& fileName);
    QString openDialogFileName() const { return openDialogFileName_; }
    FileChooser& fileChooser() { return *fileChooser_; }
    // "Porównaj z plikiem ...", "Porównaj z modułem", "Sprawdź po zaprogramowaniu".
    WindowComparisons& comparisons() { return *comparisons_; }
    // "Przegląd konfiguracji".
    WindowOverview& overview() { return *overview_; }
    // "Drukuj raport ...".
    WindowReport& report() { return *report_; }
    // "Obiekty ...", "Zapisz w obiekcie ...": the library of sites.
    WindowSites& sites() { return *sites_; }
    // A file chosen outside the open dialog (dropped, recent): opened as if chosen in it.
    void openChosenFile(const QString& fileName);
    // The window holds edits not yet saved in a file ("*" in the title).
    bool hasUnsavedEdits() const;
    // Where the settings shown came from: the name of the file last opened or saved, or,
    // after a read-back, the port it came from (the other one empty then).
    QString settingsFileName() const { return titleFile_; }
    QString readBackPort() const { return readBackPort_; }
    // Where the file dialogs start while no file has been opened.
    void setDialogFolder(const QString& folder) { dialogFolder_ = folder; }
    // The folder the file dialogs start in: the last settings file's, or the remembered one.
    QString dialogFolder() const;

    PortComboBox& portList();
    // The size and place the window has now are kept when it is first shown
    // (restored from the user's last session) instead of fitted and centred.
    void keepPlacement() { placed_ = true; }
    // Fitted and centred when first shown, from `preferred` rather than the
    // layout's size (a remembered size whose place no longer fits a screen).
    void placeCentred(QSize preferred)
    {
        placed_ = false;
        preferredSize_ = preferred;
    }
    // Placed before it is first shown, so that the place is the frame's.
    void setVisible(bool visible) override;
    QMenu* recentFilesMenu();
    // "Edycja": "Cofnij", "Ponów", and the items a feature adds after them.
    QMenu* editMenu();

    // ShowSettings: the window's Settings record into the controls, output option
    // refresh included. CollectSettings: the controls into the window's record.
    void ShowSettings();
    void CollectSettings();

    // The one place that says what the window's settings are. Everything that reads
    // them (programming, saving, the comparisons, the overview, the report, a copy of
    // settings) takes them from here.
    //
    // The record "programuj" would send: the controls collected into a copy of the
    // window's record, brought into line as the module receives it.
    EffectiveSettings programmedSettings();
    // The User directory as the controls show it (names and notes).
    UserDirectory shownUsers();
    // The controls collected into a copy of the window's record: what an edit starts from.
    SettingsRecord editableSettings();
    // `changed` (usually editableSettings() with some values changed) as the user's own
    // edit: shown in the controls, marked unsaved, told once through settingsChanged and
    // kept as one undo step named `undoText`. A record equal to the one shown does nothing.
    void applySettingsEdit(const SettingsRecord& changed, const QString& undoText);
    // The same with the User directory replaced too: record and users as one undo step.
    void applySettingsEdit(const SettingsRecord& changed, const UserDirectory& users,
                           const QString& undoText);
    // Names the site whose settings the window shows in the title ("Tarnik v 1.1 —
    // obiekt NAZWA") instead of a file or a port; empty: the title names the file again.
    void showSiteInTitle(const QString& siteName);
    // The undo history, "Edycja → Cofnij / Ponów".
    QUndoStack& history() { return *history_; }
    // "Kopiuj ustawienia wejścia ...", "Powiadamiaj jak ...".
    WindowCopy& copying() { return *copy_; }

    // The program's state, for the start-up, the link and the tests.
    SettingsRecord& settings() { return settings_; }
    UserDirectory& users() { return users_; }
    DeviceImage& image() { return image_; }
    SettingsBinding& binding() { return *binding_; }
    Interlocks& interlocks() { return *interlocks_; }
    LinkEngine& engine() { return *engine_; }
    NoAnswerTimer& timer1() { return *timer1_; }
    TComPort& port() { return *port_; }
    TComDataPacket& framer() { return *framer_; }
    QStringList infoLines() const;
    bool busy() const { return busy_; }

    // LinkHost
    int addInfoLine(const std::string& text, bool trim) override;
    void replaceInfoLine(int index, const std::string& text) override;
    void setBusy(bool busy) override;
    void armNoAnswerTimer() override;
    void disarmNoAnswerTimer() override;
    SettingsRecord settingsRecord() override;
    SettingsRecord collectSettings() override;
    void showSettings(const SettingsRecord& record) override;
    bool checkUserNumbers() override;
    std::string portName() override;
    void reportError(const std::string& message) override;
    void linkFinished(LinkOutcome outcome) override;

signals:
    // A settings file was opened or saved.
    void settingsFileUsed(const QString& fileName);
    // The settings shown changed, once per change: typed, ticked, spun, chosen, a
    // reaction dialog confirmed, applySettingsEdit, an undo or redo, a file opened, a
    // read-back. The unsaved mark, the overview and any later feature follow it.
    void settingsChanged();
    // An exchange with the module on `portName` ended with the module's answer.
    void exchangeSucceeded(const QString& portName);
    // Every exchange started ended, with or without an answer (after exchangeSucceeded
    // and after the comparisons took their part). `portName` is the port it was started on.
    void exchangeEnded(const QString& portName, tarnik::ExchangeKind kind,
                       tarnik::LinkOutcome outcome);
    // A settings file was opened (not saved): the window shows what it holds.
    void settingsFileOpened(const QString& fileName);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Asks first when unsaved edits would be lost; "Anuluj" keeps the window open.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QStringList& pinnedPorts);
    // Both records with the controls collected into copies of them.
    ShownSettings collectedState();
    // The user changed controls (or a reaction dialog stored its byte): the change
    // becomes an undo step and is told. `control` is where it began, or null.
    void controlsEdited(QObject* control);
    // A change of the state shown to `now`: one undo step named `name` (or after what it
    // changes when empty); nothing when `now` is what is shown.
    void recordEdit(const ShownSettings& now, QObject* typedInto, const QString& name);
    // Shows `state` as the program does (undo, redo, an applied edit) and tells it.
    void showState(const ShownSettings& state);
    // Shows `state` in the controls as opening a file does; tells nothing.
    void showRecords(const ShownSettings& state);
    // The controls now show what a file or the module holds: a new history starts.
    void settingsReplacedBy(bool fromFile);
    void setUpEditMenu();
    void showFileInTitle(const QString& fileName);
    // "Tarnik v 1.1 — dom.zvn", with "*" after it while edits are unsaved.
    void updateTitle();
    // Before an action that would discard unsaved edits: asks whether to save them.
    // False when the action must not go ahead (cancelled, or the save was cancelled).
    bool mayDiscardEdits();
    // "Zapisz jako ...": false when the dialog was cancelled.
    bool saveAs();
    QString dialogStartName() const;
    // "programuj", "Odczyt ustawień." and "Numer seryjny modułu" are offered only while
    // no exchange runs: a second press never starts a second exchange.
    void refreshLinkControls();
    // Runs an engine handler, then brings the menu in line with the link's state,
    // whether the handler returned or raised.
    // `kind` names the exchange the handler starts, when it starts one.
    template <typename Handler>
    void runLinkHandler(Handler handler, std::optional<ExchangeKind> kind = std::nullopt);
    void connectHandlers();
    template <typename Handler>
    void connectAction(QAction* action, Handler handler);

    std::unique_ptr<Ui::TGlownaF> ui_;
    QTabWidget* pages_ = nullptr;

    SettingsRecord settings_{};
    UserDirectory users_{};
    DeviceImage image_{};

    // The pages' controls by name, resolved once when the pages are built.
    std::unique_ptr<ControlTable> controls_;
    Interlocks* interlocks_ = nullptr;
    ReactionButtons* reactionButtons_ = nullptr;
    std::unique_ptr<SettingsBinding> binding_;
    TAboutBox* aboutBox_ = nullptr;
    std::unique_ptr<FileChooser> fileChooser_;
    QString openDialogFileName_;
    WindowComparisons* comparisons_ = nullptr;
    WindowOverview* overview_ = nullptr;
    WindowReport* report_ = nullptr;
    WindowCopy* copy_ = nullptr;
    WindowSites* sites_ = nullptr;
    QString dialogFolder_;
    QString caption_;       // the title without a file
    QString titleFile_;     // the file named in the title
    QString readBackPort_;  // the port named in the title after a read-back
    QString titleSite_;     // the site named in the title, before a file or port
    EditTracker* edits_ = nullptr;
    QUndoStack* history_ = nullptr;
    // What the window shows, as of the last change told.
    ShownSettings shown_{};
    // The text field the newest step was typed into, while the focus has not left it.
    QObject* typingInto_ = nullptr;
    int typingRun_ = 0;  // see SettingsEditCommand
    bool handlingEdit_ = false;

    InfoList infoList_;
    // The exchange running, or the last one, and the port it was started on.
    ExchangeKind exchangeKind_ = ExchangeKind::Programming;
    QString exchangePort_;
    bool busy_ = false;
    bool placed_ = false;
    QSize preferredSize_;  // invalid: the layout's
    // The frame placement assumed before the window system had the window; null once
    // the frame it reports has been checked against it.
    std::optional<QMargins> assumedFrame_;
    std::unique_ptr<NoAnswerTimer> timer1_;
    // Declared in the order of release: the engine goes first, the port last.
    std::unique_ptr<TComPort> port_;
    std::unique_ptr<TComDataPacket> framer_;
    std::unique_ptr<LinkEngine> engine_;
};

}  // namespace tarnik

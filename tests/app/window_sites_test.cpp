// The library of sites in the window: opening a site (one undo step, the title naming it),
// saving into a site (a conflict with another connection included), the exchanges recorded
// while a site is open (the module simulator on a real pseudo-terminal), the serial number
// naming its site, and the dialog's search. A real SQLite library in a temporary folder.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>

#include <chrono>
#include <memory>

#include "app/comparison_dialog.h"
#include "app/sites_dialog.h"
#include "app/window_comparisons.h"
#include "app/window_report.h"
#include "app/window_sites.h"
#include "event_loop.h"
#include "link/no_answer_timer.h"
#include "modal_watcher.h"
#include "model/codepage.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "sites/site_library.h"
#include "window_fixture.h"

using namespace std::chrono_literals;
using tarnik::test::pumpUntil;
namespace sites = tarnik::sites;

namespace {

constexpr auto kWait = 10000ms;

// A library file of its own for each test, and a second connection to it standing for
// another person (or tarnik-cli) working on the same library.
struct Library {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("obiekty.sqlite"));
    std::unique_ptr<sites::SiteLibrary> other;

    sites::SiteLibrary& second()
    {
        if (!other)
            other = std::make_unique<sites::SiteLibrary>(sites::parseLibraryLocation(path));
        return *other;
    }
};

// Settings unlike the window's start: a timer, a user's number, name and note.
sites::StoredSettings siteSettings(int timer, const char* user)
{
    tarnik::SettingsRecord record = tarnik::startupSettings();
    record.timerPod[1] = static_cast<std::uint8_t>(timer);
    record.nrUser[0].assign("+48601000111");
    tarnik::UserDirectory users{};
    users.entries[0].osoba.assign(tarnik::toCp1250(QString::fromUtf8(user)));
    users.entries[0].uwagi.assign(tarnik::toCp1250(QStringLiteral("klucz u sąsiada")));
    return {tarnik::effectiveSettings(record).record(), tarnik::effectiveUsers(users)};
}

sites::StoredSettings shown(tarnik::TGlownaF& window)
{
    return {window.programmedSettings().record(), window.shownUsers()};
}

sites::SiteDetails details(const char* name, const char* address = "", const char* serial = "")
{
    sites::SiteDetails site;
    site.name = QString::fromUtf8(name);
    site.address = QString::fromUtf8(address);
    site.serialNumber = QString::fromUtf8(serial);
    return site;
}

struct SitesWindow {
    Library library;
    WindowFixture f;

    explicit SitesWindow(const QStringList& ports = {}) : f(ports)
    {
        f.window().sites().setLibraryOption(library.path);
    }
    tarnik::WindowSites& sites() { return f.window().sites(); }
    std::vector<sites::HistoryEntry> history(const char* name)
    {
        return sites().library().history(QString::fromUtf8(name));
    }
};

// Presses the button of the next message box whose text is `button`, and keeps its text.
std::unique_ptr<tarnik::test::ModalWatcher> answerNextBox(const QString& button, QString& seen)
{
    return std::make_unique<tarnik::test::ModalWatcher>([button, &seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen = box->text() + QLatin1Char('\n') + box->detailedText();
        for (QAbstractButton* candidate : box->buttons())
            if (candidate->text().remove(QLatin1Char('&')) == button) {
                candidate->click();
                return;
            }
        box->close();
    });
}

}  // namespace

class WindowSitesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tarnik::initSerialMessages();
        tarnik::installQtHandOver();
    }
};

// Opening a site's latest settings or an older entry shows them, record and users; the title
// names the site; one undo brings back what the window showed before, users included.
TEST_F(WindowSitesTest, OpeningASiteIsOneUndoStepAndNamesTheSite)
{
    const struct {
        const char* name;
        std::optional<qint64> entry;
        int timer;
        const char* user;
    } cases[] = {{"latest", std::nullopt, 44, "Łucja Wrona"}, {"first entry", 1, 33, "Jan Nowak"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SitesWindow w;
        w.library.second().addSite(details("Dom Wrona"), siteSettings(33, "Jan Nowak"));
        w.library.second().saveSettings(QStringLiteral("Dom Wrona"),
                                        siteSettings(44, "Łucja Wrona"));
        w.f.edit("Eosoba1")->setText(QStringLiteral("Przed otwarciem"));
        const sites::StoredSettings before = shown(w.f.window());

        w.sites().openSite(QStringLiteral("Dom Wrona"), c.entry);
        EXPECT_EQ(shown(w.f.window()), siteSettings(c.timer, c.user));
        EXPECT_EQ(w.f.get<QSpinBox>("SEtimerPod2")->value(), c.timer);
        EXPECT_EQ(w.f.window().windowTitle(), QStringLiteral("Tarnik v 1.1 — obiekt Dom Wrona*"));
        EXPECT_TRUE(w.f.window().hasUnsavedEdits());
        // The report hands over the open site.
        EXPECT_TRUE(
            w.f.window().report().suggestedPdfName().endsWith(QStringLiteral("/Dom Wrona.pdf")));

        w.f.window().history().undo();
        EXPECT_EQ(shown(w.f.window()), before);
        EXPECT_EQ(w.f.edit("Eosoba1")->text(), QStringLiteral("Przed otwarciem"));
        EXPECT_TRUE(w.f.errors.isEmpty()) << w.f.errors.join(QLatin1Char('\n')).toStdString();
    }
}

// A file opened afterwards is no longer the site's: the title names the file, nothing is
// recorded into the site any more.
TEST_F(WindowSitesTest, OpeningAFileClosesTheSite)
{
    SitesWindow w;
    w.library.second().addSite(details("Sklep"), siteSettings(20, "Ala"));
    w.sites().openSite(QStringLiteral("Sklep"));
    const QString file = w.library.folder.filePath(QStringLiteral("inny.zvn"));
    w.f.window().saveSettingsFile(file);
    EXPECT_EQ(w.sites().openSiteName(), QStringLiteral("Sklep"));
    w.f.window().openSettingsFile(file);
    EXPECT_TRUE(w.sites().openSiteName().isEmpty());
    EXPECT_EQ(w.f.window().windowTitle(), QStringLiteral("Tarnik v 1.1 — inny.zvn"));
}

// A new site, then the same site after an edit (the change line in its history), then
// the same settings again: nothing is added and the info list says so.
TEST_F(WindowSitesTest, SavingIntoASiteAddsAnEntryOnlyForAChange)
{
    SitesWindow w;
    w.sites().saveInNewSite(details("Biuro", "ul. Długa 5"));
    EXPECT_EQ(w.sites().openSiteName(), QStringLiteral("Biuro"));
    ASSERT_EQ(w.history("Biuro").size(), 1u);

    w.f.get<QSpinBox>("SEtimerPod2")->setValue(77);
    ASSERT_TRUE(w.sites().saveInSite(QStringLiteral("Biuro")));
    const auto history = w.history("Biuro");
    ASSERT_EQ(history.size(), 2u);
    ASSERT_EQ(history[1].changes.size(), 1);
    EXPECT_TRUE(history[1].changes[0].contains(QStringLiteral("77")))
        << history[1].changes[0].toStdString();
    EXPECT_EQ(w.sites().library().entrySettings(QStringLiteral("Biuro")), shown(w.f.window()));

    ASSERT_TRUE(w.sites().saveInSite(QStringLiteral("Biuro")));
    EXPECT_EQ(w.history("Biuro").size(), 2u);
    EXPECT_EQ(w.f.window().infoLines().constLast(),
              QStringLiteral("Bez zmian względem ostatniego wpisu obiektu."));
    EXPECT_TRUE(w.f.errors.isEmpty()) << w.f.errors.join(QLatin1Char('\n')).toStdString();
}

// The window opened the site; another connection saved a change since. The window's save is
// told what changed and keeps the window's settings; "Anuluj" adds nothing, "Zapisz mimo
// to" saves on top of the latest.
TEST_F(WindowSitesTest, ASiteChangedMeanwhileIsToldAndSavedOnlyWhenAsked)
{
    const struct {
        const char* button;
        bool saved;
    } cases[] = {{"Anuluj", false}, {"Zapisz mimo to", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        SitesWindow w;
        w.library.second().addSite(details("Magazyn"), siteSettings(30, "Ewa"));
        w.sites().openSite(QStringLiteral("Magazyn"));
        w.library.second().saveSettings(
            QStringLiteral("Magazyn"), siteSettings(31, "Ewa"),
            w.library.second().site(QStringLiteral("Magazyn")).revision);
        w.f.get<QSpinBox>("SEtimerPod2")->setValue(55);
        const sites::StoredSettings mine = shown(w.f.window());

        QString seen;
        const auto answer = answerNextBox(QString::fromUtf8(c.button), seen);
        EXPECT_EQ(w.sites().saveInSite(QStringLiteral("Magazyn")), c.saved);
        EXPECT_TRUE(answer->fired());
        EXPECT_TRUE(seen.contains(QStringLiteral("Magazyn"))) << seen.toStdString();
        // The other's change: 30 became 31.
        EXPECT_TRUE(seen.contains(QStringLiteral("30")) && seen.contains(QStringLiteral("31")))
            << seen.toStdString();
        EXPECT_EQ(shown(w.f.window()), mine);
        const auto history = w.history("Magazyn");
        ASSERT_EQ(history.size(), c.saved ? 3u : 2u);
        EXPECT_EQ(w.sites().library().entrySettings(QStringLiteral("Magazyn")),
                  c.saved ? mine : siteSettings(31, "Ewa"));
    }
}

namespace {

struct ModuleWindow {
    tarnik::ModuleSimulator module;
    SitesWindow w;
    QString port;

    explicit ModuleWindow(tarnik::SimulatorOptions options = {})
        : module(std::move(options)), w(start(module)),
          port(QString::fromStdString(module.devicePath()))
    {
    }
    static QStringList start(tarnik::ModuleSimulator& module)
    {
        module.start();
        return {QString::fromStdString(module.devicePath())};
    }
    ~ModuleWindow()
    {
        w.f.window().port().Close();
        module.stop();
    }
    bool hasLine(const QString& line) { return w.f.window().infoLines().contains(line); }
    // Waits until the site's history has `count` entries.
    bool waitForEntries(const char* name, std::size_t count)
    {
        return pumpUntil([&] { return w.history(name).size() >= count; }, kWait);
    }
};

}  // namespace

// Programming with a site open adds an entry with the port and what was sent; with
// "Sprawdź po zaprogramowaniu" the entry says it was verified.
TEST_F(WindowSitesTest, ProgrammingIsRecordedInTheOpenSite)
{
    const struct {
        bool verify;
        sites::EntryKind kind;
    } cases[] = {{false, sites::EntryKind::Programmed},
                 {true, sites::EntryKind::ProgrammedAndVerified}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verify);
        ModuleWindow m;
        m.w.sites().saveInNewSite(details("Garaż"));
        m.w.f.window().comparisons().verifyAction()->setChecked(c.verify);
        m.w.f.get<QSpinBox>("SEtimerPod2")->setValue(66);
        const sites::StoredSettings sent = shown(m.w.f.window());
        m.w.f.button("Bprogramuj")->click();
        // No other site opens while the exchange runs: it is recorded into this one.
        m.w.library.second().addSite(details("Inny"), siteSettings(5, "Ktoś"));
        m.w.sites().openSite(QStringLiteral("Inny"));
        EXPECT_EQ(m.w.sites().openSiteName(), QStringLiteral("Garaż"));
        EXPECT_TRUE(m.hasLine(
            QStringLiteral("Trwa wymiana z modułem; obiekt można otworzyć po jej zakończeniu.")));
        ASSERT_TRUE(m.waitForEntries("Garaż", 2));
        const auto history = m.w.history("Garaż");
        ASSERT_EQ(history.size(), 2u);
        EXPECT_EQ(history[1].kind, c.kind);
        EXPECT_TRUE(history[1].ok);
        EXPECT_EQ(history[1].port, m.port);
        EXPECT_EQ(history[1].result, QStringLiteral("OK"));
        EXPECT_EQ(m.w.sites().library().entrySettings(QStringLiteral("Garaż")), sent);
        ASSERT_TRUE(m.w.sites().library().lastProgramming(QStringLiteral("Garaż")));
        EXPECT_TRUE(m.w.f.errors.isEmpty()) << m.w.f.errors.join(QLatin1Char('\n')).toStdString();
    }
}

// The module was programmed while no site was open (behind the library's back); the
// read-back of the site names the change since the site's last programming, and is
// recorded. Read back again, nothing changed.
TEST_F(WindowSitesTest, ReadBackNamesTheChangesSinceTheLastProgramming)
{
    ModuleWindow m;
    auto& window = m.w.f.window();
    m.w.sites().saveInNewSite(details("Piekarnia"));
    // Nothing programmed from the library yet: nothing to compare with.
    m.w.f.button("BBload")->click();
    ASSERT_TRUE(m.waitForEntries("Piekarnia", 2));
    EXPECT_EQ(window.infoLines().constLast(),
              QStringLiteral("Obiekt „Piekarnia” nie był jeszcze programowany z biblioteki; nie "
                             "ma z czym porównać."));
    m.w.f.button("Bprogramuj")->click();
    ASSERT_TRUE(m.waitForEntries("Piekarnia", 3));

    m.w.sites().closeSite();
    m.w.f.get<QSpinBox>("SEtimerPod2")->setValue(99);
    m.w.f.button("Bprogramuj")->click();
    ASSERT_TRUE(pumpUntil(
        [&] { return m.hasLine(QStringLiteral("Programowanie zakończone pomyślnie.")); }, kWait));
    ASSERT_TRUE(pumpUntil([&] { return m.w.f.button("Bprogramuj")->isEnabled(); }, kWait));
    EXPECT_EQ(m.w.history("Piekarnia").size(), 3u);

    m.w.sites().openSite(QStringLiteral("Piekarnia"));
    m.w.f.button("BBload")->click();
    ASSERT_TRUE(m.waitForEntries("Piekarnia", 4));
    QStringList lines = window.infoLines();
    const auto heading = lines.indexOf(QStringLiteral("Zmiany od ostatniego programowania:"));
    ASSERT_GE(heading, 0) << lines.join(QLatin1Char('\n')).toStdString();
    ASSERT_GT(lines.size(), heading + 1);
    EXPECT_TRUE(lines[heading + 1].contains(QStringLiteral("99")))
        << lines[heading + 1].toStdString();
    auto history = m.w.history("Piekarnia");
    EXPECT_EQ(history.back().kind, sites::EntryKind::ReadBack);
    EXPECT_TRUE(history.back().ok);
    EXPECT_EQ(history.back().port, m.port);
    EXPECT_EQ(m.w.f.get<QSpinBox>("SEtimerPod2")->value(), 99);

    // Programmed anew from the site: the module holds what the library last programmed.
    m.w.f.button("Bprogramuj")->click();
    ASSERT_TRUE(m.waitForEntries("Piekarnia", 5));
    m.w.f.button("BBload")->click();
    ASSERT_TRUE(m.waitForEntries("Piekarnia", 6));
    EXPECT_EQ(window.infoLines().constLast(),
              QStringLiteral("Brak zmian od ostatniego programowania."));
    EXPECT_TRUE(m.w.f.errors.isEmpty()) << m.w.f.errors.join(QLatin1Char('\n')).toStdString();
}

// No module answers: programming, read-back and a comparison each add a failed entry
// without settings.
TEST_F(WindowSitesTest, FailedExchangesAreRecordedAsFailed)
{
    const struct {
        const char* name;
        std::function<void(WindowFixture&)> start;
        sites::EntryKind kind;
    } cases[] = {
        {"programming", [](WindowFixture& f) { f.button("Bprogramuj")->click(); },
         sites::EntryKind::Programmed},
        {"read-back", [](WindowFixture& f) { f.button("BBload")->click(); },
         sites::EntryKind::ReadBack},
        {"comparison", [](WindowFixture& f) { f.window().comparisons().compareWithModule(); },
         sites::EntryKind::Verified},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tarnik::SimulatorOptions options;
        options.behaviours.push_back(tarnik::behaviour::SilentAfter(0));
        ModuleWindow m(options);
        m.w.f.window().timer1().setIntervalMs(300);
        m.w.sites().saveInNewSite(details("Szkoła"));
        c.start(m.w.f);
        ASSERT_TRUE(m.waitForEntries("Szkoła", 2));
        const auto history = m.w.history("Szkoła");
        EXPECT_EQ(history.back().kind, c.kind);
        EXPECT_FALSE(history.back().ok);
        EXPECT_FALSE(history.back().hasSettings);
        EXPECT_EQ(history.back().result, QStringLiteral("brak odpowiedzi z modułu"));
        EXPECT_EQ(history.back().port, m.port);
    }
}

// "Numer seryjny modułu" of a module the library knows names its site and offers to open it.
TEST_F(WindowSitesTest, AKnownSerialNumberNamesItsSiteAndOpensIt)
{
    tarnik::SimulatorOptions options;
    options.identity.serialNumber = "ZVN0042";
    ModuleWindow m(options);
    m.w.library.second().addSite(details("Apteka", "Rynek 1", "ZVN0042"), siteSettings(12, "Ola"));
    QString question;
    tarnik::test::ModalWatcher yes([&question](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        question = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    m.w.f.action("serialNumberAction")->trigger();
    ASSERT_TRUE(pumpUntil(
        [&] { return m.hasLine(QStringLiteral("Moduł należy do obiektu „Apteka”.")); }, kWait));
    ASSERT_TRUE(pumpUntil([&] { return m.w.sites().openSiteName() == "Apteka"; }, kWait));
    EXPECT_EQ(question, QStringLiteral("Otworzyć obiekt „Apteka”?"));
    EXPECT_EQ(shown(m.w.f.window()), siteSettings(12, "Ola"));
    EXPECT_TRUE(m.w.f.window().windowTitle().contains(QStringLiteral("obiekt Apteka")));
}

// Without a library yet, a serial number is looked up nowhere: no library file is made.
TEST_F(WindowSitesTest, ASerialNumberMakesNoLibrary)
{
    tarnik::SimulatorOptions options;
    options.identity.serialNumber = "ZVN0077";
    ModuleWindow m(options);
    m.w.f.action("serialNumberAction")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return m.hasLine(QStringLiteral("serial: ZVN0077")); }, kWait));
    EXPECT_FALSE(QFileInfo::exists(m.w.library.path));
    EXPECT_TRUE(m.w.f.errors.isEmpty()) << m.w.f.errors.join(QLatin1Char('\n')).toStdString();
}

// The dialog's search filters the list as the user types, ignoring case and Polish letters.
TEST_F(WindowSitesTest, TheDialogsSearchFiltersTheList)
{
    SitesWindow w;
    w.library.second().addSite(details("Łódź Piotrkowska", "ul. Piotrkowska 1"),
                               siteSettings(10, "Żaneta"));
    w.library.second().addSite(details("Kraków Rynek", "Rynek Główny 3", "ZVN7"),
                               siteSettings(11, "Marek"));
    w.library.second().addSite(details("Gdańsk"), siteSettings(12, "Paweł"));
    w.sites().openSitesDialog();
    tarnik::SitesDialog* dialog = w.sites().dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->libraryLabel()->text().contains(w.library.path));
    const struct {
        const char* typed;
        QStringList listed;
    } cases[] = {
        {"", {"Gdańsk", "Kraków Rynek", "Łódź Piotrkowska"}},
        {"lodz", {"Łódź Piotrkowska"}},
        {"GLOWNY", {"Kraków Rynek"}},
        {"zvn7", {"Kraków Rynek"}},
        {"zaneta", {"Łódź Piotrkowska"}},
        {"nikt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        dialog->searchField()->setText(QString::fromUtf8(c.typed));
        QStringList expected = c.listed;
        EXPECT_EQ(dialog->listedSites(), expected);
        EXPECT_EQ(dialog->sitesTable()->rowCount(), expected.size());
    }
    EXPECT_TRUE(w.f.errors.isEmpty()) << w.f.errors.join(QLatin1Char('\n')).toStdString();
}

// The dialog's actions on a site with two entries: the two compared in the comparison
// table, the older one opened, the open site renamed (the title follows) and removed
// (asked first; the window no longer names it).
TEST_F(WindowSitesTest, TheDialogComparesOpensRenamesAndRemoves)
{
    SitesWindow w;
    w.library.second().addSite(details("Hala"), siteSettings(21, "Ola"));
    w.library.second().saveSettings(QStringLiteral("Hala"), siteSettings(22, "Ola"));
    w.sites().openSitesDialog();
    tarnik::SitesDialog* dialog = w.sites().dialog();
    ASSERT_NE(dialog, nullptr);
    dialog->chooseSite(QStringLiteral("Hala"));
    ASSERT_EQ(dialog->historyTable()->rowCount(), 2);

    dialog->chooseEntries({1, 2});
    dialog->compareChosen();
    auto* comparison = dialog->findChild<tarnik::ComparisonDialog*>();
    ASSERT_NE(comparison, nullptr);
    EXPECT_EQ(comparison->table()->horizontalHeaderItem(1)->text(), QStringLiteral("Wpis 1"));
    EXPECT_EQ(comparison->table()->horizontalHeaderItem(2)->text(), QStringLiteral("Wpis 2"));
    ASSERT_EQ(comparison->table()->rowCount(), 1);
    EXPECT_EQ(comparison->table()->item(0, 1)->text(), QStringLiteral("21"));
    EXPECT_EQ(comparison->table()->item(0, 2)->text(), QStringLiteral("22"));
    delete comparison;

    dialog->chooseEntries({1});
    EXPECT_EQ(dialog->entryChanges()->count(), 1);  // the first entry changes nothing
    dialog->openChosen();
    EXPECT_EQ(shown(w.f.window()), siteSettings(21, "Ola"));
    EXPECT_EQ(w.sites().openSiteName(), QStringLiteral("Hala"));

    dialog->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Hala sportowa"));
    dialog->saveDetails();
    EXPECT_EQ(w.sites().openSiteName(), QStringLiteral("Hala sportowa"));
    EXPECT_TRUE(w.f.window().windowTitle().contains(QStringLiteral("obiekt Hala sportowa")));
    EXPECT_EQ(dialog->listedSites(), QStringList{QStringLiteral("Hala sportowa")});

    const struct {
        QMessageBox::StandardButton answer;
        bool removed;
    } answers[] = {{QMessageBox::No, false}, {QMessageBox::Yes, true}};
    for (const auto& c : answers) {
        SCOPED_TRACE(c.removed);
        tarnik::test::ModalWatcher watcher(
            [&c](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(c.answer)->click(); });
        dialog->removeChosen();
        EXPECT_TRUE(watcher.fired());
        EXPECT_EQ(w.sites().library().findSite(QStringLiteral("Hala sportowa")).has_value(),
                  !c.removed);
        EXPECT_EQ(w.sites().openSiteName().isEmpty(), c.removed);
    }
    EXPECT_FALSE(w.f.window().windowTitle().contains(QStringLiteral("obiekt")));
    EXPECT_TRUE(w.f.errors.isEmpty()) << w.f.errors.join(QLatin1Char('\n')).toStdString();
}

// "Plik → Zapisz w obiekcie ...": a new site named in the small dialog, then the open site
// chosen there already.
TEST_F(WindowSitesTest, TheSaveDialogMakesANewSiteOrSavesIntoTheOpenOne)
{
    SitesWindow w;
    tarnik::test::ModalWatcher fresh([](QWidget* modal) {
        modal->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Kiosk"));
        modal->findChild<QLineEdit*>(QStringLiteral("address"))->setText(QStringLiteral("Plac 2"));
        static_cast<QDialog*>(modal)->accept();
    });
    w.sites().saveAction()->trigger();
    ASSERT_TRUE(fresh.fired());
    ASSERT_EQ(w.sites().openSiteName(), QStringLiteral("Kiosk"));
    EXPECT_EQ(w.sites().library().site(QStringLiteral("Kiosk")).details.address,
              QStringLiteral("Plac 2"));

    w.f.get<QSpinBox>("SEtimerPod2")->setValue(41);
    tarnik::test::ModalWatcher existing([](QWidget* modal) {
        EXPECT_TRUE(
            modal->findChild<QAbstractButton*>(QStringLiteral("existingSite"))->isChecked());
        static_cast<QDialog*>(modal)->accept();
    });
    w.sites().saveAction()->trigger();
    ASSERT_TRUE(existing.fired());
    EXPECT_EQ(w.history("Kiosk").size(), 2u);
    EXPECT_TRUE(w.f.errors.isEmpty()) << w.f.errors.join(QLatin1Char('\n')).toStdString();
}

// The open site was removed behind the window's back: the read-back still ends as usual,
// and the library's refusal is shown once, after it.
TEST_F(WindowSitesTest, ARecordingErrorIsShownOnceAfterTheExchange)
{
    ModuleWindow m;
    m.w.sites().saveInNewSite(details("Kino"));
    m.w.library.second().removeSite(QStringLiteral("Kino"));
    m.w.f.button("BBload")->click();
    ASSERT_TRUE(pumpUntil(
        [&] { return m.hasLine(QStringLiteral("zaladowane ustawienia z eprom")); }, kWait));
    ASSERT_TRUE(pumpUntil([&] { return !m.w.f.errors.isEmpty(); }, kWait));
    tarnik::test::pumpUntil([] { return false; }, 200ms);
    ASSERT_EQ(m.w.f.errors.size(), 1);
    EXPECT_TRUE(m.w.f.errors[0].contains(QStringLiteral("„Kino”")))
        << m.w.f.errors[0].toStdString();
    EXPECT_TRUE(m.w.f.button("Bprogramuj")->isEnabled());
}

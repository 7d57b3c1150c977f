// What the window remembers between runs (port, size and place, folder, recent
// files), and that a bad store never stops it. Every store here is a
// file in a temporary folder; the user's own configuration is never touched.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "app/recent_files.h"
#include "app/user_conveniences.h"
#include "app/window_report.h"
#include "app/window_sites.h"
#include "event_loop.h"
#include "file/settings_file.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

namespace {

const QString kCaption = QStringLiteral("Tarnik v 1.1");

using tarnik::test::pumpUntil;
using namespace std::chrono_literals;

class ConveniencesTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString storePath() const { return folder.filePath(QStringLiteral("config/Tarnik.conf")); }
    std::unique_ptr<QSettings> store() const
    {
        return std::make_unique<QSettings>(storePath(), QSettings::IniFormat);
    }
    QString settingsFile(const QString& name) const
    {
        const QString path = folder.filePath(name);
        tarnik::UserDirectory users{};
        tarnik::SaveSettingsFile(tarnik::startupSettings(), users, path);
        return path;
    }
    QStringList recentMenuTexts(WindowFixture& f) const
    {
        QStringList texts;
        for (QAction* action : f.window().recentFilesMenu()->actions())
            texts << action->text();
        return texts;
    }
};

}  // namespace

TEST(RecentFilesTest, NewestFirstEachOnceAtMostEight)
{
    tarnik::RecentFiles recent;
    for (int i = 1; i <= 10; ++i)
        recent.add(QStringLiteral("/s/%1.zvn").arg(i));
    recent.add(QStringLiteral("/s/5.zvn"));  // chosen again: moves to the front
    EXPECT_EQ(recent.files(), (QStringList{"/s/5.zvn", "/s/10.zvn", "/s/9.zvn", "/s/8.zvn",
                                           "/s/7.zvn", "/s/6.zvn", "/s/4.zvn", "/s/3.zvn"}));
    recent.remove(QStringLiteral("/s/10.zvn"));
    EXPECT_EQ(recent.files().size(), 7);
    EXPECT_FALSE(recent.files().contains(QStringLiteral("/s/10.zvn")));
}

TEST(RecentFilesTest, AStoredListIsCleanedAsItIsRead)
{
    QStringList stored{"/a.zvn", "", "/a.zvn"};
    for (int i = 0; i < 12; ++i)
        stored << QStringLiteral("/f%1.zvn").arg(i);
    const tarnik::RecentFiles recent(stored);
    EXPECT_EQ(recent.files().size(), 8);
    EXPECT_EQ(recent.files().first(), QStringLiteral("/a.zvn"));
    EXPECT_EQ(recent.files().count(QStringLiteral("/a.zvn")), 1);
}

TEST_F(ConveniencesTest, RecentFilesAndFolderCarryOverToTheNextRun)
{
    const QString dom = settingsFile(QStringLiteral("dom.zvn"));
    const QString biuro = settingsFile(QStringLiteral("biuro & sklep.zvn"));
    {
        WindowFixture f;
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        EXPECT_FALSE(f.window().recentFilesMenu()->isEnabled());  // nothing yet
        f.window().openSettingsFile(dom);
        f.window().openSettingsFile(biuro);
    }
    WindowFixture f;
    tarnik::UserConveniences conveniences(f.window(), store(), true);
    EXPECT_EQ(conveniences.recentFiles(), (QStringList{biuro, dom}));
    EXPECT_TRUE(f.window().recentFilesMenu()->isEnabled());
    const QStringList texts = recentMenuTexts(f);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts.at(0),
              QStringLiteral("&1 biuro && sklep.zvn   (%1)")
                  .arg(QString(biuro).replace(QStringLiteral("&"), QStringLiteral("&&"))));
    EXPECT_TRUE(texts.at(1).startsWith(QStringLiteral("&2 dom.zvn   (")));
    // The dialogs start in the folder of the last file until a file is opened.
    f.window().Button2Click();
    ASSERT_EQ(f.chooser->openStartNames.size(), 1);
    EXPECT_EQ(f.chooser->openStartNames.first(), folder.path());
    // Choosing from the menu opens the file as the open dialog would.
    f.window().recentFilesMenu()->actions().at(1)->trigger();
    ASSERT_TRUE(pumpUntil([&] { return f.window().openDialogFileName() == dom; }, 20s));
    EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — dom.zvn"));
    EXPECT_EQ(conveniences.recentFiles().first(), dom);
    EXPECT_TRUE(f.errors.isEmpty());
}

// The library chosen in "Obiekty ..." is the window's library in the next run too, unless
// --library names another.
TEST_F(ConveniencesTest, TheChosenLibraryCarriesOverToTheNextRun)
{
    qunsetenv(tarnik::sites::kLibraryVariable);
    const QString chosen = folder.filePath(QStringLiteral("zespol.sqlite"));
    {
        WindowFixture f;
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        f.window().sites().chooseLibrary(chosen);
    }
    WindowFixture f;
    tarnik::UserConveniences conveniences(f.window(), store(), true);
    EXPECT_EQ(f.window().sites().libraryLocation().path, chosen);
    const QString given = folder.filePath(QStringLiteral("inna.sqlite"));
    f.window().sites().setLibraryOption(given);
    EXPECT_EQ(f.window().sites().libraryLocation().path, given);
}

// The installer the report's hand-over details last named comes back in the next run;
// the site and its address do not (they belong to one visit).
TEST_F(ConveniencesTest, TheReportsInstallerCarriesOverToTheNextRun)
{
    {
        WindowFixture f;
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        f.window().report().setHandOverDetails(QStringLiteral("Szkoła"), QStringLiteral("Lipowa 5"),
                                               QStringLiteral("Jan Kowalski"));
    }
    WindowFixture f;
    tarnik::UserConveniences conveniences(f.window(), store(), true);
    EXPECT_EQ(f.window().report().installer(), QStringLiteral("Jan Kowalski"));
    const QString html = f.window().report().reportHtml(false);
    EXPECT_TRUE(html.contains(QStringLiteral("Instalator: <b>Jan Kowalski</b>")));
    EXPECT_FALSE(html.contains(QStringLiteral("Szkoła")));
}

TEST_F(ConveniencesTest, AMissingRecentFileIsDroppedWithAMessage)
{
    const QString gone = settingsFile(QStringLiteral("stary.zvn"));
    const QString kept = settingsFile(QStringLiteral("nowy.zvn"));
    {
        WindowFixture f;
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        f.window().openSettingsFile(gone);
        f.window().openSettingsFile(kept);
    }
    ASSERT_TRUE(QFile::remove(gone));
    WindowFixture f;
    tarnik::UserConveniences conveniences(f.window(), store(), true);
    const tarnik::SettingsRecord before = f.window().settings();
    conveniences.openRecent(gone);
    ASSERT_EQ(f.errors.size(), 1);
    EXPECT_TRUE(f.errors.first().contains(gone));
    EXPECT_EQ(conveniences.recentFiles(), QStringList{kept});
    EXPECT_EQ(recentMenuTexts(f).size(), 1);
    EXPECT_EQ(f.window().windowTitle(), kCaption);
    EXPECT_EQ(0, std::memcmp(&before, &f.window().settings(), sizeof before));
    // and it stays gone in the next run
    EXPECT_EQ(store()->value(QStringLiteral("files/recent")).toStringList(), QStringList{kept});
}

TEST_F(ConveniencesTest, WindowSizeAndPlaceComeBack)
{
    {
        WindowFixture f;
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        f.window().show();
        f.window().resize(900, 720);
        f.window().close();
    }
    WindowFixture f;
    const QSize defaultSize = f.window().size();
    tarnik::UserConveniences conveniences(f.window(), store(), true);
    // The platform may add its frame's few pixels; the size is the user's, not the default.
    EXPECT_NEAR(f.window().width(), 900, 4);
    EXPECT_NEAR(f.window().height(), 720, 4);
    EXPECT_NE(f.window().size(), defaultSize);
}

TEST_F(ConveniencesTest, ThePortOfTheLastAnswerIsChosenAgainWhenListed)
{
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();
    tarnik::ModuleSimulator module;
    module.start();
    const QString modulePort = QString::fromStdString(module.devicePath());
    auto listWith = [modulePort] { return QStringList{QStringLiteral("/dev/ttyS0"), modulePort}; };
    {
        WindowFixture f;
        f.ports()->setPortSource(listWith);
        f.ports()->refreshPorts(true);
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        f.ports()->setCurrentIndex(1);
        f.window().BBserialClick();
        ASSERT_TRUE(pumpUntil([&] { return !f.window().infoLines().isEmpty(); }, 20s));
        f.window().port().Close();
    }
    module.stop();
    EXPECT_EQ(store()->value(QStringLiteral("port/last")).toString(), modulePort);
    {
        // the list holds it: chosen; it is not the first entry
        WindowFixture f;
        f.ports()->setPortSource(listWith);
        f.ports()->refreshPorts(true);
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        EXPECT_EQ(f.ports()->currentText(), modulePort);
    }
    {
        // not listed any more: the first port stays chosen
        WindowFixture f;
        f.ports()->setPortSource([] { return QStringList{QStringLiteral("/dev/ttyS0")}; });
        f.ports()->refreshPorts(true);
        tarnik::UserConveniences conveniences(f.window(), store(), true);
        EXPECT_EQ(f.ports()->currentText(), QStringLiteral("/dev/ttyS0"));
    }
}

TEST_F(ConveniencesTest, APinnedDemoLineIsNeverRemembered)
{
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();
    tarnik::ModuleSimulator module;
    module.start();
    {
        WindowFixture f({QString::fromStdString(module.devicePath())});
        tarnik::UserConveniences conveniences(f.window(), store(), false);
        f.window().BBserialClick();
        ASSERT_TRUE(pumpUntil([&] { return !f.window().infoLines().isEmpty(); }, 20s));
        f.window().port().Close();
    }
    module.stop();
    EXPECT_FALSE(store()->contains(QStringLiteral("port/last")));
}

TEST_F(ConveniencesTest, ADamagedStoreIsIgnored)
{
    QDir().mkpath(QFileInfo(storePath()).path());
    QFile file(storePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const char garbage[] =
        "\x00\xff[window]\ngeometry=@ByteArray(\\x01garbage\ngarbage=\"\n[files]\n"
        "recent=@Variant(\\0\\0\\0\\x7f\\xff)\nlastFolder=/no/such/folder\n"
        "[port]\nlast=@ByteArray(\n";
    file.write(garbage, sizeof garbage - 1);
    file.close();
    WindowFixture f;
    const QSize defaultSize = f.window().size();
    tarnik::UserConveniences conveniences(f.window(), store(), true);
    EXPECT_EQ(f.window().size(), defaultSize);
    EXPECT_EQ(f.window().windowTitle(), kCaption);
    f.window().openSettingsFile(settingsFile(QStringLiteral("dom.zvn")));
    EXPECT_EQ(conveniences.recentFiles().size(), 1);
    EXPECT_TRUE(f.errors.isEmpty());
}

// Permissions do not bind root: ctest runs this part a second time as an
// unprivileged user when the tests run as root. Each store is written by hand
// and made unreadable or unwritable before anything in this process reads it
// (QSettings keeps what it read of a file).
TEST_F(ConveniencesTest, AnUnreadableOrUnwritableStoreIsIgnored)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const QString dom = settingsFile(QStringLiteral("dom.zvn"));
    const QByteArray content = "[files]\nrecent=" + QFile::encodeName(dom) + "\n";
    auto handWritten = [&](const QString& name) {
        QDir().mkpath(folder.filePath(name));
        const QString path = folder.filePath(name + QStringLiteral("/Tarnik.conf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    };
    auto run = [&](const QString& path) {
        WindowFixture f;
        tarnik::UserConveniences conveniences(
            f.window(), std::make_unique<QSettings>(path, QSettings::IniFormat), true);
        const QStringList found = conveniences.recentFiles();
        f.window().openSettingsFile(settingsFile(QStringLiteral("biuro.zvn")));
        EXPECT_EQ(conveniences.recentFiles().first(), folder.filePath(QStringLiteral("biuro.zvn")));
        f.window().show();
        f.window().close();
        EXPECT_TRUE(f.errors.isEmpty());
        return found;
    };
    // unreadable: starts as if nothing was remembered
    const QString unreadable = handWritten(QStringLiteral("unreadable"));
    ASSERT_EQ(chmod(QFile::encodeName(unreadable).constData(), 0), 0);
    EXPECT_TRUE(run(unreadable).isEmpty());
    // unwritable file in an unwritable folder: read, kept for this run only
    const QString unwritable = handWritten(QStringLiteral("unwritable"));
    const QByteArray unwritableFolder = QFile::encodeName(folder.filePath("unwritable"));
    ASSERT_EQ(chmod(QFile::encodeName(unwritable).constData(), 0444), 0);
    ASSERT_EQ(chmod(unwritableFolder.constData(), 0555), 0);
    EXPECT_EQ(run(unwritable), QStringList{dom});
    chmod(unwritableFolder.constData(), 0755);
    QFile file(unwritable);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
}

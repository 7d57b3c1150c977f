// Two people on one library: two connections saving one site, an exchange recorded
// meanwhile, a connection lost during a save.

#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "test_library.h"

namespace tarnik::sites {
namespace {

using test::sampleSettings;

const QString kSite = QStringLiteral("Biuro");

class TwoConnections : public ::testing::Test {
protected:
    TwoConnections()
    {
        SiteDetails details;
        details.name = kSite;
        SiteLibrary(test.location()).addSite(details, sampleSettings(1));
    }

    test::TestLibrary test;
};

TEST_F(TwoConnections, TheSecondSaverIsToldWhatChangedAndLosesNothing)
{
    SiteLibrary first(test.location());
    SiteLibrary second(test.location());
    const qint64 opened = first.site(kSite).revision;
    ASSERT_EQ(second.site(kSite).revision, opened);

    ASSERT_TRUE(first.saveSettings(kSite, sampleSettings(2), opened));
    try {
        second.saveSettings(kSite, sampleSettings(3), opened);
        FAIL() << "saved over another's save";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.kind(), LibraryError::Kind::ChangedMeanwhile);
        QStringList changes;
        for (const std::string& line : e.changes())
            changes << QString::fromStdString(line);
        EXPECT_EQ(changes, settingsChanges(sampleSettings(1), sampleSettings(2)));
    }
    EXPECT_EQ(second.history(kSite).size(), 2u);
    EXPECT_TRUE(second.entrySettings(kSite) == sampleSettings(2));

    // Opened again at the new revision, the second saver's settings go in.
    const std::optional<RecordedEntry> retried =
        second.saveSettings(kSite, sampleSettings(3), second.site(kSite).revision);
    ASSERT_TRUE(retried);
    EXPECT_EQ(retried->number, 3);
    EXPECT_TRUE(first.entrySettings(kSite) == sampleSettings(3));
}

TEST_F(TwoConnections, DetailsAndExchangesMeanwhileDoNotBlockASave)
{
    SiteLibrary first(test.location());
    SiteLibrary second(test.location());
    const qint64 opened = first.site(kSite).revision;

    SiteDetails details = second.site(kSite).details;
    details.contact = QStringLiteral("p. Nowak");
    second.editSite(kSite, details);
    NewEntry check;
    check.kind = EntryKind::Verified;
    check.port = QStringLiteral("/dev/ttyS0");
    check.settings = sampleSettings(1);
    second.recordExchange(kSite, check);

    // Nothing the first saver would overwrite changed: its save goes in.
    ASSERT_TRUE(first.saveSettings(kSite, sampleSettings(2), opened));
    // An exchange records what happened to the module, whatever the revision.
    NewEntry readBack;
    readBack.kind = EntryKind::ReadBack;
    readBack.settings = sampleSettings(4);
    EXPECT_EQ(second.recordExchange(kSite, readBack).number, 4);
    EXPECT_EQ(first.site(kSite).details.contact, details.contact);
}

TEST_F(TwoConnections, SavesAtTheSameMomentGiveOneEntryAndOneRefusal)
{
    for (unsigned round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const qint64 opened = SiteLibrary(test.location()).site(kSite).revision;
        std::latch ready(2);
        std::optional<LibraryError::Kind> outcome[2];
        bool saved[2] = {false, false};
        auto save = [&](int who) {
            SiteLibrary library(test.location());
            ready.arrive_and_wait();
            try {
                saved[who] =
                    library.saveSettings(kSite, sampleSettings(10 + round * 2 + who), opened)
                        .has_value();
            } catch (const LibraryError& e) {
                outcome[who] = e.kind();
            }
        };
        std::thread a(save, 0);
        std::thread b(save, 1);
        a.join();
        b.join();
        EXPECT_NE(saved[0], saved[1]);
        for (int who = 0; who < 2; ++who) {
            if (!saved[who]) {
                EXPECT_EQ(outcome[who], LibraryError::Kind::ChangedMeanwhile);
            }
        }
        const SiteLibrary library(test.location());
        EXPECT_EQ(library.history(kSite).size(), round + 2u);
        EXPECT_TRUE(library.entrySettings(kSite) ==
                    sampleSettings(10 + round * 2 + (saved[0] ? 0 : 1)));
    }
}

TEST_F(TwoConnections, ALostConnectionSavesNothingAndTheNextSaveReconnects)
{
    if (!test.postgresql())
        GTEST_SKIP() << "a SQLite file has no connection to lose";
    SiteLibrary library(test.location());
    const qint64 opened = library.site(kSite).revision;
    const QByteArray before = test.contents();

    // Every other connection to the test's database is the library's.
    test.raw().run(
        QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                       "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
    try {
        library.saveSettings(kSite, sampleSettings(2), opened);
        FAIL() << "saved on a lost connection";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.kind(), LibraryError::Kind::Unreachable);
        EXPECT_NE(std::string(e.what()).find("przerwane"), std::string::npos) << e.what();
    }
    EXPECT_EQ(test.contents(), before);

    ASSERT_TRUE(library.saveSettings(kSite, sampleSettings(2), opened));
    EXPECT_EQ(SiteLibrary(test.location()).history(kSite).size(), 2u);
}

}  // namespace
}  // namespace tarnik::sites

// A site's history: entries numbered in order, settings kept byte for byte, the changes
// between entries, the times of the latest programming and verification.

#include <gtest/gtest.h>

#include <QTimeZone>
#include <cstring>

#include "test_library.h"

namespace tarnik::sites {
namespace {

using test::sampleSettings;

const QString kSite = QStringLiteral("Apteka");

QDateTime at(int minute)
{
    return QDateTime(QDate(2026, 12, 8), QTime(10, minute), QTimeZone::utc());
}

NewEntry exchange(EntryKind kind, bool ok, int minute,
                  std::optional<StoredSettings> settings = std::nullopt)
{
    NewEntry e;
    e.kind = kind;
    e.port = QStringLiteral("/dev/ttyUSB0");
    e.ok = ok;
    e.result = ok ? QStringLiteral("OK") : QStringLiteral("brak odpowiedzi z modułu");
    e.settings = std::move(settings);
    e.login = QStringLiteral("serwisant");
    e.time = at(minute);
    return e;
}

class History : public ::testing::Test {
protected:
    History()
    {
        SiteDetails details;
        details.name = kSite;
        library.addSite(details, sampleSettings(1), QStringLiteral("instalator"));
    }

    test::TestLibrary test;
    SiteLibrary library{test.location()};
};

TEST_F(History, EntriesAreNumberedAndCarryWhatChanged)
{
    const StoredSettings first = sampleSettings(1);
    const StoredSettings second = sampleSettings(2);
    const qint64 startRevision = library.site(kSite).revision;

    const std::optional<RecordedEntry> saved = library.saveSettings(kSite, second);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->number, 2);
    EXPECT_EQ(saved->revision, startRevision + 1);
    EXPECT_EQ(saved->changes, settingsChanges(first, second));
    ASSERT_FALSE(saved->changes.isEmpty());

    // Equal settings add nothing, neither an entry nor a revision.
    EXPECT_FALSE(library.saveSettings(kSite, second));
    EXPECT_EQ(library.site(kSite).revision, saved->revision);

    const RecordedEntry programmed =
        library.recordExchange(kSite, exchange(EntryKind::Programmed, true, 5, first));
    const RecordedEntry failed =
        library.recordExchange(kSite, exchange(EntryKind::ReadBack, false, 6));
    EXPECT_EQ(programmed.changes, settingsChanges(second, first));
    EXPECT_TRUE(failed.changes.isEmpty());
    EXPECT_EQ(failed.revision, programmed.revision + 1);

    const std::vector<HistoryEntry> entries = library.history(kSite);
    ASSERT_EQ(entries.size(), 4u);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].number, qint64(i) + 1);
    EXPECT_EQ(entries[0].kind, EntryKind::Saved);
    EXPECT_EQ(entries[0].login, QStringLiteral("instalator"));
    EXPECT_TRUE(entries[0].changes.isEmpty());
    EXPECT_EQ(entries[1].changes, saved->changes);
    EXPECT_EQ(entries[1].login, currentLogin());
    EXPECT_EQ(entries[2].kind, EntryKind::Programmed);
    EXPECT_EQ(entries[2].port, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(entries[2].time, at(5));
    EXPECT_EQ(entries[2].changes, programmed.changes);
    EXPECT_FALSE(entries[3].ok);
    EXPECT_FALSE(entries[3].hasSettings);
    EXPECT_EQ(entries[3].result, QStringLiteral("brak odpowiedzi z modułu"));

    // A save compares with the latest settings, a programming's here, past the failed
    // read-back that brought none.
    const std::optional<RecordedEntry> again = library.saveSettings(kSite, second);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->number, 5);
    EXPECT_EQ(again->changes, settingsChanges(first, second));
}

TEST_F(History, ChangesTellThatACodeChangedButNotTheCode)
{
    // The history reads like a log: a code's change is named with its values hidden, a
    // phone number's change is what an installer looks for and stays readable.
    StoredSettings before = library.entrySettings(kSite);
    before.record.pin.assign("1111");
    before.record.csms.assign("+48600000001");
    StoredSettings after = before;
    after.record.pin.assign("4321");
    after.record.csms.assign("+48600000002");
    const QString lines = settingsChanges(before, after).join(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral(": przed: ****, po: ****"))) << lines.toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("4321"))) << lines.toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("1111"))) << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("+48600000002"))) << lines.toStdString();

    library.saveSettings(kSite, before);
    library.saveSettings(kSite, after);
    for (const HistoryEntry& entry : library.history(kSite))
        EXPECT_FALSE(entry.changes.join(QLatin1Char(' ')).contains(QStringLiteral("4321")));
}

TEST_F(History, EntrySettingsComeBackByteForByte)
{
    for (unsigned seed = 2; seed < 7; ++seed)
        library.saveSettings(kSite, sampleSettings(seed));
    library.recordExchange(kSite, exchange(EntryKind::ReadBack, false, 1));

    for (unsigned seed = 1; seed < 7; ++seed) {
        const StoredSettings expected = sampleSettings(seed);
        const StoredSettings stored = library.entrySettings(kSite, seed);
        EXPECT_EQ(std::memcmp(&stored.record, &expected.record, sizeof expected.record), 0) << seed;
        EXPECT_EQ(std::memcmp(&stored.users, &expected.users, sizeof expected.users), 0) << seed;
    }
    // The latest with settings, past the read-back that brought none.
    EXPECT_TRUE(library.entrySettings(kSite) == sampleSettings(6));

    const struct {
        QString site;
        std::optional<qint64> number;
        LibraryError::Kind kind;
    } refusals[] = {{kSite, 7, LibraryError::Kind::NoSuchEntry},
                    {kSite, 99, LibraryError::Kind::NoSuchEntry},
                    {QStringLiteral("Brak"), std::nullopt, LibraryError::Kind::NoSuchSite}};
    for (const auto& r : refusals)
        EXPECT_EQ(test::errorKindOf([&] { library.entrySettings(r.site, r.number); }), r.kind)
            << r.number.value_or(0);
}

TEST_F(History, LatestProgrammingAndVerificationFollowSuccessfulExchanges)
{
    const struct {
        EntryKind kind;
        bool ok;
        int minute;
        std::optional<int> programmed;  // the minute lastProgrammed shows after the entry
        std::optional<int> verified;
    } steps[] = {
        {EntryKind::Programmed, false, 1, std::nullopt, std::nullopt},
        {EntryKind::Programmed, true, 2, 2, std::nullopt},
        {EntryKind::Verified, false, 3, 2, std::nullopt},  // found a difference
        {EntryKind::ReadBack, true, 4, 2, std::nullopt},
        {EntryKind::Verified, true, 5, 2, 5},
        {EntryKind::ProgrammedAndVerified, true, 7, 7, 7},
        {EntryKind::Programmed, true, 6, 7, 7},  // recorded late: older than the latest
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.minute);
        library.recordExchange(kSite, exchange(step.kind, step.ok, step.minute, sampleSettings(1)));
        for (const SiteSummary& s : {library.site(kSite), library.listSites().front()}) {
            EXPECT_EQ(s.lastProgrammed,
                      step.programmed ? std::optional(at(*step.programmed)) : std::nullopt);
            EXPECT_EQ(s.lastVerified,
                      step.verified ? std::optional(at(*step.verified)) : std::nullopt);
        }
    }
    const std::optional<HistoryEntry> last = library.lastProgramming(kSite);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->number, 8);  // the one recorded last, whatever its time
    EXPECT_EQ(last->kind, EntryKind::Programmed);
}

}  // namespace
}  // namespace tarnik::sites

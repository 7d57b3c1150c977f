// Libraries that are refused, and left as they were: a newer schema, tables of someone
// else's; and a library of the first schema, migrated forward on open.

#include <gtest/gtest.h>

#include "model/codepage.h"
#include "sites/library_schema.h"
#include "test_library.h"

namespace tarnik::sites {
namespace {

using test::sampleSettings;

LibraryError::Kind refusalOf(const LibraryLocation& location, std::string& message)
{
    try {
        SiteLibrary library(location);
    } catch (const LibraryError& e) {
        message = e.what();
        return e.kind();
    }
    ADD_FAILURE() << "opened";
    return LibraryError::Kind::Failed;
}

TEST(Refusal, ANewerLibraryIsRefusedAndLeftAsItWas)
{
    test::TestLibrary test;
    {
        SiteLibrary library(test.location());
        SiteDetails details;
        details.name = QStringLiteral("Kościół");
        library.addSite(details, sampleSettings(1));
    }
    test.raw().run(
        QStringLiteral("UPDATE library_meta SET value = '3' WHERE name = 'schema_version'"));
    test.closeRaw();
    const QByteArray before = test.contents();
    ASSERT_FALSE(before.isEmpty());

    std::string message;
    EXPECT_EQ(refusalOf(test.location(), message), LibraryError::Kind::Newer);
    EXPECT_NE(message.find("pochodzi z nowszej wersji programu Tarnik (schemat 3, ten program "
                           "zna 2). Zaktualizuj program."),
              std::string::npos)
        << message;
    EXPECT_EQ(test.contents(), before);
}

TEST(Refusal, SomeoneElsesTablesAreRefusedAndLeftAsTheyWere)
{
    test::TestLibrary test;
    test.raw().run(QStringLiteral("CREATE TABLE customers (id INTEGER, name TEXT)"));
    test.raw().run(QStringLiteral("INSERT INTO customers VALUES (1, 'Kowalski')"));
    test.closeRaw();
    const QByteArray before = test.contents();

    std::string message;
    EXPECT_EQ(refusalOf(test.location(), message), LibraryError::Kind::Damaged);
    EXPECT_EQ(test.contents(), before);
}

TEST(Migration, ALibraryOfTheFirstSchemaIsBroughtForwardIntact)
{
    test::TestLibrary test;
    StoredSettings first = sampleSettings(1);
    first.users.entries[0].osoba.assign(toCp1250(QStringLiteral("Zofia Dawna")));
    StoredSettings latest = sampleSettings(2);
    latest.users.entries[0].osoba.assign(toCp1250(QStringLiteral("Bożena Żak")));
    latest.record.nrUser[1].assign("+48777888999");
    SiteDetails school;
    school.name = QStringLiteral("Szkoła");
    school.serialNumber = QStringLiteral("77");
    SiteDetails shop;
    shop.name = QStringLiteral("Sklep");
    {
        LibraryConnection& raw = test.raw();
        Transaction transaction(raw);
        createSchema1(raw);
        test::addVersion1Site(raw, school, {first, sampleSettings(3), latest},
                              EntryKind::Programmed);
        test::addVersion1Site(raw, shop, {sampleSettings(4)});
        transaction.commit();
        test.closeRaw();
    }

    SiteLibrary library(test.location());
    EXPECT_EQ(
        test.raw()
            .value(QStringLiteral("SELECT value FROM library_meta WHERE name = 'schema_version'"))
            .toString(),
        QString::number(SiteLibrary::currentSchemaVersion()));

    const struct {
        const char* search;
        QStringList found;
    } searches[] = {{"bozena zak", {"Szkoła"}},
                    {"777888", {"Szkoła"}},
                    {"zofia", {}},
                    {"szkola", {"Szkoła"}},
                    {"", {"Sklep", "Szkoła"}}};
    for (const auto& s : searches) {
        QStringList found;
        for (const SiteSummary& site : library.listSites(QString::fromUtf8(s.search)))
            found << site.details.name;
        EXPECT_EQ(found, s.found) << s.search;
    }

    const SiteSummary migrated = library.site(QStringLiteral("Szkoła"));
    EXPECT_EQ(migrated.details.serialNumber, school.serialNumber);
    EXPECT_EQ(migrated.revision, 3);
    ASSERT_TRUE(migrated.lastProgrammed);
    EXPECT_EQ(migrated.lastProgrammed->toMSecsSinceEpoch(), 1'700'000'000'000 + 3 * 60'000);
    EXPECT_FALSE(migrated.lastVerified);
    const std::vector<HistoryEntry> history = library.history(QStringLiteral("Szkoła"));
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[2].changes, settingsChanges(sampleSettings(3), latest));
    EXPECT_TRUE(library.entrySettings(QStringLiteral("Szkoła"), 1) == first);
    EXPECT_TRUE(library.entrySettings(QStringLiteral("Szkoła")) == latest);

    // The migrated site takes new entries on top of its old ones.
    const std::optional<RecordedEntry> saved =
        library.saveSettings(QStringLiteral("Szkoła"), first, migrated.revision);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->number, 4);
    EXPECT_EQ(saved->revision, 4);
}

}  // namespace
}  // namespace tarnik::sites

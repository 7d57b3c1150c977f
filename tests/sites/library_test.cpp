// The library's sites, search and details, on the engine the run chose (SQLite or the
// run's PostgreSQL server): the same tests for both.

#include <gtest/gtest.h>

#include "model/codepage.h"
#include "test_library.h"

namespace tarnik::sites {
namespace {

using test::sampleSettings;

QStringList namesOf(const std::vector<SiteSummary>& sites)
{
    QStringList names;
    for (const SiteSummary& s : sites)
        names << s.details.name;
    return names;
}

// Settings whose only user is the third one, of this name and number.
StoredSettings withUser(const QString& name, const char* number)
{
    StoredSettings s;
    s.users.entries[2].osoba.assign(toCp1250(name));
    s.record.nrUser[2].assign(number);
    return s;
}

class Sites : public ::testing::Test {
protected:
    // Settings without users by default, so that only what a test names can be found.
    SiteSummary add(const QString& name, const QString& address = {},
                    const StoredSettings& settings = {})
    {
        SiteDetails details;
        details.name = name;
        details.address = address;
        return library.addSite(details, settings, QStringLiteral("instalator"));
    }

    test::TestLibrary test;
    SiteLibrary library{test.location()};
};

TEST_F(Sites, SearchIgnoresCaseAndDiacriticsAndTakesWildcardsLiterally)
{
    SiteDetails lodz;
    lodz.name = QStringLiteral("Łódź Piotrkowska");
    lodz.address = QStringLiteral("ul. Żeromskiego 1");
    lodz.contact = QStringLiteral("Pani Ćwik");
    lodz.serialNumber = QStringLiteral("SN-0042");
    lodz.modulePhone = QStringLiteral("+48 600 100 200");
    library.addSite(lodz, withUser(QStringLiteral("Józef Śliwa"), "+48601222333"));
    add(QStringLiteral("Hala 100%"));
    add(QStringLiteral("Magazyn_2"));
    add(QStringLiteral("Uwaga!"));
    add(QStringLiteral("Gdańsk"));

    const struct {
        const char* search;
        QStringList found;
    } cases[] = {
        {"", {"Gdańsk", "Hala 100%", "Łódź Piotrkowska", "Magazyn_2", "Uwaga!"}},
        {"łódź", {"Łódź Piotrkowska"}},
        {"LODZ", {"Łódź Piotrkowska"}},
        {"ŻEROMSKIEGO", {"Łódź Piotrkowska"}},
        {"cwik", {"Łódź Piotrkowska"}},
        {"sn-0042", {"Łódź Piotrkowska"}},
        {"600 100", {"Łódź Piotrkowska"}},
        {"śliwa", {"Łódź Piotrkowska"}},
        {"JOZEF SLIWA", {"Łódź Piotrkowska"}},
        {"601222", {"Łódź Piotrkowska"}},
        {"gdansk", {"Gdańsk"}},
        {"%", {"Hala 100%"}},
        {"0%", {"Hala 100%"}},
        {"_", {"Magazyn_2"}},
        {"n_2", {"Magazyn_2"}},
        {"n%2", {}},
        {"!", {"Uwaga!"}},
        {"brak takiego", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.search);
        EXPECT_EQ(namesOf(library.listSites(QString::fromUtf8(c.search))), c.found);
    }
}

TEST_F(Sites, SearchFollowsTheLatestSettingsUsers)
{
    add(QStringLiteral("Sklep"), {}, withUser(QStringLiteral("Adam Nowak"), "500111222"));
    ASSERT_TRUE(library.saveSettings(QStringLiteral("Sklep"),
                                     withUser(QStringLiteral("Ewa Kos"), "500333444")));
    EXPECT_EQ(namesOf(library.listSites(QStringLiteral("nowak"))), QStringList());
    EXPECT_EQ(namesOf(library.listSites(QStringLiteral("500111"))), QStringList());
    EXPECT_EQ(namesOf(library.listSites(QStringLiteral("ewa kos"))), QStringList{"Sklep"});
    EXPECT_EQ(namesOf(library.listSites(QStringLiteral("500333"))), QStringList{"Sklep"});
}

TEST_F(Sites, EditChangesDetailsAndNameButNotIntoATakenOne)
{
    const SiteSummary added = add(QStringLiteral("Stary"), QStringLiteral("Polna 1"));
    add(QStringLiteral("Inny"));

    SiteDetails details = added.details;
    details.name = QStringLiteral("Nowy");
    details.address = QStringLiteral("Leśna 2");
    details.serialNumber = QStringLiteral("A1B2");
    details.notes = QStringLiteral("klucz u sąsiada");
    const SiteSummary edited = library.editSite(QStringLiteral("Stary"), details);
    EXPECT_EQ(edited.id, added.id);
    EXPECT_GT(edited.revision, added.revision);
    EXPECT_EQ(library.site(QStringLiteral("Nowy")).details.notes, details.notes);
    EXPECT_FALSE(library.findSite(QStringLiteral("Stary")));
    EXPECT_EQ(library.history(QStringLiteral("Nowy")).size(), 1u);
    EXPECT_EQ(namesOf(library.listSites(QStringLiteral("lesna"))), QStringList{"Nowy"});
    EXPECT_EQ(namesOf(library.listSites(QStringLiteral("polna"))), QStringList());

    details.name = QStringLiteral("Inny");
    try {
        library.editSite(QStringLiteral("Nowy"), details);
        FAIL() << "renamed onto a taken name";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.kind(), LibraryError::Kind::NameTaken);
    }
    EXPECT_EQ(library.site(QStringLiteral("Nowy")).revision, edited.revision);
    EXPECT_EQ(namesOf(library.listSites()), (QStringList{"Inny", "Nowy"}));

    try {
        library.addSite(details, sampleSettings(1));
        FAIL() << "added under a taken name";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.kind(), LibraryError::Kind::NameTaken);
    }
    try {
        library.editSite(QStringLiteral("Brak"), details);
        FAIL() << "edited a missing site";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.kind(), LibraryError::Kind::NoSuchSite);
    }
}

TEST_F(Sites, NamesThatCannotBeFileNamesAreRefused)
{
    add(QStringLiteral("Istniejący"));
    const QString refused[] = {QString(),
                               QStringLiteral("a/b"),
                               QStringLiteral("a\\b"),
                               QStringLiteral("."),
                               QStringLiteral(".."),
                               QStringLiteral("tab\there"),
                               QStringLiteral("nowa\nlinia"),
                               QString::fromUtf8("del\x7f"),
                               QString(QChar(0x85)),
                               QString(101, QLatin1Char('x'))};
    for (const QString& name : refused) {
        SCOPED_TRACE(name.toStdString());
        SiteDetails details;
        details.name = name;
        for (int operation = 0; operation < 2; ++operation) {
            try {
                if (operation == 0)
                    library.addSite(details, sampleSettings(1));
                else
                    library.editSite(QStringLiteral("Istniejący"), details);
                ADD_FAILURE() << "accepted";
            } catch (const LibraryError& e) {
                EXPECT_EQ(e.kind(), LibraryError::Kind::BadName);
            }
        }
    }
    EXPECT_EQ(namesOf(library.listSites()), QStringList{"Istniejący"});

    for (const QString& name :
         {QStringLiteral("..a"), QString(100, QChar(u'ż')), QStringLiteral("Ośrodek „Zdrój” nr 1")})
        EXPECT_NO_THROW(add(name)) << name.toStdString();
}

TEST_F(Sites, RemoveTakesTheHistoryAlong)
{
    add(QStringLiteral("Do usunięcia"));
    library.saveSettings(QStringLiteral("Do usunięcia"), sampleSettings(2));
    add(QStringLiteral("Zostaje"));
    library.removeSite(QStringLiteral("Do usunięcia"));
    EXPECT_EQ(namesOf(library.listSites()), QStringList{"Zostaje"});
    EXPECT_THROW(library.history(QStringLiteral("Do usunięcia")), LibraryError);

    // The name is free again and its history starts anew.
    add(QStringLiteral("Do usunięcia"));
    EXPECT_EQ(library.history(QStringLiteral("Do usunięcia")).size(), 1u);
    try {
        library.removeSite(QStringLiteral("Nie ma"));
        FAIL() << "removed a missing site";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.kind(), LibraryError::Kind::NoSuchSite);
    }
}

TEST_F(Sites, SiteBySerialFindsTheModulesSite)
{
    SiteDetails details;
    details.name = QStringLiteral("Szkoła");
    details.serialNumber = QStringLiteral("0123456789");
    library.addSite(details, sampleSettings(1));
    add(QStringLiteral("Bez numeru"));
    ASSERT_TRUE(library.siteBySerial(QStringLiteral("0123456789")));
    EXPECT_EQ(library.siteBySerial(QStringLiteral("0123456789"))->details.name, details.name);
    EXPECT_FALSE(library.siteBySerial(QStringLiteral("012345678")));
    EXPECT_FALSE(library.siteBySerial(QString()));
}

}  // namespace
}  // namespace tarnik::sites

#pragma once

// A library of sites of its own for each test (or benchmark): a SQLite file in a fresh
// folder, or, when TARNIK_TEST_POSTGRESQL names the URI file that
// postgresql_server.sh start wrote, a database of its own on that server, created here
// and dropped with the object, so that tests run in parallel.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "sites/library_connection.h"
#include "sites/site_library.h"

namespace tarnik::test {

// The variable naming the PostgreSQL URI file; unset, the tests use SQLite.
inline constexpr const char* kTestPostgresqlVariable = "TARNIK_TEST_POSTGRESQL";

class TestLibrary {
public:
    TestLibrary();
    ~TestLibrary();
    TestLibrary(const TestLibrary&) = delete;
    TestLibrary& operator=(const TestLibrary&) = delete;

    bool postgresql() const
    {
        return location_.engine == sites::LibraryLocation::Engine::PostgreSQL;
    }
    const sites::LibraryLocation& location() const { return location_; }

    // A connection of its own to the library, for what the library's interface does not do
    // (a schema-1 library built, a version set, a backend ended).
    sites::LibraryConnection& raw();
    // Closes that connection (SQLite: the write-ahead log goes back into the file).
    void closeRaw() { raw_.reset(); }

    // Everything the library holds, to prove that a refusal left it as it was: the file's
    // bytes (SQLite), every table's rows (PostgreSQL).
    QByteArray contents();

private:
    QTemporaryDir folder_;
    sites::LibraryLocation location_;
    QString database_;  // PostgreSQL: the test's own database
    std::unique_ptr<sites::LibraryConnection> raw_;
};

// The URI of the test server's "postgres" database, from TARNIK_TEST_POSTGRESQL's file;
// empty when the variable is unset.
QString testPostgresqlUri();

// Sound settings of their own for each seed: names, numbers, texts and values vary.
sites::StoredSettings sampleSettings(unsigned seed);

// Adds to a schema-1 library (sites::createSchema1) a site of these details whose history
// saved each of `settings` in turn, the last entry of kind `lastKind`, one minute apart.
void addVersion1Site(sites::LibraryConnection& connection, const sites::SiteDetails& details,
                     const std::vector<sites::StoredSettings>& settings,
                     sites::EntryKind lastKind = sites::EntryKind::Saved);

}  // namespace tarnik::test

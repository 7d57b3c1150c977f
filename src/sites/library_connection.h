#pragma once

// One Qt SQL connection to a library, under a name of its own (so that any number of
// libraries, or of connections to one library, live side by side), removed with the
// object. Statements run through it throw LibraryError; a PostgreSQL connection found
// broken is reported as Unreachable and opened afresh before the next statement.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "sites/library_location.h"

namespace tarnik::sites {

class LibraryConnection {
public:
    explicit LibraryConnection(const LibraryLocation& location);
    ~LibraryConnection();
    LibraryConnection(const LibraryConnection&) = delete;
    LibraryConnection& operator=(const LibraryConnection&) = delete;

    const LibraryLocation& location() const { return location_; }
    bool isSqlite() const { return location_.engine == LibraryLocation::Engine::SQLite; }

    // Connects. Throws Unreachable (PostgreSQL) or Failed.
    void open();

    // Runs `sql` with `values` bound to its '?' placeholders in order; throws on failure.
    QSqlQuery run(const QString& sql, const QVariantList& values = {});
    // The rows' first columns' values, for a one-row question; null when there is no row.
    QVariant value(const QString& sql, const QVariantList& values = {});

    void begin();
    void commit();
    void rollback() noexcept;

    // The Qt connection itself, for bulk work the statements above do not cover (a batch
    // of rows bound at once).
    QSqlDatabase& database() { return db_; }

private:
    [[noreturn]] void fail(const QSqlError& error);

    LibraryLocation location_;
    QString name_;
    QSqlDatabase db_;
    bool broken_ = false;
};

// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(LibraryConnection& connection) : connection_(connection)
    {
        connection_.begin();
    }
    ~Transaction()
    {
        if (!done_)
            connection_.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit()
    {
        done_ = true;
        connection_.commit();
    }

private:
    LibraryConnection& connection_;
    bool done_ = false;
};

// Null values of the columns' types, which a driver needs to bind a NULL.
QVariant nullInteger();
QVariant nullBytes();

}  // namespace tarnik::sites

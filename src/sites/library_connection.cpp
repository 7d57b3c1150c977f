#include "sites/library_connection.h"

#include <atomic>

#include "sites/library_failures.h"

namespace tarnik::sites {

namespace {

QString uniqueConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("tarnik-sites-%1").arg(++counter);
}

// How long a SQLite connection waits for another's write to end before giving up.
constexpr int kBusyTimeoutMs = 5000;
// How long a PostgreSQL connection attempt may take, unless the location says otherwise.
constexpr int kConnectTimeoutSeconds = 10;

}  // namespace

LibraryConnection::LibraryConnection(const LibraryLocation& location)
    : location_(location), name_(uniqueConnectionName())
{
    if (isSqlite()) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(location_.path);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        return;
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    if (!location_.host.isEmpty())
        db_.setHostName(location_.host);
    if (location_.port > 0)
        db_.setPort(location_.port);
    if (!location_.user.isEmpty())
        db_.setUserName(location_.user);
    if (!location_.database.isEmpty())
        db_.setDatabaseName(location_.database);
    QString options = location_.options;
    if (!options.contains(QLatin1String("connect_timeout=")))
        options += (options.isEmpty() ? QString() : QStringLiteral(";")) +
                   QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutSeconds);
    db_.setConnectOptions(options);
}

LibraryConnection::~LibraryConnection()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

void LibraryConnection::open()
{
    if (!db_.isValid())
        throwFailed(location_,
                    QStringLiteral("brak sterownika Qt SQL %1 (zainstaluj pakiet %2)")
                        .arg(isSqlite() ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
                             isSqlite() ? QStringLiteral("libqt6sql6-sqlite")
                                        : QStringLiteral("libqt6sql6-psql")));
    if (db_.open()) {
        broken_ = false;
        return;
    }
    const QString detail = db_.lastError().text();
    db_.close();
    if (isSqlite())
        throwFailed(location_, detail);
    throwUnreachable(location_, detail);
}

void LibraryConnection::fail(const QSqlError& error)
{
    // PostgreSQL names every error of a statement the server ran by its SQLSTATE; a broken
    // connection has none, or one of class 08 (connection exception) or 57P (the server
    // ended the session).
    const QString state = error.nativeErrorCode();
    if (!isSqlite() && (state.isEmpty() || state.startsWith(QLatin1String("08")) ||
                        state.startsWith(QLatin1String("57P")))) {
        broken_ = true;
        throwConnectionLost(location_);
    }
    throwFailed(location_, error.text());
}

QSqlQuery LibraryConnection::run(const QString& sql, const QVariantList& values)
{
    if (broken_) {
        db_.close();
        open();
    }
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    // PostgreSQL prepares only queries and changes of rows, never DDL or CREATE DATABASE:
    // a statement without values runs as it is.
    if (values.isEmpty()) {
        if (!query.exec(sql))
            fail(query.lastError());
        return query;
    }
    if (!query.prepare(sql))
        fail(query.lastError());
    // A null QString would be bound as NULL: every text of the library is NOT NULL, an
    // empty one included.
    for (const QVariant& v : values)
        query.addBindValue(v.typeId() == QMetaType::QString && v.toString().isNull()
                               ? QVariant(QString(QLatin1String("")))
                               : v);
    if (!query.exec())
        fail(query.lastError());
    return query;
}

QVariant LibraryConnection::value(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = run(sql, values);
    return query.next() ? query.value(0) : QVariant();
}

void LibraryConnection::begin()
{
    if (broken_) {
        db_.close();
        open();
    }
    if (!db_.transaction())
        fail(db_.lastError());
}

void LibraryConnection::commit()
{
    if (!db_.commit()) {
        const QSqlError error = db_.lastError();
        rollback();
        fail(error);
    }
}

void LibraryConnection::rollback() noexcept
{
    if (!broken_)
        db_.rollback();
}

QVariant nullInteger()
{
    return QVariant(QMetaType::fromType<qlonglong>());
}

QVariant nullBytes()
{
    return QVariant(QMetaType::fromType<QByteArray>());
}

}  // namespace tarnik::sites

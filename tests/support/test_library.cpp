#include "test_library.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <stdexcept>

#include <unistd.h>

#include "model/string_lengths.h"
#include "random_records.h"
#include "sites/library_schema.h"
#include "sites/stored_settings.h"

namespace tarnik::test {

namespace {

QString uniqueDatabaseName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("tarnik_test_%1_%2").arg(::getpid()).arg(++counter);
}

// Runs one statement on the server's "postgres" database (CREATE and DROP DATABASE).
void administer(const QString& sql)
{
    sites::LibraryConnection admin(sites::parseLibraryLocation(testPostgresqlUri()));
    admin.open();
    admin.run(sql);
}

}  // namespace

QString testPostgresqlUri()
{
    const QString file = qEnvironmentVariable(kTestPostgresqlVariable);
    if (file.isEmpty())
        return {};
    QFile uri(file);
    if (!uri.open(QIODevice::ReadOnly))
        throw std::runtime_error("no PostgreSQL test server: " + file.toStdString() +
                                 " cannot be read (postgresql_server.sh start)");
    return QString::fromUtf8(uri.readAll()).trimmed();
}

TestLibrary::TestLibrary()
{
    const QString uri = testPostgresqlUri();
    if (uri.isEmpty()) {
        location_ = sites::parseLibraryLocation(folder_.filePath(QStringLiteral("obiekty.sqlite")));
        return;
    }
    database_ = uniqueDatabaseName();
    administer(QStringLiteral("CREATE DATABASE %1").arg(database_));
    location_ = sites::parseLibraryLocation(uri);
    location_.database = database_;
}

TestLibrary::~TestLibrary()
{
    raw_.reset();
    if (!database_.isEmpty()) {
        try {
            administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database_));
        } catch (const std::exception&) {
            // The server's folder goes at the end of the run with everything in it.
        }
    }
}

sites::LibraryConnection& TestLibrary::raw()
{
    if (!raw_) {
        raw_ = std::make_unique<sites::LibraryConnection>(location_);
        raw_->open();
    }
    return *raw_;
}

QByteArray TestLibrary::contents()
{
    if (!postgresql()) {
        QFile file(location_.path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }
    QByteArray all;
    QStringList tables;
    {
        QSqlQuery q = raw().run(QStringLiteral(
            "SELECT tablename FROM pg_tables WHERE schemaname = current_schema() ORDER BY 1"));
        while (q.next())
            tables << q.value(0).toString();
    }
    for (const QString& table : tables) {
        all += table.toUtf8() + '\n';
        QSqlQuery q = raw().run(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table));
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                all += q.value(i).toByteArray() + '\t';
            all += '\n';
        }
    }
    return all;
}

sites::StoredSettings sampleSettings(unsigned seed)
{
    RecordGenerator generator(seed);
    sites::StoredSettings s;
    // A record whose every length byte is sound, as a settings file must hold.
    do {
        s.record = generator.record();
        s.users = generator.users();
    } while (!stringLengthsValid(s.record) || !stringLengthsValid(s.users));
    return s;
}

void addVersion1Site(sites::LibraryConnection& connection, const sites::SiteDetails& details,
                     const std::vector<sites::StoredSettings>& settings, sites::EntryKind lastKind)
{
    connection.run(QStringLiteral("INSERT INTO sites (name, address, contact, notes, "
                                  "serial_number, module_phone) VALUES (?, ?, ?, ?, ?, ?)"),
                   {details.name, details.address, details.contact, details.notes,
                    details.serialNumber, details.modulePhone});
    const qint64 id =
        connection.value(QStringLiteral("SELECT id FROM sites WHERE name = ?"), {details.name})
            .toLongLong();
    qint64 number = 0;
    const sites::StoredSettings* before = nullptr;
    for (const sites::StoredSettings& s : settings) {
        const QStringList changes = before ? sites::settingsChanges(*before, s) : QStringList();
        connection.run(
            QStringLiteral("INSERT INTO entries (site_id, number, time_ms, kind, port, login, ok, "
                           "result, settings, changes, change_count) "
                           "VALUES (?, ?, ?, ?, '', 'instalator', 1, 'OK', ?, ?, ?)"),
            {id, ++number, 1'700'000'000'000 + number * 60'000,
             sites::storedKind(number == qint64(settings.size()) ? lastKind
                                                                 : sites::EntryKind::Saved),
             sites::storedBytes(s), changes.join(QLatin1Char('\n')),
             static_cast<int>(changes.size())});
        before = &s;
    }
}

}  // namespace tarnik::test

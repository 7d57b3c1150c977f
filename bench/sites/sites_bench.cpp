// The library of sites at scale: 10,000 sites of 20 history entries each, on SQLite and on
// PostgreSQL. Lists and searches (goal: under 50 ms), opening a site with its history and
// latest settings (under 20 ms), recording an entry (under 20 ms).
//
// bench_sites [--postgresql=URI] [--only=sqlite|postgresql] [--sites=N] [--entries=N]
//             [benchmark flags]
// Without --postgresql a server of its own is started (tests/support/postgresql_server.sh,
// flushing to disk as a real one does) and stopped at the end. The library is filled
// through SQL in large transactions, with the product's own settings bytes, search texts
// and change lines.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <map>

#include "configured_settings.h"
#include "model/codepage.h"
#include "sites/library_connection.h"
#include "sites/library_schema.h"
#include "sites/site_library.h"
#include "sites/stored_settings.h"

namespace tarnik::sites {
namespace {

constexpr int kVariants = 64;

const char* const kSurnames[] = {"Kowalski",  "Nowak",       "Wiśniewski", "Wójcik",    "Kowalczyk",
                                 "Kamiński",  "Lewandowski", "Zieliński",  "Szymański", "Woźniak",
                                 "Dąbrowski", "Kozłowski",   "Jankowski",  "Mazur"};
const char* const kStreets[] = {"Polna",    "Leśna",  "Słoneczna", "Krótka",   "Szkolna",
                                "Ogrodowa", "Lipowa", "Łąkowa",    "Brzozowa", "Kwiatowa"};
const char* const kTowns[] = {"Łódź",      "Kraków",  "Gdańsk", "Poznań", "Wrocław", "Lublin",
                              "Białystok", "Rzeszów", "Opole",  "Kielce", "Toruń"};

template <std::size_t N>
QString pick(const char* const (&list)[N], int i)
{
    return QString::fromUtf8(list[static_cast<std::size_t>(i) % N]);
}

// A fully configured module with its users, numbers and a few values of its own.
StoredSettings variant(int v)
{
    const test::ConfiguredSettings base = test::fullyConfigured();
    StoredSettings s{base.record, base.users};
    for (int u = 0; u < kUsers; ++u) {
        s.users.entries[u].osoba.assign(
            toCp1250(QStringLiteral("%1 %2").arg(pick(kSurnames, v * 3 + u)).arg(v)));
        s.record.nrUser[u].assign("+486" + std::to_string(10000000 + v * 10 + u));
    }
    s.record.callTimer = static_cast<std::uint8_t>(v);
    s.record.smsWeRe[v % kInputs][0].assign("Alarm " + std::to_string(v));
    return s;
}

QString siteName(int i)
{
    return QStringLiteral("Obiekt %1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(pick(kTowns, i));
}

struct Pool {
    std::vector<StoredSettings> settings;
    std::vector<QByteArray> bytes;
    std::map<std::pair<int, int>, QString> changes;  // joined lines, by (before, after)

    Pool()
    {
        for (int v = 0; v < kVariants; ++v) {
            settings.push_back(variant(v));
            bytes.push_back(storedBytes(settings.back()));
        }
    }
    const QString& changesBetween(int before, int after)
    {
        auto [it, added] = changes.try_emplace({before, after});
        if (added)
            it->second = settingsChanges(settings[before], settings[after]).join(QLatin1Char('\n'));
        return it->second;
    }
};

void check(bool ok, QSqlQuery& q)
{
    if (!ok) {
        std::fprintf(stderr, "bench_sites: %s\n", qPrintable(q.lastError().text()));
        std::exit(1);
    }
}

// Fills the library with `sites` sites of `entries` entries, 500 sites a transaction.
void populate(const LibraryLocation& location, int sites, int entries, Pool& pool)
{
    {
        const SiteLibrary schema(location);
    }
    LibraryConnection connection(location);
    connection.open();
    QSqlDatabase& db = connection.database();
    const qint64 start = 1'700'000'000'000;
    constexpr int kBatch = 500;
    for (int first = 0; first < sites; first += kBatch) {
        const int last = std::min(sites, first + kBatch);
        connection.begin();
        QVariantList ids, names, addresses, contacts, serials, phones, texts, sortNames, revisions,
            programmed, verified;
        QVariantList eSite, eNumber, eRevision, eTime, eKind, ePort, eLogin, eOk, eResult,
            eSettings, eChanges, eCount;
        for (int i = first; i < last; ++i) {
            SiteDetails d;
            d.name = siteName(i);
            d.address = QStringLiteral("ul. %1 %2, %3")
                            .arg(pick(kStreets, i / 7))
                            .arg(i % 97 + 1)
                            .arg(pick(kTowns, i));
            d.contact = QStringLiteral("%1, tel. 6%2")
                            .arg(pick(kSurnames, i / 3))
                            .arg(i, 8, 10, QLatin1Char('0'));
            d.serialNumber = QStringLiteral("SN%1").arg(i, 8, 10, QLatin1Char('0'));
            d.modulePhone = QStringLiteral("+48 7%1").arg(i, 8, 10, QLatin1Char('0'));
            int previous = -1;
            qint64 lastProgrammed = 0, lastVerified = 0;
            for (int n = 1; n <= entries; ++n) {
                const int v = (i * 7 + n * 3) % kVariants;
                const EntryKind kind =
                    n == 1 ? EntryKind::Saved : static_cast<EntryKind>((i + n) % 5);
                const qint64 time = start + (qint64(i) * entries + n) * 60'000;
                eSite << i + 1;
                eNumber << n;
                eRevision << n;
                eTime << time;
                eKind << storedKind(kind);
                ePort << (kind == EntryKind::Saved ? QStringLiteral("")
                                                   : QStringLiteral("/dev/ttyUSB0"));
                eLogin << QStringLiteral("instalator");
                eOk << 1;
                eResult << QStringLiteral("OK");
                eSettings << pool.bytes[v];
                const QString changes = previous < 0 ? QString() : pool.changesBetween(previous, v);
                eChanges << (changes.isNull() ? QStringLiteral("") : changes);
                eCount << (changes.isEmpty() ? 0 : int(changes.count(QLatin1Char('\n')) + 1));
                if (kind == EntryKind::Programmed || kind == EntryKind::ProgrammedAndVerified)
                    lastProgrammed = time;
                if (kind == EntryKind::Verified || kind == EntryKind::ProgrammedAndVerified)
                    lastVerified = time;
                previous = v;
            }
            ids << i + 1;
            names << d.name;
            addresses << d.address;
            contacts << d.contact;
            serials << d.serialNumber;
            phones << d.modulePhone;
            texts << siteSearchText(d, pool.settings[previous]);
            sortNames << siteSortName(d);
            revisions << entries;
            programmed << (lastProgrammed ? QVariant(lastProgrammed) : nullInteger());
            verified << (lastVerified ? QVariant(lastVerified) : nullInteger());
        }
        QSqlQuery q(db);
        check(q.prepare(QStringLiteral(
                  "INSERT INTO sites (id, name, address, contact, notes, serial_number, "
                  "module_phone, search_text, sort_name, revision, last_programmed_ms, "
                  "last_verified_ms) VALUES (?, ?, ?, ?, '', ?, ?, ?, ?, ?, ?, ?)")),
              q);
        for (const QVariantList& column : {ids, names, addresses, contacts, serials, phones, texts,
                                           sortNames, revisions, programmed, verified})
            q.addBindValue(column);
        check(q.execBatch(), q);
        QSqlQuery e(db);
        check(e.prepare(QStringLiteral(
                  "INSERT INTO entries (site_id, number, revision, time_ms, kind, port, login, "
                  "ok, result, settings, changes, change_count) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")),
              e);
        for (const QVariantList& column : {eSite, eNumber, eRevision, eTime, eKind, ePort, eLogin,
                                           eOk, eResult, eSettings, eChanges, eCount})
            e.addBindValue(column);
        check(e.execBatch(), e);
        connection.commit();
    }
    if (!connection.isSqlite()) {
        // Identity columns filled by hand go on from the highest id; statistics for the planner.
        connection.run(QStringLiteral(
            "SELECT setval(pg_get_serial_sequence('sites', 'id'), (SELECT MAX(id) FROM sites))"));
        connection.run(QStringLiteral("ANALYZE"));
    } else {
        connection.run(QStringLiteral("ANALYZE"));
    }
}

struct Engine {
    const char* name;
    LibraryLocation location;
    std::unique_ptr<SiteLibrary> library;
};

void BM_ListAll(benchmark::State& state, Engine* engine)
{
    std::size_t n = 0;
    for (auto _ : state)
        n = engine->library->listSites().size();
    state.counters["sites"] = double(n);
}

void BM_Search(benchmark::State& state, Engine* engine, QString search)
{
    std::size_t n = 0;
    for (auto _ : state)
        n = engine->library->listSites(search).size();
    state.counters["found"] = double(n);
}

void BM_OpenSite(benchmark::State& state, Engine* engine, int sites)
{
    int i = 0;
    for (auto _ : state) {
        const QString name = siteName(int((qint64(i++) * 7919) % sites));
        benchmark::DoNotOptimize(engine->library->site(name));
        benchmark::DoNotOptimize(engine->library->history(name));
        benchmark::DoNotOptimize(engine->library->entrySettings(name));
    }
}

void BM_RecordProgramming(benchmark::State& state, Engine* engine, int sites, Pool* pool)
{
    int i = 0;
    for (auto _ : state) {
        NewEntry entry;
        entry.kind = EntryKind::ProgrammedAndVerified;
        entry.port = QStringLiteral("/dev/ttyUSB1");
        entry.settings = pool->settings[i % kVariants];
        engine->library->recordExchange(siteName(int((qint64(i) * 104729) % sites)), entry);
        ++i;
    }
}

void BM_SaveSettings(benchmark::State& state, Engine* engine, int sites, Pool* pool)
{
    int i = 0;
    for (auto _ : state) {
        const QString name = siteName(int((qint64(i) * 15485863) % sites));
        const qint64 revision = engine->library->site(name).revision;
        engine->library->saveSettings(name, pool->settings[(i * 5 + 1) % kVariants], revision);
        ++i;
    }
}

// Starts the run's own server; its URI, or empty when it could not be started.
QString startServer(const QString& state)
{
    QProcess script;
    script.start(QStringLiteral("sh"), {QStringLiteral(TARNIK_POSTGRESQL_SERVER),
                                        QStringLiteral("start"), state, QStringLiteral("durable")});
    if (!script.waitForFinished(120'000) || script.exitCode() != 0) {
        std::fprintf(stderr, "bench_sites: no PostgreSQL server: %s\n",
                     script.readAllStandardError().constData());
        return {};
    }
    QFile uri(state + QStringLiteral("/postgresql.uri"));
    return uri.open(QIODevice::ReadOnly) ? QString::fromUtf8(uri.readAll()).trimmed() : QString();
}

void stopServer(const QString& state)
{
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral(TARNIK_POSTGRESQL_SERVER), QStringLiteral("stop"), state});
}

}  // namespace
}  // namespace tarnik::sites

int main(int argc, char** argv)
{
    using namespace tarnik::sites;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QString uri;
    int sites = 10'000;
    int entries = 20;
    QString only;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--postgresql=")))
            uri = arg.mid(13);
        else if (arg.startsWith(QLatin1String("--sites=")))
            sites = arg.mid(8).toInt();
        else if (arg.startsWith(QLatin1String("--only=")))
            only = arg.mid(7);
        else if (arg.startsWith(QLatin1String("--entries=")))
            entries = arg.mid(10).toInt();
        else {
            std::fprintf(stderr, "bench_sites: unknown argument %s\n", argv[i]);
            return 2;
        }
    }

    QTemporaryDir folder;
    const QString state = folder.filePath(QStringLiteral("postgresql"));
    const bool usePostgresql = only.isEmpty() || only == QLatin1String("postgresql");
    const bool useSqlite = only.isEmpty() || only == QLatin1String("sqlite");
    const bool ownServer = uri.isEmpty() && usePostgresql;
    if (ownServer)
        uri = startServer(state);
    if (usePostgresql && uri.isEmpty())
        return 1;

    Pool pool;
    Engine engines[2] = {
        {"sqlite", parseLibraryLocation(folder.filePath("obiekty.sqlite")), {}},
        {"postgresql", usePostgresql ? parseLibraryLocation(uri) : LibraryLocation{}, {}}};
    int status = 0;
    try {
        if (usePostgresql) {
            LibraryConnection admin(engines[1].location);
            admin.open();
            admin.run(QStringLiteral("DROP DATABASE IF EXISTS tarnik_bench WITH (FORCE)"));
            admin.run(QStringLiteral("CREATE DATABASE tarnik_bench"));
        }
        engines[1].location.database = QStringLiteral("tarnik_bench");
        for (Engine& engine : engines) {
            if (&engine == &engines[0] ? !useSqlite : !usePostgresql)
                continue;
            QElapsedTimer timer;
            timer.start();
            populate(engine.location, sites, entries, pool);
            std::fprintf(stderr, "%s: %d sites of %d entries filled in %.1f s\n", engine.name,
                         sites, entries, double(timer.elapsed()) / 1000);
            engine.library = std::make_unique<SiteLibrary>(engine.location);
            const std::string prefix = std::string(engine.name) + "/";
            benchmark::RegisterBenchmark((prefix + "ListAll").c_str(), BM_ListAll, &engine)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((prefix + "SearchTown").c_str(), BM_Search, &engine,
                                         QStringLiteral("lodz"))
                ->Unit(benchmark::kMillisecond);
            // A user's name of one of the settings, in capitals and without its diacritics.
            benchmark::RegisterBenchmark(
                (prefix + "SearchUser").c_str(), BM_Search, &engine,
                foldedForSearch(tarnik::fromCp1250(pool.settings[11].users.entries[1].osoba.str()))
                    .toUpper())
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((prefix + "OpenSite").c_str(), BM_OpenSite, &engine, sites)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((prefix + "RecordProgramming").c_str(),
                                         BM_RecordProgramming, &engine, sites, &pool)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((prefix + "SaveSettings").c_str(), BM_SaveSettings,
                                         &engine, sites, &pool)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RunSpecifiedBenchmarks();
    } catch (const LibraryError& e) {
        std::fprintf(stderr, "bench_sites: %s\n", e.what());
        status = 1;
    }
    for (Engine& engine : engines)
        engine.library.reset();
    benchmark::Shutdown();
    if (ownServer)
        stopServer(state);
    return status;
}

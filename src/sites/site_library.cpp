#include "sites/site_library.h"

#include <QSqlQuery>

#include "file/settings_file.h"
#include "sites/library_connection.h"
#include "sites/library_failures.h"
#include "sites/library_schema.h"
#include "sites/sqlite_file.h"
#include "sites/stored_settings.h"

namespace tarnik::sites {

namespace {

constexpr qsizetype kMaxNameLength = 100;

const QString kSiteColumns = QStringLiteral(
    "s.id, s.name, s.address, s.contact, s.notes, s.serial_number, s.module_phone, s.revision, "
    "s.last_programmed_ms, s.last_verified_ms");
const QString kEntryColumns =
    QStringLiteral("e.number, e.time_ms, e.kind, e.port, e.login, e.ok, e.result, "
                   "CASE WHEN e.settings IS NULL THEN 0 ELSE 1 END, e.changes");

std::optional<QDateTime> timeFrom(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

SiteSummary summaryFrom(const QSqlQuery& q)
{
    SiteSummary s;
    s.id = q.value(0).toLongLong();
    s.details.name = q.value(1).toString();
    s.details.address = q.value(2).toString();
    s.details.contact = q.value(3).toString();
    s.details.notes = q.value(4).toString();
    s.details.serialNumber = q.value(5).toString();
    s.details.modulePhone = q.value(6).toString();
    s.revision = q.value(7).toLongLong();
    s.lastProgrammed = timeFrom(q.value(8));
    s.lastVerified = timeFrom(q.value(9));
    return s;
}

HistoryEntry entryFrom(const QSqlQuery& q)
{
    HistoryEntry e;
    e.number = q.value(0).toLongLong();
    e.time = *timeFrom(q.value(1));
    e.kind = kindFromStored(q.value(2).toInt());
    e.port = q.value(3).toString();
    e.login = q.value(4).toString();
    e.ok = q.value(5).toInt() != 0;
    e.result = q.value(6).toString();
    e.hasSettings = q.value(7).toInt() != 0;
    const QString changes = q.value(8).toString();
    if (!changes.isEmpty())
        e.changes = changes.split(QLatin1Char('\n'));
    return e;
}

// Names become file names when the library is exported.
void checkName(const QString& name)
{
    if (name.isEmpty())
        throwBadName(name, QStringLiteral("nazwa jest pusta"));
    if (name.toUcs4().size() > kMaxNameLength)
        throwBadName(name, QStringLiteral("nazwa ma więcej niż %1 znaków").arg(kMaxNameLength));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        throwBadName(name, QStringLiteral("„.” i „..” oznaczają foldery"));
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            throwBadName(name, QStringLiteral("nazwa zawiera ukośnik"));
        if (c.category() == QChar::Other_Control)
            throwBadName(name, QStringLiteral("nazwa zawiera znaki sterujące"));
    }
}

bool isProgramming(EntryKind kind)
{
    return kind == EntryKind::Programmed || kind == EntryKind::ProgrammedAndVerified;
}

bool isVerification(EntryKind kind)
{
    return kind == EntryKind::ProgrammedAndVerified || kind == EntryKind::Verified;
}

// The settings of one history entry, with the revision it produced.
struct SettingsEntry {
    qint64 revision = 0;
    StoredSettings settings;
};

}  // namespace

struct SiteLibrary::Private {
    explicit Private(const LibraryLocation& location) : connection(location) { }

    LibraryConnection connection;

    StoredSettings decoded(const QVariant& bytes, qint64 number)
    {
        try {
            return storedFromBytes(bytes.toByteArray());
        } catch (const SettingsFileError&) {
            throwFailed(
                connection.location(),
                QStringLiteral("ustawienia zapisane we wpisie %1 są uszkodzone").arg(number));
        }
    }

    std::optional<SiteSummary> find(const QString& name)
    {
        QSqlQuery q = connection.run(
            QStringLiteral("SELECT %1 FROM sites s WHERE s.name = ?").arg(kSiteColumns), {name});
        if (!q.next())
            return std::nullopt;
        return summaryFrom(q);
    }

    qint64 siteId(const QString& name)
    {
        const QVariant id =
            connection.value(QStringLiteral("SELECT id FROM sites WHERE name = ?"), {name});
        if (id.isNull())
            throwNoSuchSite(name);
        return id.toLongLong();
    }

    // The first statement of a change to a site: takes the site's row (PostgreSQL) or the
    // library (SQLite) for this transaction, waiting for another's change to end, and gives
    // the site a new revision. The site as it is now, with that revision.
    SiteSummary lockSite(const QString& name)
    {
        QSqlQuery q = connection.run(
            QStringLiteral("UPDATE sites SET revision = revision + 1 WHERE name = ?"), {name});
        if (q.numRowsAffected() < 1)
            throwNoSuchSite(name);
        return *find(name);
    }

    // The latest entry with settings, of a revision up to `revision` when given.
    std::optional<SettingsEntry> settingsEntry(qint64 siteId,
                                               std::optional<qint64> revision = std::nullopt)
    {
        QVariantList values{siteId};
        QString upTo;
        if (revision) {
            upTo = QStringLiteral(" AND revision <= ?");
            values << *revision;
        }
        QSqlQuery q = connection.run(
            QStringLiteral("SELECT number, revision, settings FROM entries WHERE site_id = ? AND "
                           "settings IS NOT NULL%1 ORDER BY number DESC LIMIT 1")
                .arg(upTo),
            values);
        if (!q.next())
            return std::nullopt;
        return SettingsEntry{q.value(1).toLongLong(), decoded(q.value(2), q.value(0).toLongLong())};
    }

    qint64 nextNumber(qint64 siteId)
    {
        return connection
            .value(QStringLiteral(
                       "SELECT COALESCE(MAX(number), 0) + 1 FROM entries WHERE site_id = ?"),
                   {siteId})
            .toLongLong();
    }

    void insertEntry(qint64 siteId, qint64 number, qint64 revision, const NewEntry& entry,
                     const QStringList& changes)
    {
        const QDateTime time = entry.time.isValid() ? entry.time : QDateTime::currentDateTimeUtc();
        const QString login = entry.login.isEmpty() ? currentLogin() : entry.login;
        connection.run(
            QStringLiteral("INSERT INTO entries (site_id, number, revision, time_ms, kind, port, "
                           "login, ok, result, settings, changes, change_count) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {siteId, number, revision, time.toMSecsSinceEpoch(), storedKind(entry.kind), entry.port,
             login, entry.ok ? 1 : 0, entry.result,
             entry.settings ? QVariant(storedBytes(*entry.settings)) : nullBytes(),
             changes.join(QLatin1Char('\n')), static_cast<int>(changes.size())});
    }

    void setSearchText(const SiteSummary& site, const std::optional<StoredSettings>& latest)
    {
        connection.run(
            QStringLiteral("UPDATE sites SET search_text = ?, sort_name = ? WHERE id = ?"),
            {siteSearchText(site.details, latest), siteSortName(site.details), site.id});
    }

    // Keeps the latest time of a column (last_programmed_ms, last_verified_ms).
    void raiseTime(qint64 siteId, const char* column, qint64 ms)
    {
        connection.run(QStringLiteral("UPDATE sites SET %1 = CASE WHEN %1 IS NULL OR %1 < ? "
                                      "THEN ? ELSE %1 END WHERE id = ?")
                           .arg(QLatin1String(column)),
                       {ms, ms, siteId});
    }
};

SiteLibrary::SiteLibrary(const LibraryLocation& location) : d(std::make_unique<Private>(location))
{
    LibraryConnection& c = d->connection;
    const bool sqlite = c.isSqlite();
    if (sqlite)
        prepareSqliteFile(location);
    c.open();
    if (sqlite)
        c.run(QStringLiteral("PRAGMA foreign_keys = ON"));
    const int version = schemaVersion(c);
    if (version > kCurrentSchemaVersion)
        throwNewer(location, version, kCurrentSchemaVersion);
    // Only now, the file known to be ours: the write-ahead log changes the file's header.
    if (sqlite &&
        c.value(QStringLiteral("PRAGMA journal_mode = WAL")).toString() != QLatin1String("wal"))
        throwFailed(location, QStringLiteral("nie można włączyć dziennika zapisu z wyprzedzeniem"));
    if (version < kCurrentSchemaVersion)
        migrateSchema(c, version);
}

SiteLibrary::~SiteLibrary() = default;

const LibraryLocation& SiteLibrary::location() const
{
    return d->connection.location();
}

int SiteLibrary::currentSchemaVersion()
{
    return kCurrentSchemaVersion;
}

std::vector<SiteSummary> SiteLibrary::listSites(const QString& search) const
{
    QString sql = QStringLiteral("SELECT %1 FROM sites s").arg(kSiteColumns);
    QVariantList values;
    if (!search.isEmpty()) {
        sql += QStringLiteral(" WHERE s.search_text LIKE ? ESCAPE '%1'")
                   .arg(QLatin1String(kSearchEscape));
        values << searchPattern(search);
    }
    sql += QStringLiteral(" ORDER BY s.sort_name, s.id");
    QSqlQuery q = d->connection.run(sql, values);
    std::vector<SiteSummary> sites;
    while (q.next())
        sites.push_back(summaryFrom(q));
    return sites;
}

std::optional<SiteSummary> SiteLibrary::findSite(const QString& name) const
{
    return d->find(name);
}

SiteSummary SiteLibrary::site(const QString& name) const
{
    std::optional<SiteSummary> s = d->find(name);
    if (!s)
        throwNoSuchSite(name);
    return *s;
}

std::optional<SiteSummary> SiteLibrary::siteBySerial(const QString& serialNumber) const
{
    if (serialNumber.isEmpty())
        return std::nullopt;
    // A module moved to another site: the one that programmed it last.
    QSqlQuery q = d->connection.run(
        QStringLiteral("SELECT %1 FROM sites s WHERE s.serial_number = ? "
                       "ORDER BY COALESCE(s.last_programmed_ms, 0) DESC, s.id DESC LIMIT 1")
            .arg(kSiteColumns),
        {serialNumber});
    if (!q.next())
        return std::nullopt;
    return summaryFrom(q);
}

SiteSummary SiteLibrary::addSite(const SiteDetails& details, const StoredSettings& settings,
                                 const QString& login)
{
    checkName(details.name);
    LibraryConnection& c = d->connection;
    try {
        Transaction transaction(c);
        c.run(QStringLiteral("INSERT INTO sites (name, address, contact, notes, serial_number, "
                             "module_phone, search_text, sort_name, revision) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1)"),
              {details.name, details.address, details.contact, details.notes, details.serialNumber,
               details.modulePhone, siteSearchText(details, settings), siteSortName(details)});
        NewEntry entry;
        entry.settings = settings;
        entry.login = login;
        d->insertEntry(d->siteId(details.name), 1, 1, entry, {});
        transaction.commit();
    } catch (const LibraryError& e) {
        if (e.kind() == LibraryError::Kind::Failed && d->find(details.name))
            throwNameTaken(details.name);
        throw;
    }
    return site(details.name);
}

SiteSummary SiteLibrary::editSite(const QString& name, const SiteDetails& details)
{
    checkName(details.name);
    LibraryConnection& c = d->connection;
    try {
        Transaction transaction(c);
        QSqlQuery q =
            c.run(QStringLiteral("UPDATE sites SET name = ?, address = ?, contact = ?, notes = ?, "
                                 "serial_number = ?, module_phone = ?, revision = revision + 1 "
                                 "WHERE name = ?"),
                  {details.name, details.address, details.contact, details.notes,
                   details.serialNumber, details.modulePhone, name});
        if (q.numRowsAffected() < 1)
            throwNoSuchSite(name);
        const SiteSummary edited = *d->find(details.name);
        std::optional<SettingsEntry> latest = d->settingsEntry(edited.id);
        d->setSearchText(edited, latest ? std::optional(latest->settings) : std::nullopt);
        transaction.commit();
    } catch (const LibraryError& e) {
        if (e.kind() == LibraryError::Kind::Failed && details.name != name && d->find(details.name))
            throwNameTaken(details.name);
        throw;
    }
    return site(details.name);
}

void SiteLibrary::removeSite(const QString& name)
{
    LibraryConnection& c = d->connection;
    Transaction transaction(c);
    c.run(QStringLiteral(
              "DELETE FROM entries WHERE site_id IN (SELECT id FROM sites WHERE name = ?)"),
          {name});
    if (c.run(QStringLiteral("DELETE FROM sites WHERE name = ?"), {name}).numRowsAffected() < 1)
        throwNoSuchSite(name);
    transaction.commit();
}

std::vector<HistoryEntry> SiteLibrary::history(const QString& name) const
{
    const qint64 id = d->siteId(name);
    QSqlQuery q = d->connection.run(
        QStringLiteral("SELECT %1 FROM entries e WHERE e.site_id = ? ORDER BY e.number")
            .arg(kEntryColumns),
        {id});
    std::vector<HistoryEntry> entries;
    while (q.next())
        entries.push_back(entryFrom(q));
    return entries;
}

StoredSettings SiteLibrary::entrySettings(const QString& name, std::optional<qint64> number) const
{
    const qint64 id = d->siteId(name);
    if (!number) {
        std::optional<SettingsEntry> latest = d->settingsEntry(id);
        if (!latest)
            throwNoSuchEntry(name, 0);
        return latest->settings;
    }
    const QVariant bytes = d->connection.value(
        QStringLiteral("SELECT settings FROM entries WHERE site_id = ? AND number = ?"),
        {id, *number});
    if (bytes.isNull())
        throwNoSuchEntry(name, *number);
    return d->decoded(bytes, *number);
}

std::optional<HistoryEntry> SiteLibrary::lastProgramming(const QString& name) const
{
    const qint64 id = d->siteId(name);
    QSqlQuery q = d->connection.run(
        QStringLiteral("SELECT %1 FROM entries e WHERE e.site_id = ? AND e.ok = 1 AND e.kind IN "
                       "%2 ORDER BY e.number DESC LIMIT 1")
            .arg(kEntryColumns, programmingKinds()),
        {id});
    if (!q.next())
        return std::nullopt;
    return entryFrom(q);
}

std::optional<QStringList> SiteLibrary::changesSinceProgramming(const QString& name,
                                                                const DeviceImage& image) const
{
    const std::optional<HistoryEntry> programming = lastProgramming(name);
    if (!programming)
        return std::nullopt;
    const StoredSettings programmed = entrySettings(name, programming->number);
    return settingsChanges(programmed, moduleSettings(image, programmed));
}

std::optional<RecordedEntry> SiteLibrary::saveSettings(const QString& name,
                                                       const StoredSettings& settings,
                                                       std::optional<qint64> basedOn,
                                                       const QString& login)
{
    Transaction transaction(d->connection);
    const SiteSummary site = d->lockSite(name);
    const std::optional<SettingsEntry> latest = d->settingsEntry(site.id);
    if (latest && latest->settings == settings)
        return std::nullopt;
    // Entries since the caller's revision matter only when they brought other settings:
    // an edit of the details or an exchange that found the same settings changes nothing
    // the caller would overwrite.
    if (basedOn && latest && latest->revision > *basedOn) {
        const std::optional<SettingsEntry> base = d->settingsEntry(site.id, *basedOn);
        if (!base || !(base->settings == latest->settings))
            throwChangedMeanwhile(name, base ? settingsChanges(base->settings, latest->settings)
                                             : QStringList());
    }
    NewEntry entry;
    entry.settings = settings;
    entry.login = login;
    RecordedEntry recorded;
    recorded.number = d->nextNumber(site.id);
    recorded.revision = site.revision;
    if (latest)
        recorded.changes = settingsChanges(latest->settings, settings);
    d->insertEntry(site.id, recorded.number, recorded.revision, entry, recorded.changes);
    d->setSearchText(site, settings);
    transaction.commit();
    return recorded;
}

RecordedEntry SiteLibrary::recordExchange(const QString& name, const NewEntry& entry)
{
    Transaction transaction(d->connection);
    const SiteSummary site = d->lockSite(name);
    RecordedEntry recorded;
    recorded.number = d->nextNumber(site.id);
    recorded.revision = site.revision;
    if (entry.settings) {
        if (const std::optional<SettingsEntry> latest = d->settingsEntry(site.id))
            recorded.changes = settingsChanges(latest->settings, *entry.settings);
    }
    NewEntry stored = entry;
    if (!stored.time.isValid())
        stored.time = QDateTime::currentDateTimeUtc();
    d->insertEntry(site.id, recorded.number, recorded.revision, stored, recorded.changes);
    if (entry.settings)
        d->setSearchText(site, entry.settings);
    if (entry.ok && isProgramming(entry.kind))
        d->raiseTime(site.id, "last_programmed_ms", stored.time.toMSecsSinceEpoch());
    if (entry.ok && isVerification(entry.kind))
        d->raiseTime(site.id, "last_verified_ms", stored.time.toMSecsSinceEpoch());
    transaction.commit();
    return recorded;
}

}  // namespace tarnik::sites

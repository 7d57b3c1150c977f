#pragma once

// The installer's library of sites: each site (a customer's module) with its details and
// a history of its configuration, on SQLite or PostgreSQL through Qt SQL. Every change is
// one transaction; history entries are only ever added. Errors are LibraryError.
//
// A SiteLibrary owns one database connection and is used from one thread.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "model/settings_record.h"
#include "sites/library_error.h"
#include "sites/library_location.h"

namespace tarnik::sites {

struct SiteDetails {
    QString name;  // unique; no slash, no control characters, not empty
    QString address;
    QString contact;
    QString notes;
    QString serialNumber;  // the module's serial number, as "Numer seryjny modułu" tells it
    QString modulePhone;   // the module's own phone number (its SIM card's)
};

// One row of the list of sites.
struct SiteSummary {
    qint64 id = 0;
    SiteDetails details;
    qint64 revision = 0;  // grows with every entry and edit; a save names the one it started from
    std::optional<QDateTime> lastProgrammed;  // latest successful programming
    std::optional<QDateTime> lastVerified;    // latest verification that found no difference
};

// Settings as the module receives them: the record programming sends (effective) and
// the user directory.
struct StoredSettings {
    SettingsRecord record{};
    UserDirectory users{};
    bool operator==(const StoredSettings& other) const;
};

enum class EntryKind {
    Saved,                  // "zapis"
    Programmed,             // "programowanie"
    ProgrammedAndVerified,  // "programowanie z weryfikacją"
    ReadBack,               // "odczyt"
    Verified,               // "weryfikacja"
};
// The Polish word for the kind, as lists and history show it ("programowanie").
QString entryKindText(EntryKind kind);

struct HistoryEntry {
    qint64 number = 0;  // 1, 2, ... within the site
    QDateTime time;     // UTC
    EntryKind kind = EntryKind::Saved;
    QString port;   // empty for a save
    QString login;  // the user's login name
    bool ok = true;
    QString result;  // "OK", "brak odpowiedzi z modułu", "moduł różni się od ustawień", ...
    bool hasSettings = false;  // a failed read-back has none
    QStringList changes;       // since the entry before that has settings; UTF-8 lines
};

// What an exchange or a save adds to a site's history.
struct NewEntry {
    EntryKind kind = EntryKind::Saved;
    QString port;
    bool ok = true;
    QString result = QStringLiteral("OK");
    std::optional<StoredSettings> settings;
    QString login;   // empty: the current user's login name
    QDateTime time;  // invalid: now
};

struct RecordedEntry {
    qint64 number = 0;    // the entry's number
    qint64 revision = 0;  // the site's revision after it
    QStringList changes;
};

class SiteLibrary {
public:
    // Opens the library, creating a SQLite file (owner-only, write-ahead log) and the
    // schema on first use, and migrating an older schema forward. A library of a newer
    // schema, a damaged or read-only one is refused (LibraryError) and left as it was.
    explicit SiteLibrary(const LibraryLocation& location);
    ~SiteLibrary();
    SiteLibrary(const SiteLibrary&) = delete;
    SiteLibrary& operator=(const SiteLibrary&) = delete;

    const LibraryLocation& location() const;
    static int currentSchemaVersion();

    // Sites whose name, address, contact, serial number, phone, or users' names and
    // numbers (of the latest settings) contain `search`, ignoring case and Polish
    // diacritics; all sites when empty. Ordered by name.
    std::vector<SiteSummary> listSites(const QString& search = {}) const;
    std::optional<SiteSummary> findSite(const QString& name) const;
    // Throws NoSuchSite.
    SiteSummary site(const QString& name) const;
    // The site whose module has that serial number, if any.
    std::optional<SiteSummary> siteBySerial(const QString& serialNumber) const;

    // A new site whose first entry (a save) holds `settings`. Throws NameTaken, BadName.
    SiteSummary addSite(const SiteDetails& details, const StoredSettings& settings,
                        const QString& login = {});
    // Replaces the details of site `name` (a new name included). Throws NoSuchSite,
    // NameTaken, BadName.
    SiteSummary editSite(const QString& name, const SiteDetails& details);
    // Removes the site and its history.
    void removeSite(const QString& name);

    // The history, oldest first, without the settings themselves.
    std::vector<HistoryEntry> history(const QString& name) const;
    // The settings of entry `number`, or of the latest entry that has settings. Throws
    // NoSuchSite, NoSuchEntry.
    StoredSettings entrySettings(const QString& name,
                                 std::optional<qint64> number = std::nullopt) const;
    // The latest successful programming (with or without verification), if any.
    std::optional<HistoryEntry> lastProgramming(const QString& name) const;
    // What the module (its image, just read) holds otherwise than the site's latest
    // successful programming, one comparison line each; nothing when the site was never
    // programmed. Only the module's own bytes count: the user directory and later saves are
    // no change of the module. Throws NoSuchSite.
    std::optional<QStringList> changesSinceProgramming(const QString& name,
                                                       const DeviceImage& image) const;

    // Saves `settings` as a new entry of kind Saved. `basedOn` is the revision the caller's
    // settings were opened at: when the site has had an entry with other settings since,
    // nothing is written and ChangedMeanwhile carries what changed. Without `basedOn`
    // the save goes on top of whatever is latest. Returns nothing (and adds nothing) when
    // the settings equal the latest entry's.
    std::optional<RecordedEntry> saveSettings(const QString& name, const StoredSettings& settings,
                                              std::optional<qint64> basedOn = std::nullopt,
                                              const QString& login = {});
    // Adds an entry of an exchange (programming, read-back, verification), failed ones too.
    // Never refused for a change meanwhile: it records what happened to the module.
    RecordedEntry recordExchange(const QString& name, const NewEntry& entry);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The user's login name, as entries record it.
QString currentLogin();

// Comparison lines between two stored settings ("LABEL: przed: X, po: Y"), in page
// order, as history and conflicts show them.
QStringList settingsChanges(const StoredSettings& before, const StoredSettings& after);

// What a module holds, as the library keeps it: its image converted over `base` (the users
// and the bytes the module does not hold stay `base`'s), in the form programming sends, so
// that a read-back of what was programmed equals it.
StoredSettings moduleSettings(const DeviceImage& image, const StoredSettings& base);

// Text folded for searching: lower case, Polish letters without diacritics.
QString foldedForSearch(const QString& text);

}  // namespace tarnik::sites

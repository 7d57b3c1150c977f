#include "cli/cli_library.h"

#include <QTimeZone>

#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_outputs.h"
#include "model/effective_settings.h"
#include "model/polish_plural.h"
#include "text/control_characters.h"

namespace tarnik::cli {

std::unique_ptr<sites::SiteLibrary> openLibrary(const Arguments& args)
{
    const std::optional<QString> given =
        args.library ? std::optional(QString::fromStdString(*args.library)) : std::nullopt;
    return std::make_unique<sites::SiteLibrary>(sites::chooseLibraryLocation(given));
}

sites::StoredSettings configuredSettings(const sites::SiteLibrary& library, const QString& name)
{
    const std::vector<sites::HistoryEntry> history = library.history(name);
    for (auto entry = history.rbegin(); entry != history.rend(); ++entry)
        if (entry->hasSettings && (entry->kind == sites::EntryKind::Saved ||
                                   entry->kind == sites::EntryKind::Programmed ||
                                   entry->kind == sites::EntryKind::ProgrammedAndVerified))
            return library.entrySettings(name, entry->number);
    return library.entrySettings(name);
}

void refuseOutputOverLibrary(const sites::SiteLibrary& library,
                             const std::optional<std::string>& output)
{
    if (library.location().engine == sites::LibraryLocation::Engine::SQLite &&
        !toStandardOutput(output))
        refuseOutputsOverInputs({*output}, {library.location().path.toStdString()});
}

int libraryExitStatus(sites::LibraryError::Kind kind)
{
    using Kind = sites::LibraryError::Kind;
    static constexpr struct {
        Kind kind;
        int status;
    } kStatus[] = {
        {Kind::BadLocation, kExitUsage},  {Kind::NoSuchSite, kExitUsage},
        {Kind::NoSuchEntry, kExitUsage},  {Kind::NameTaken, kExitUsage},
        {Kind::BadName, kExitUsage},      {Kind::Unreachable, kExitFileError},
        {Kind::Damaged, kExitFileError},  {Kind::Newer, kExitFileError},
        {Kind::ReadOnly, kExitFileError}, {Kind::ChangedMeanwhile, kExitFileError},
        {Kind::Failed, kExitFileError},
    };
    for (const auto& entry : kStatus)
        if (entry.kind == kind)
            return entry.status;
    return kExitFileError;
}

sites::StoredSettings storedSettingsOf(const SettingsRecord& record, const UserDirectory& users)
{
    return {effectiveSettings(record).record(), effectiveUsers(users)};
}

std::optional<sites::StoredSettings> loadForLibrary(const std::string& file, std::ostream& err,
                                                    int& status)
{
    SettingsRecord record{};
    UserDirectory users{};
    if (!loadSettingsOrTell(file, record, users, err)) {
        status = kExitFileError;
        return std::nullopt;
    }
    sites::StoredSettings stored = storedSettingsOf(record, users);
    if (refuseUnprogrammable(file, stored.record, err)) {
        status = kExitUsage;
        return std::nullopt;
    }
    status = kExitOk;
    return stored;
}

std::string lineValue(const QString& text)
{
    return escapeControlCharacters(text.toStdString());
}

std::string localDate(const std::optional<QDateTime>& time)
{
    return time ? time->toLocalTime().toString(QStringLiteral("yyyy-MM-dd")).toStdString()
                : std::string("-");
}

std::string localTime(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    // With the offset written out, a time read elsewhere still names the same moment.
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

std::string quotedName(const QString& name)
{
    return "„" + lineValue(name) + "”";
}

void printSaved(std::ostream& out, const QString& name, const std::string& file,
                const std::optional<sites::RecordedEntry>& entry)
{
    if (!entry) {
        out << "Bez zmian: ustawienia z pliku " << lineValue(QString::fromStdString(file))
            << " są takie jak w ostatnim wpisie obiektu " << quotedName(name) << "; nic nie dodano."
            << std::endl;
        return;
    }
    out << "Zapisano wpis " << entry->number << " obiektu " << quotedName(name) << ": "
        << countedNoun(entry->changes.size(), "zmiana", "zmiany", "zmian") << "." << std::endl;
    for (const QString& change : entry->changes)
        out << "  " << change.toStdString() << '\n';
    out.flush();
}

}  // namespace tarnik::cli

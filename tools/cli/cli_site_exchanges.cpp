// program, verify and read with --site: the module of one site of the library, each
// exchange recorded in the site's history whatever its outcome.

#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_library.h"
#include "cli/cli_modules.h"
#include "cli/cli_outputs.h"
#include "cli/cli_session.h"
#include "cli/cli_sites.h"
#include "file/settings_file.h"
#include "sites/site_texts.h"

namespace tarnik::cli {

namespace {

using sites::EntryKind;
using sites::NewEntry;
using sites::StoredSettings;

// The one port a site's module is on.
std::string sitePort(const Arguments& args)
{
    if (args.ports.empty() || args.ports.front().empty())
        throw UsageError("podaj port modułu obiektu: --port PORT");
    if (args.ports.size() > 1)
        throw UsageError("z --site podaje się dokładnie jeden --port");
    return args.ports.front();
}

QString siteOf(const Arguments& args)
{
    return QString::fromStdString(*args.site);
}

// The settings as the module receives them; the site's own settings too are refused
// when programming would refuse them (a read-back may hold anything).
std::optional<EffectiveSettings> programmable(const Arguments& args, const StoredSettings& settings,
                                              std::ostream& err)
{
    const EffectiveSettings effective = effectiveSettings(settings.record);
    if (refuseUnprogrammable("obiekt " + quotedName(siteOf(args)), effective.record(), err))
        return std::nullopt;
    return effective;
}

}  // namespace

int runProgramOnSite(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.defaults)
        throw UsageError("--defaults nie łączy się z --site: programowane są ustawienia obiektu");
    if (args.positional.size() > 1)
        throw UsageError("nieoczekiwany argument " + args.positional[1]);
    const std::string port = sitePort(args);
    const QString name = siteOf(args);
    std::optional<StoredSettings> fromFile;
    if (!args.positional.empty()) {
        int status = kExitOk;
        fromFile = loadForLibrary(args.positional[0], err, status);
        if (!fromFile)
            return status;
    }
    const auto library = openLibrary(args);
    if (fromFile)
        printSaved(out, name, args.positional[0], library->saveSettings(name, *fromFile));
    const StoredSettings configured = configuredSettings(*library, name);
    const auto settings = programmable(args, configured, err);
    if (!settings)
        return kExitUsage;

    const ModulesOutcome outcome =
        runOnModules({port}, args.verify ? ModuleTask::ProgramAndVerify : ModuleTask::Program,
                     *settings, timeoutOf(args), out, err);
    const PortResult& result = outcome.ports.front();
    NewEntry entry;
    entry.kind = args.verify ? EntryKind::ProgrammedAndVerified : EntryKind::Programmed;
    entry.port = QString::fromStdString(port);
    entry.ok = result.status == kExitOk;
    entry.result = QString::fromStdString(summaryOf(result.status));
    if (args.verify && result.programmed && !result.image) {
        // Programmed, but the read-back failed: the module holds the settings all the
        // same, so this is a programming that succeeded, unchecked.
        entry.kind = EntryKind::Programmed;
        entry.ok = true;
        entry.result = QStringLiteral("OK; weryfikacja nie powiodła się (%1)")
                           .arg(QString::fromStdString(summaryOf(result.status)));
    }
    entry.settings = StoredSettings{settings->record(), configured.users};
    library->recordExchange(name, entry);
    return outcome.status;
}

int runVerifyOnSite(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (!args.positional.empty())
        throw UsageError("z --site nie podaje się pliku: moduł porównuje się z ostatnimi "
                         "ustawieniami obiektu");
    const std::string port = sitePort(args);
    const QString name = siteOf(args);
    const auto library = openLibrary(args);
    const StoredSettings configured = configuredSettings(*library, name);
    const auto settings = programmable(args, configured, err);
    if (!settings)
        return kExitUsage;

    const ModulesOutcome outcome =
        runOnModules({port}, ModuleTask::Verify, *settings, timeoutOf(args), out, err);
    const PortResult& result = outcome.ports.front();
    NewEntry entry;
    entry.kind = EntryKind::Verified;
    entry.port = QString::fromStdString(port);
    entry.ok = result.status == kExitOk;
    entry.result = QString::fromStdString(summaryOf(result.status));
    if (result.image)
        entry.settings = sites::moduleSettings(*result.image, configured);
    library->recordExchange(name, entry);
    return outcome.status;
}

int runReadOnSite(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (!args.positional.empty())
        throw UsageError("nieoczekiwany argument " + args.positional[0]);
    if (args.base)
        throw UsageError("--base nie łączy się z --site: podstawą są ustawienia obiektu");
    const std::string port = sitePort(args);
    const QString name = siteOf(args);
    // With the settings file on standard output the information lines go to standard error.
    std::ostream& lines = toStandardOutput(args.output) && args.output ? err : out;
    const auto library = openLibrary(args);
    refuseOutputOverLibrary(*library, args.output);
    const StoredSettings configured = configuredSettings(*library, name);

    Session session(lines, err, port, configured.record, timeoutOf(args));
    const int status = runReadBack(session, err);
    NewEntry entry;
    entry.kind = EntryKind::ReadBack;
    entry.port = QString::fromStdString(port);
    entry.ok = status == kExitOk;
    entry.result = QString::fromStdString(summaryOf(status));
    if (status != kExitOk) {
        library->recordExchange(name, entry);
        return status;
    }
    entry.settings = sites::moduleSettings(session.image, configured);
    library->recordExchange(name, entry);

    const int written = args.output ? writeSettingsOutput(args.output, entry.settings->record,
                                                          entry.settings->users, out, err)
                                    : kExitOk;

    const std::optional<QStringList> changes =
        library->changesSinceProgramming(name, session.image);
    if (!changes) {
        lines << QString::fromUtf8(sites::kNeverProgrammed)
                     .arg(QString::fromStdString(lineValue(name)))
                     .toStdString()
              << std::endl;
        return written;
    }
    if (changes->isEmpty()) {
        lines << sites::kNoChangesSinceProgramming << std::endl;
        return written;
    }
    lines << sites::kChangesSinceProgramming << '\n';
    for (const QString& change : *changes)
        lines << "  " << change.toStdString() << '\n';
    lines.flush();
    return written != kExitOk ? written : kExitChangedSince;
}

}  // namespace tarnik::cli

#include "cli/cli_commands.h"

#include <QCoreApplication>
#include <QString>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

#include "cli/cli_host.h"
#include "cli/cli_library.h"
#include "cli/cli_modules.h"
#include "cli/cli_outputs.h"
#include "cli/cli_session.h"
#include "cli/cli_sites.h"
#include "config/tarnik_config.h"
#include "file/settings_file.h"
#include "link/link_engine.h"
#include "link/link_trace.h"
#include "link/no_answer_timer.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/programming_refusal.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/port_list.h"
#include "serial/qt/qt_trace.h"
#include "serial/trace_target.h"

namespace tarnik::cli {

int exitStatusOf(LinkOutcome outcome)
{
    switch (outcome) {
    case LinkOutcome::Programmed:
    case LinkOutcome::SettingsLoaded:
    case LinkOutcome::SerialNumber:
    case LinkOutcome::ModuleRead:
        return kExitOk;
    case LinkOutcome::NoAnswer:
    case LinkOutcome::BadAnswer:
        return kExitNoAnswer;
    case LinkOutcome::Refused:
        return kExitUsage;
    case LinkOutcome::PortError:
        return kExitPortError;
    }
    return kExitPortError;
}

namespace {

void requireNoPositional(const Arguments& args, std::size_t allowed)
{
    if (args.positional.size() > allowed)
        throw UsageError("nieoczekiwany argument " + args.positional[allowed]);
}

std::string requirePort(const Arguments& args)
{
    if (args.ports.empty() || args.ports.front().empty())
        throw UsageError("podaj port: --port PORT");
    if (args.ports.size() > 1)
        throw UsageError("--port można podać tylko raz");
    return args.ports.front();
}

const std::vector<std::string>& requirePorts(const Arguments& args)
{
    if (args.ports.empty())
        throw UsageError("podaj port: --port PORT");
    for (const std::string& port : args.ports)
        if (port.empty())
            throw UsageError("--port wymaga nazwy portu");
    return args.ports;
}

// What the module commands program and verify: the record the window would program
// after opening the file (without `path`, the start-up settings).
std::optional<EffectiveSettings> moduleSettings(const std::optional<std::string>& path,
                                                std::ostream& err)
{
    SettingsRecord settings = startupSettings();
    UserDirectory users{};
    if (path && !loadSettingsOrTell(*path, settings, users, err))
        return std::nullopt;
    return effectiveSettings(settings);
}

// Runs the event loop until the session's exchange ends; returns its exit status.
int waitForOutcome(Session& session)
{
    if (!session.host.outcome())
        QCoreApplication::exec();
    return session.host.outcome() ? exitStatusOf(*session.host.outcome()) : kExitPortError;
}

// Before anything is opened: no output (-o, --trace) lands on an input (files, --base,
// the ports) or on another output, the trace replaces no file but an earlier trace, and
// no port is given twice.
void refuseHarmfulPaths(const Arguments& args)
{
    refuseRepeatedPorts(args.ports);
    // The plain arguments of sites are names and folders; its commands check their own.
    std::vector<std::string> inputs =
        args.command == "sites" ? std::vector<std::string>{} : args.positional;
    if (args.base)
        inputs.push_back(*args.base);
    for (const std::string& port : args.ports)
        inputs.push_back(devicePathOf(port));
    std::vector<std::string> outputs;
    if (!toStandardOutput(args.output))
        outputs.push_back(*args.output);
    if (args.trace)
        outputs.push_back(*args.trace);
    refuseOutputsOverInputs(outputs, inputs);
    if (args.trace)
        if (const std::string problem = traceFileProblem(*args.trace, inputs); !problem.empty())
            throw UsageError(problem);
}

// Starts an exchange with a button handler of the engine; a port failure is the
// handler's exception.
template <typename Start>
int runExchange(Session& session, std::ostream& err, Start start)
{
    try {
        start();
    } catch (const std::exception& e) {
        err << "tarnik-cli: " << e.what() << std::endl;
        return kExitPortError;
    }
    return waitForOutcome(session);
}

}  // namespace

bool refuseUnprogrammable(const std::optional<std::string>& path, const SettingsRecord& settings,
                          std::ostream& err)
{
    const std::optional<ProgrammingRefusal> refusal = programmingRefusal(settings);
    if (!refusal)
        return false;
    err << "tarnik-cli: " << (path ? *path + ": " : std::string())
        << settingEntry(refusal->key).label << ": " << refusal->message << std::endl;
    return true;
}

int timeoutOf(const Arguments& args)
{
    return args.timeoutMs.value_or(NoAnswerTimer::kDefaultIntervalMs);
}

int runReadBack(Session& session, std::ostream& err)
{
    return runExchange(session, err, [&] { session.engine.BBloadClick(); });
}

int runPorts(const Arguments& args, std::ostream& out, std::ostream&)
{
    requireNoPositional(args, 0);
    if (args.longListing) {
        for (const SerialPortInfo& port : describeSerialPorts())
            out << port.path << '\t' << port.description << '\n';
    } else {
        for (const std::string& name : ListSerialPorts())
            out << name << '\n';
    }
    out.flush();
    return kExitOk;
}

int runProgram(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.site)
        return runProgramOnSite(args, out, err);
    requireNoPositional(args, 1);
    const auto& ports = requirePorts(args);
    // Without a file nothing is programmed by accident: the factory defaults would
    // overwrite the module's users and numbers.
    if (args.positional.empty() && !args.defaults)
        throw UsageError("podaj plik ustawień albo --defaults, by zaprogramować ustawienia "
                         "fabryczne");
    if (!args.positional.empty() && args.defaults)
        throw UsageError("podaj plik ustawień albo --defaults, nie oba");
    const auto file = args.positional.empty() ? std::nullopt : std::optional(args.positional[0]);
    const auto settings = moduleSettings(file, err);
    if (!settings)
        return kExitFileError;
    if (refuseUnprogrammable(file, settings->record(), err))
        return kExitUsage;
    return runOnModules(ports, args.verify ? ModuleTask::ProgramAndVerify : ModuleTask::Program,
                        *settings, timeoutOf(args), out, err)
        .status;
}

int runVerify(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.site)
        return runVerifyOnSite(args, out, err);
    if (args.positional.size() != 1)
        throw UsageError("verify wymaga jednego pliku ustawień");
    const auto& ports = requirePorts(args);
    const auto settings = moduleSettings(args.positional[0], err);
    if (!settings)
        return kExitFileError;
    if (refuseUnprogrammable(args.positional[0], settings->record(), err))
        return kExitUsage;
    return runOnModules(ports, ModuleTask::Verify, *settings, timeoutOf(args), out, err).status;
}

int runRead(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.site)
        return runReadOnSite(args, out, err);
    requireNoPositional(args, 0);
    const std::string port = requirePort(args);
    if (!args.output || args.output->empty())
        throw UsageError("podaj plik wyjściowy: -o OUT");
    // With the settings file on standard output the information lines go to standard error.
    std::ostream& lines = toStandardOutput(args.output) ? err : out;
    SettingsRecord base{};
    UserDirectory users{};
    if (args.base) {
        if (!loadSettingsOrTell(*args.base, base, users, err))
            return kExitFileError;
    } else {
        SetDefaults(base);
    }
    Session session(lines, err, port, base, timeoutOf(args));
    const int status = runReadBack(session, err);
    if (status != kExitOk)
        return status;
    return writeSettingsOutput(args.output, session.host.record(), users, out, err);
}

int runSerial(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requireNoPositional(args, 0);
    const std::string port = requirePort(args);
    Session session(out, err, port, SettingsRecord{}, timeoutOf(args));
    return runExchange(session, err, [&] { session.engine.BBserialClick(); });
}

int runImage(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.size() != 1)
        throw UsageError("image wymaga jednego pliku ustawień");
    requireNoPositional(args, 1);
    SettingsRecord record{};
    UserDirectory users{};
    if (!loadSettingsOrTell(args.positional[0], record, users, err))
        return kExitFileError;
    // What the module receives from this file: the record programming sends.
    DeviceImage image{};
    SettingsToImage(effectiveSettings(record).record(), image);
    return writeOutput(args.output, image, out, err) ? kExitOk : kExitFileError;
}

// Reads a settings file; on failure tells on `err` what was wrong and returns false.
std::string systemErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return "nie ma takiego pliku";
    case EACCES:
    case EPERM:
        return "brak uprawnień";
    case ENOTDIR:
        return "część ścieżki nie jest folderem";
    case EISDIR:
        return "to folder, a nie plik";
    case EROFS:
        return "system plików jest tylko do odczytu";
    case ENOSPC:
        return "brak miejsca na dysku";
    default:
        return std::error_code(error, std::generic_category()).message();
    }
}

bool loadSettingsOrTell(const std::string& file, SettingsRecord& record, UserDirectory& users,
                        std::ostream& err)
{
    try {
        LoadSettingsFile(QString::fromStdString(file), record, users);
        return true;
    } catch (const SettingsFileContentError& e) {
        err << "tarnik-cli: " << file << ": to nie jest plik ustawień (" << e.what() << ")"
            << std::endl;
    } catch (const SettingsFileOpenError& e) {
        err << "tarnik-cli: Nie można otworzyć pliku „" << e.path()
            << "”: " << systemErrorText(e.error()) << std::endl;
    } catch (const SettingsFileError& e) {
        err << "tarnik-cli: " << e.what() << std::endl;
    }
    return false;
}

namespace {

// Installs the wire trace for the ports of `args`, to the file asked for; nullptr, said
// on `err`, when that file cannot be made. A file that fails later is said on `err`
// once and given up; the command goes on and its exit status stands.
std::shared_ptr<QtTraceSink> startTrace(const Arguments& args, std::ostream& err)
{
    const auto sink = installQtTrace();
    sink->SetNamePorts(args.ports.size() > 1);
    sink->SetShowSecrets(args.traceSecrets);
    if (!args.trace)
        return sink;
    QStringList header;
    const std::string program = std::string("tarnik-cli ") + config::kVersion;
    for (const std::string& line : formatTraceHeader(
             moduleTraceHeader(program, args.ports, args.traceSecrets), std::time(nullptr)))
        header << QString::fromStdString(line);
    sink->setHeader(header);
    sink->setWriteErrorHandler([&err](const QString& message) {
        err << "tarnik-cli: nie można pisać zapisu transmisji, zapis przerwano: "
            << message.toStdString() << std::endl;
    });
    QString error;
    if (!sink->writeTo(QString::fromStdString(*args.trace), &error)) {
        err << "tarnik-cli: nie można zapisać zapisu transmisji " << *args.trace << ": "
            << error.toStdString() << std::endl;
        setDefaultTraceSink(nullptr);
        return nullptr;
    }
    return sink;
}

}  // namespace

namespace {

int dispatchCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    using Runner = int (*)(const Arguments&, std::ostream&, std::ostream&);
    struct Entry {
        const char* name;
        Runner run;
    };
    static constexpr Entry kCommands[] = {
        {"ports", runPorts}, {"program", runProgram}, {"verify", runVerify},
        {"read", runRead},   {"serial", runSerial},   {"image", runImage},
        {"diff", runDiff},   {"export", runExport},   {"import", runImport},
        {"check", runCheck}, {"report", runReport},   {"sites", runSites},
    };
    if (args.version) {
        out << config::kCliVersionLine << std::endl;
        return kExitOk;
    }
    if (args.command.empty()) {
        (args.help ? out : err) << usageText("");
        return args.help ? kExitOk : kExitUsage;
    }
    for (const Entry& entry : kCommands) {
        if (args.command != entry.name)
            continue;
        if (args.help) {
            out << usageText(args.command);
            return kExitOk;
        }
        try {
            refuseForeignOptions(args);
            refuseHarmfulPaths(args);
            // The wire trace: to the file asked for, or to the logging categories when
            // QT_LOGGING_RULES turns them on.
            std::shared_ptr<QtTraceSink> sink;
            if (args.trace || lcTarnikSerial().isDebugEnabled() ||
                lcTarnikLink().isDebugEnabled()) {
                sink = startTrace(args, err);
                if (!sink)
                    return kExitFileError;
            }
            // The report of a failed trace file writes to `err`, which ends with this call.
            const struct StopReports {
                std::shared_ptr<QtTraceSink> sink;
                ~StopReports()
                {
                    if (sink)
                        sink->setWriteErrorHandler(nullptr);
                }
            } stopReports{sink};
            return entry.run(args, out, err);
        } catch (const UsageError& e) {
            err << "tarnik-cli " << args.command << ": " << e.what() << "\n"
                << usageText(args.command);
            return kExitUsage;
        } catch (const sites::LibraryError& e) {
            // The library's own message says what to do.
            err << "tarnik-cli: " << e.what() << std::endl;
            for (const std::string& change : e.changes())
                err << "  " << change << std::endl;
            return libraryExitStatus(e.kind());
        }
    }
    err << "tarnik-cli: nieznane polecenie " << args.command << "\n" << usageText("");
    return kExitUsage;
}

}  // namespace

int runCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    const int status = dispatchCommand(args, out, err);
    // Whatever the command printed must have arrived: a full disk behind standard output
    // is a failed command, not a success.
    out.flush();
    if (!out) {
        err << "tarnik-cli: " << kStandardOutputFailed << std::endl;
        return kExitFileError;
    }
    return status;
}

}  // namespace tarnik::cli

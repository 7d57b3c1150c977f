#include "cli/cli_commands.h"

#include <QCoreApplication>
#include <QString>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

#include "cli/cli_host.h"
#include "file/settings_file.h"
#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/port_list.h"
#include "serial/qt/qt_trace.h"

namespace tarnik::cli {

namespace {

int exitStatusOf(LinkOutcome outcome)
{
    switch (outcome) {
    case LinkOutcome::Programmed:
    case LinkOutcome::SettingsLoaded:
    case LinkOutcome::SerialNumber:
        return kExitOk;
    case LinkOutcome::NoAnswer:
        return kExitNoAnswer;
    case LinkOutcome::Refused:
        return kExitUsage;
    case LinkOutcome::PortError:
        return kExitPortError;
    }
    return kExitPortError;
}

void requireNoPositional(const Arguments& args, std::size_t allowed)
{
    if (args.positional.size() > allowed)
        throw UsageError("unexpected argument " + args.positional[allowed]);
}

std::string requirePort(const Arguments& args)
{
    if (!args.port || args.port->empty())
        throw UsageError("--port is required");
    return *args.port;
}

// The port, the framer, the engine and the host of one exchange.
struct Session {
    Session(std::ostream& out, std::ostream& err, const std::string& port,
            const SettingsRecord& programmed, int timeoutMs)
        : host(out, err, port, programmed, timeoutMs), engine(host, record, image, comPort, framer)
    {
        ConfigureModuleLink(comPort, framer, engine);
        host.setOnTimeout([this] { engine.Timer1Timer(); });
    }

    // Runs the event loop until the exchange ends; returns its exit status.
    int waitForOutcome()
    {
        if (!host.outcome())
            QCoreApplication::exec();
        return host.outcome() ? exitStatusOf(*host.outcome()) : kExitPortError;
    }

    TComPort comPort;
    TComDataPacket framer;
    SettingsRecord record{};
    DeviceImage image{};
    CliHost host;
    LinkEngine engine;
};

int timeoutOf(const Arguments& args)
{
    return args.timeoutMs.value_or(NoAnswerTimer::kDefaultIntervalMs);
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
    return session.waitForOutcome();
}

}  // namespace

int RunPorts(const Arguments& args, std::ostream& out, std::ostream&)
{
    requireNoPositional(args, 0);
    if (args.longListing) {
        for (const SerialPortInfo& port : DescribeSerialPorts())
            out << port.path << '\t' << port.description << '\n';
    } else {
        for (const std::string& name : ListSerialPorts())
            out << name << '\n';
    }
    out.flush();
    return kExitOk;
}

int RunProgram(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requireNoPositional(args, 1);
    const std::string port = requirePort(args);
    SettingsRecord programmed = startupSettings();
    if (!args.positional.empty()) {
        UserDirectory users{};
        try {
            LoadSettingsFile(QString::fromStdString(args.positional[0]), programmed, users);
        } catch (const SettingsFileError& e) {
            err << "tarnik-cli: " << e.what() << std::endl;
            return kExitFileError;
        }
    }
    Session session(out, err, port, programmed, timeoutOf(args));
    return runExchange(session, err, [&] { session.engine.BprogramujClick(); });
}

int RunRead(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requireNoPositional(args, 0);
    const std::string port = requirePort(args);
    if (!args.output || args.output->empty())
        throw UsageError("-o OUT is required");
    SettingsRecord base{};
    UserDirectory users{};
    if (args.base) {
        try {
            LoadSettingsFile(QString::fromStdString(*args.base), base, users);
        } catch (const SettingsFileError& e) {
            err << "tarnik-cli: " << e.what() << std::endl;
            return kExitFileError;
        }
    } else {
        SetDefaults(base);
    }
    Session session(out, err, port, base, timeoutOf(args));
    session.record = base;
    const int status = runExchange(session, err, [&] { session.engine.BBloadClick(); });
    if (status != kExitOk)
        return status;
    try {
        SaveSettingsFile(session.record, users, QString::fromStdString(*args.output));
    } catch (const SettingsFileError& e) {
        err << "tarnik-cli: " << e.what() << std::endl;
        return kExitFileError;
    }
    return kExitOk;
}

int RunSerial(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requireNoPositional(args, 0);
    const std::string port = requirePort(args);
    Session session(out, err, port, SettingsRecord{}, timeoutOf(args));
    // The query arms no timer of its own; the tool gives up after the no-answer period.
    bool timedOut = false;
    QTimer::singleShot(timeoutOf(args), [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    const int status = runExchange(session, err, [&] { session.engine.BBserialClick(); });
    if (timedOut && !session.host.outcome()) {
        err << "tarnik-cli: " << link_text::kNoAnswer << std::endl;
        return kExitNoAnswer;
    }
    return status;
}

int RunImage(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.size() != 1)
        throw UsageError("image needs one settings file");
    requireNoPositional(args, 1);
    SettingsRecord record{};
    UserDirectory users{};
    try {
        LoadSettingsFile(QString::fromStdString(args.positional[0]), record, users);
    } catch (const SettingsFileError& e) {
        err << "tarnik-cli: " << e.what() << std::endl;
        return kExitFileError;
    }
    DeviceImage image{};
    SettingsToImage(record, image);
    const auto* bytes = reinterpret_cast<const char*>(image.data());
    const auto size = static_cast<std::streamsize>(image.size());
    if (!args.output) {
        out.write(bytes, size);
        out.flush();
        return out ? kExitOk : kExitFileError;
    }
    std::ofstream file(*args.output, std::ios::binary | std::ios::trunc);
    if (file)
        file.write(bytes, size);
    if (file)
        file.close();
    if (!file) {
        err << "tarnik-cli: Cannot create file \"" << *args.output << "\". " << std::strerror(errno)
            << std::endl;
        return kExitFileError;
    }
    return kExitOk;
}

int RunCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    using Runner = int (*)(const Arguments&, std::ostream&, std::ostream&);
    struct Entry {
        const char* name;
        Runner run;
    };
    static constexpr Entry kCommands[] = {
        {"ports", RunPorts},   {"program", RunProgram}, {"read", RunRead},
        {"serial", RunSerial}, {"image", RunImage},
    };
    if (args.command.empty()) {
        (args.help ? out : err) << UsageText("");
        return args.help ? kExitOk : kExitUsage;
    }
    for (const Entry& entry : kCommands) {
        if (args.command != entry.name)
            continue;
        if (args.help) {
            out << UsageText(args.command);
            return kExitOk;
        }
        // The wire trace: to the file asked for, or to the logging categories when
        // QT_LOGGING_RULES turns them on.
        if (args.trace || lcTarnikSerial().isDebugEnabled() || lcTarnikLink().isDebugEnabled()) {
            const auto sink = InstallQtTrace();
            QString error;
            if (args.trace && !sink->writeTo(QString::fromStdString(*args.trace), &error)) {
                err << "tarnik-cli: cannot write the trace " << *args.trace << ": "
                    << error.toStdString() << std::endl;
                return kExitFileError;
            }
        }
        try {
            return entry.run(args, out, err);
        } catch (const UsageError& e) {
            err << "tarnik-cli " << args.command << ": " << e.what() << "\n"
                << UsageText(args.command);
            return kExitUsage;
        }
    }
    err << "tarnik-cli: unknown command " << args.command << "\n" << UsageText("");
    return kExitUsage;
}

}  // namespace tarnik::cli

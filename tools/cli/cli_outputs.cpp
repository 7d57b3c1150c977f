#include "cli/cli_outputs.h"

#include <QByteArray>

#include <ostream>
#include <system_error>

#include <sys/stat.h>

#include "cli/cli_args.h"
#include "cli/cli_commands.h"
#include "file/replace_file.h"
#include "file/settings_file.h"
#include "serial/comport.h"

namespace tarnik::cli {

namespace {

// The file a path leads to, links followed; nullopt when there is none.
std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::string& path)
{
    struct stat info { };
    if (path.empty() || path == kStandardOutput || ::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return std::pair(info.st_dev, info.st_ino);
}

}  // namespace

std::string devicePathOf(const std::string& port)
{
    TComPort probe;  // never opened: only its rule for names without a slash is used
    probe.SetPort(port);
    return probe.DevicePath();
}

bool toStandardOutput(const std::optional<std::string>& output)
{
    return !output || *output == kStandardOutput;
}

void refuseOutputsOverInputs(const std::vector<std::string>& outputs,
                             const std::vector<std::string>& inputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto output = fileIdentity(outputs[i]);
        if (!output)
            continue;
        for (const std::string& input : inputs)
            if (fileIdentity(input) == output)
                throw UsageError("wyjście " + outputs[i] + " to ten sam plik co wejście " + input +
                                 "; nic nie zapisano");
        for (std::size_t j = 0; j < i; ++j)
            if (fileIdentity(outputs[j]) == output)
                throw UsageError("dwa wyjścia do jednego pliku: " + outputs[j] + " i " +
                                 outputs[i]);
    }
}

void refuseRepeatedPorts(const std::vector<std::string>& ports)
{
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const std::string path = devicePathOf(ports[i]);
        const auto identity = fileIdentity(path);
        for (std::size_t j = 0; j < i; ++j) {
            const std::string earlier = devicePathOf(ports[j]);
            const bool same = identity ? fileIdentity(earlier) == identity : earlier == path;
            if (same)
                throw UsageError("port " + ports[i] + " podany drugi raz (to ten sam port co " +
                                 ports[j] + "); jeden moduł programuje się przez jeden port");
        }
    }
}

bool writeOutput(const std::optional<std::string>& output, std::span<const std::uint8_t> bytes,
                 std::ostream& out, std::ostream& err, NewFileAccess access)
{
    if (toStandardOutput(output)) {
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        return static_cast<bool>(out);
    }
    try {
        writeOutputFile(*output, bytes, access);
    } catch (const ReadOnlyFileError&) {
        err << "tarnik-cli: plik „" << *output
            << "” jest tylko do odczytu i nie został zastąpiony. Podaj inny plik albo zezwól "
               "na zapis do niego."
            << std::endl;
        return false;
    } catch (const std::system_error& e) {
        err << "tarnik-cli: Nie można utworzyć pliku „" << *output
            << "”: " << systemErrorText(e.code().value()) << std::endl;
        return false;
    }
    return true;
}

bool writeOutput(const std::optional<std::string>& output, const QByteArray& bytes,
                 std::ostream& out, std::ostream& err, NewFileAccess access)
{
    return writeOutput(output,
                       {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                        static_cast<std::size_t>(bytes.size())},
                       out, err, access);
}

int writeSettingsOutput(const std::optional<std::string>& output, const SettingsRecord& record,
                        const UserDirectory& users, std::ostream& out, std::ostream& err)
{
    try {
        return writeOutput(output, settingsFileBytes(record, users), out, err) ? kExitOk
                                                                               : kExitFileError;
    } catch (const SettingsFileError& e) {
        err << "tarnik-cli: " << e.what() << std::endl;
        return kExitFileError;
    }
}

}  // namespace tarnik::cli

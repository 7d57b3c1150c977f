// check: the configuration check over settings files, one warning a line.

#include <ostream>

#include "cli/cli_commands.h"
#include "model/configuration_check.h"

namespace tarnik::cli {

int runCheck(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.empty())
        throw UsageError("check needs at least one settings file");
    // Every file is checked; a file that cannot be read does not stop the others.
    int status = kExitOk;
    for (const std::string& file : args.positional) {
        SettingsRecord record{};
        UserDirectory users{};
        if (!loadSettingsOrTell(file, record, users, err)) {
            status = kExitFileError;
            continue;
        }
        const auto warnings = checkConfiguration(effectiveSettings(record), users);
        for (const CheckWarning& warning : warnings)
            out << file << ": " << warningLine(warning) << '\n';
        if (!warnings.empty() && status == kExitOk)
            status = kExitWarnings;
    }
    out.flush();
    return status;
}

}  // namespace tarnik::cli

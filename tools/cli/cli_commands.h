#pragma once

// The commands of tarnik-cli. Each returns the process exit status; a running
// QCoreApplication is needed by program, read and serial.

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli_args.h"
#include "link/link_host.h"
#include "model/settings_record.h"

namespace tarnik::cli {

enum ExitStatus {
    kExitOk = 0,
    kExitNoAnswer = 1,
    kExitUsage = 2,  // also refused settings
    kExitPortError = 3,
    kExitFileError = 4,
    kExitDiffers = 5,       // verify: the module does not hold the settings
    kExitDifferent = 1,     // diff: the files differ
    kExitWarnings = 1,      // check: the configuration check found something
    kExitChangedSince = 1,  // read --site: the module differs from its last programming
};

int runPorts(const Arguments& args, std::ostream& out, std::ostream& err);
int runProgram(const Arguments& args, std::ostream& out, std::ostream& err);
int runRead(const Arguments& args, std::ostream& out, std::ostream& err);
int runSerial(const Arguments& args, std::ostream& out, std::ostream& err);
int runImage(const Arguments& args, std::ostream& out, std::ostream& err);
int runVerify(const Arguments& args, std::ostream& out, std::ostream& err);
int runDiff(const Arguments& args, std::ostream& out, std::ostream& err);
int runExport(const Arguments& args, std::ostream& out, std::ostream& err);
int runImport(const Arguments& args, std::ostream& out, std::ostream& err);
int runCheck(const Arguments& args, std::ostream& out, std::ostream& err);
// Needs a QGuiApplication (fonts).
int runReport(const Arguments& args, std::ostream& out, std::ostream& err);

// The exit status an exchange's outcome gives.
int exitStatusOf(LinkOutcome outcome);

// Why the system refused a file, in Polish for the usual reasons (a missing file, no
// permission, a folder in the way), otherwise in the system's own words.
std::string systemErrorText(int error);

// Reads a settings file; on failure tells on `err` what was wrong, naming the file.
bool loadSettingsOrTell(const std::string& file, SettingsRecord& record, UserDirectory& users,
                        std::ostream& err);

// A file programming would refuse is refused before any port is opened, by `program`
// and by `verify` alike (a module cannot hold what cannot be programmed), and so is it by
// the library: one line naming `source` (a file) and the setting, with the line
// "programuj" shows. True when refused.
bool refuseUnprogrammable(const std::optional<std::string>& source, const SettingsRecord& settings,
                          std::ostream& err);

// The no-answer period of the module commands (--timeout-ms).
int timeoutOf(const Arguments& args);

struct Session;
// Reads the module's settings on `session` (converted over the session's record) and
// runs the event loop until the read-back ends; returns its exit status.
int runReadBack(Session& session, std::ostream& err);

// Dispatches on args.command, answering --help, --version and usage errors itself.
int runCommand(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace tarnik::cli

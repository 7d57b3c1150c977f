#pragma once

// The commands of tarnik-cli. Each returns the process exit status; a running
// QCoreApplication is needed by program, read and serial.

#include <iosfwd>
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
    kExitDiffers = 5,    // verify: the module does not hold the settings
    kExitDifferent = 1,  // diff: the files differ
    kExitWarnings = 1,   // check: the configuration check found something
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

// Dispatches on args.command, answering --help, --version and usage errors itself.
int runCommand(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace tarnik::cli

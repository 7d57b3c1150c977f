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

int RunPorts(const Arguments& args, std::ostream& out, std::ostream& err);
int RunProgram(const Arguments& args, std::ostream& out, std::ostream& err);
int RunRead(const Arguments& args, std::ostream& out, std::ostream& err);
int RunSerial(const Arguments& args, std::ostream& out, std::ostream& err);
int RunImage(const Arguments& args, std::ostream& out, std::ostream& err);
int RunVerify(const Arguments& args, std::ostream& out, std::ostream& err);
int RunDiff(const Arguments& args, std::ostream& out, std::ostream& err);
int RunExport(const Arguments& args, std::ostream& out, std::ostream& err);
int RunImport(const Arguments& args, std::ostream& out, std::ostream& err);
int RunCheck(const Arguments& args, std::ostream& out, std::ostream& err);
// Needs a QGuiApplication (fonts).
int RunReport(const Arguments& args, std::ostream& out, std::ostream& err);

// The exit status an exchange's outcome gives.
int ExitStatusOf(LinkOutcome outcome);

// Reads a settings file; on failure tells on `err` what was wrong, naming the file.
bool LoadSettingsOrTell(const std::string& file, SettingsRecord& record, UserDirectory& users,
                        std::ostream& err);

// Dispatches on args.command, answering --help, --version and usage errors itself.
int RunCommand(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace tarnik::cli

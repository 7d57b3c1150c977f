#pragma once

// What a command reads and writes, checked before anything is opened: no output lands on
// one of the inputs and no module is served twice. Outputs go to standard output ("-"),
// through a device or FIFO, or replace a file whole.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "file/replace_file.h"
#include "model/settings_record.h"

class QByteArray;

namespace tarnik::cli {

// The name that sends an output to standard output.
inline constexpr const char* kStandardOutput = "-";
// Said when standard output took less than was written to it.
inline constexpr const char* kStandardOutputFailed = "nie można pisać na standardowe wyjście";

// True when the output goes to standard output: no -o, or "-o -".
bool toStandardOutput(const std::optional<std::string>& output);

// Throws UsageError when an output names the same file as an input or as another output
// (links and hard links followed). "-" and outputs that do not exist yet match nothing.
void refuseOutputsOverInputs(const std::vector<std::string>& outputs,
                             const std::vector<std::string>& inputs);

// Throws UsageError when two ports lead to the same device (a name under /dev, a full path
// and a link to the device are all the same port).
void refuseRepeatedPorts(const std::vector<std::string>& ports);

// The device a port name opens: a name without a slash is taken under /dev.
std::string devicePathOf(const std::string& port);

// Writes `bytes` to standard output (`out`) or to the file `output` as writeOutputFile
// does (a new file readable as `access` says); a failure of the file is told on `err`
// naming it, one of standard output is left to runCommand, which reports it once. True
// when all was written.
bool writeOutput(const std::optional<std::string>& output, std::span<const std::uint8_t> bytes,
                 std::ostream& out, std::ostream& err, NewFileAccess access = NewFileAccess::Usual);
bool writeOutput(const std::optional<std::string>& output, const QByteArray& bytes,
                 std::ostream& out, std::ostream& err, NewFileAccess access = NewFileAccess::Usual);

// Writes the settings file holding `record` and `users` as writeOutput does; returns the
// exit status: 0 written, 4 when it could not be (told on `err`).
int writeSettingsOutput(const std::optional<std::string>& output, const SettingsRecord& record,
                        const UserDirectory& users, std::ostream& out, std::ostream& err);

}  // namespace tarnik::cli

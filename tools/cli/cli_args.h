#pragma once

// Command line of tarnik-cli: a command word, then options and plain arguments.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnik::cli {

// A command line that does not fit the command's usage; what() says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::string command;                   // ports, program, verify, read, serial, image, ...
    std::vector<std::string> positional;   // plain arguments after the command
    std::vector<std::string> ports;        // --port, in the order given (may repeat)
    std::optional<std::string> output;     // -o / --output
    std::optional<std::string> base;       // --base
    std::optional<int> timeoutMs;          // --timeout-ms (no-answer period, for tests)
    bool verify = false;                   // --verify (program)
    bool defaults = false;                 // --defaults (program: the factory defaults)
    bool help = false;                     // --help / -h
    bool version = false;                  // --version
    std::optional<std::string> trace;      // --trace FILE (wire trace)
    bool traceSecrets = false;             // --trace-secrets (codes and numbers in clear)
    bool longListing = false;              // --long (ports: with descriptions)
    bool showSecrets = false;              // --show-secrets (report: PIN and codes shown)
    bool json = false;                     // --json (check: the findings as one JSON document)
    std::optional<std::string> site;       // --site NAME (report: the site's name; program,
                                           // read, verify: the library's site)
    std::optional<std::string> address;    // --address TEXT (report, sites: the site's address)
    std::optional<std::string> installer;  // --installer NAME (report: who hands it over)
    std::optional<std::string> library;    // --library LIB (a file or a postgresql:// URI)
    std::optional<std::string> contact;    // --contact TEXT (sites)
    std::optional<std::string> notes;      // --notes TEXT (sites)
    std::optional<std::string> serial;     // --serial S (sites: the module's serial number)
    std::optional<std::string> phone;      // --phone P (sites: the module's own number)
    std::optional<std::string> name;       // --name N (sites edit: the new name)
    std::optional<long long> entry;        // --entry N (sites get: a history entry)
    bool yes = false;                      // --yes (sites remove)
    std::vector<std::string> given;        // the long names of the options given ("output")
};

// `args` without the program name. Throws UsageError for an unknown option, a missing
// value or a bad number.
Arguments parseArguments(const std::vector<std::string>& args);

// Throws UsageError when `args` holds an option its command does not take ("diff -o").
// --help, --version, --trace and --trace-secrets go with every command.
void refuseForeignOptions(const Arguments& args);

// The usage text of one command, or of the tool when `command` is empty or unknown.
std::string usageText(const std::string& command);

}  // namespace tarnik::cli

#include "cli/cli_args.h"

#include <charconv>

namespace tarnik::cli {

Arguments ParseArguments(const std::vector<std::string>& args)
{
    Arguments parsed;
    std::size_t i = 0;
    if (!args.empty() && !args[0].starts_with("-"))
        parsed.command = args[i++];
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--long") {
            parsed.longListing = true;
        } else if (arg == "--port" || arg == "-p") {
            parsed.port = value();
        } else if (arg == "-o" || arg == "--output") {
            parsed.output = value();
        } else if (arg == "--trace") {
            parsed.trace = value();
        } else if (arg == "--base") {
            parsed.base = value();
        } else if (arg == "--timeout-ms") {
            const std::string text = value();
            int ms = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
            if (error != std::errc() || end != text.data() + text.size() || ms <= 0)
                throw UsageError("--timeout-ms needs a positive number of milliseconds");
            parsed.timeoutMs = ms;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

std::string UsageText(const std::string& command)
{
    if (command == "ports")
        return "Usage: tarnik-cli ports [--long]\n"
               "Lists the machine's serial ports, one a line. With --long each line is\n"
               "PATH<TAB>DESCRIPTION: maker, product and serial number of a USB adapter and\n"
               "its /dev/serial/by-id name, or the driver of any other port.\n";
    if (command == "program")
        return "Usage: tarnik-cli program --port PORT [FILE]\n"
               "Writes the settings of FILE (a .zvn settings file; without FILE the start-up\n"
               "settings) into the module and prints the information lines as they come.\n"
               "Exit status: 0 programmed, 1 no answer, 2 usage or refused settings,\n"
               "3 port error, 4 file error.\n";
    if (command == "read")
        return "Usage: tarnik-cli read --port PORT -o OUT [--base FILE]\n"
               "Reads the module's settings and saves them as the settings file OUT. Fields\n"
               "the module does not hold come from FILE (without FILE: the factory defaults\n"
               "and an empty user directory).\n"
               "Exit status: 0 saved, 1 no answer (OUT not written), 2 usage, 3 port error,\n"
               "4 file error.\n";
    if (command == "serial")
        return "Usage: tarnik-cli serial --port PORT\n"
               "Asks the module for its serial number and prints \"serial: X\".\n"
               "Exit status: 0 answered, 1 no answer within 6 s, 2 usage, 3 port error.\n";
    if (command == "image")
        return "Usage: tarnik-cli image FILE [-o OUT]\n"
               "Writes the 2048-byte device image of the settings in FILE, raw, to OUT or to\n"
               "standard output.\n"
               "Exit status: 0 written, 2 usage, 4 file error.\n";
    return "Usage: tarnik-cli COMMAND [options]\n"
           "Commands:\n"
           "  ports [--long]                     list the serial ports\n"
           "  program --port PORT [FILE]         write settings into the module\n"
           "  read --port PORT -o OUT [--base FILE]  read the module's settings into a file\n"
           "  serial --port PORT                 show the module's serial number\n"
           "  image FILE [-o OUT]                write the device image of a settings file\n"
           "A port name without a slash is taken under /dev. COMMAND --help tells more.\n"
           "--trace FILE with any command writes every byte on the wire, with the port's\n"
           "opens, closes, settings and errors, to FILE.\n";
}

}  // namespace tarnik::cli

#include "cli/cli_args.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <string_view>

#include "cli/cli_sites.h"
#include "config/tarnik_config.h"
#include "model/configuration_check.h"

namespace tarnik::cli {

namespace {

std::vector<std::string> toStd(const QStringList& list)
{
    std::vector<std::string> result;
    for (const QString& item : list)
        result.push_back(item.toStdString());
    return result;
}

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("usage"));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("version"));
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("serial port"), QStringLiteral("PORT"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("output file"), QStringLiteral("OUT"));
    const QCommandLineOption base(QStringLiteral("base"), QStringLiteral("base settings file"),
                                  QStringLiteral("FILE"));
    const QCommandLineOption timeout(QStringLiteral("timeout-ms"),
                                     QStringLiteral("no-answer period"), QStringLiteral("MS"));
    const QCommandLineOption verify(QStringLiteral("verify"), QStringLiteral("verify"));
    const QCommandLineOption defaults(QStringLiteral("defaults"),
                                      QStringLiteral("factory defaults"));
    const QCommandLineOption longListing(QStringLiteral("long"), QStringLiteral("descriptions"));
    const QCommandLineOption trace(QStringLiteral("trace"), QStringLiteral("wire trace file"),
                                   QStringLiteral("FILE"));
    const QCommandLineOption traceSecrets(QStringLiteral("trace-secrets"),
                                          QStringLiteral("codes and numbers in the trace"));
    const QCommandLineOption showSecrets(QStringLiteral("show-secrets"),
                                         QStringLiteral("PIN and codes in the report"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("findings as JSON"));
    const QCommandLineOption site(QStringLiteral("site"), QStringLiteral("site's name"),
                                  QStringLiteral("NAME"));
    const QCommandLineOption address(QStringLiteral("address"), QStringLiteral("site's address"),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption installer(QStringLiteral("installer"), QStringLiteral("installer"),
                                       QStringLiteral("NAME"));
    const QCommandLineOption library(QStringLiteral("library"), QStringLiteral("library"),
                                     QStringLiteral("LIB"));
    const QCommandLineOption contact(QStringLiteral("contact"), QStringLiteral("contact"),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption notes(QStringLiteral("notes"), QStringLiteral("notes"),
                                   QStringLiteral("TEXT"));
    const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("serial number"),
                                    QStringLiteral("S"));
    const QCommandLineOption phone(QStringLiteral("phone"), QStringLiteral("module's number"),
                                   QStringLiteral("P"));
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("new name"),
                                  QStringLiteral("N"));
    const QCommandLineOption entry(QStringLiteral("entry"), QStringLiteral("history entry"),
                                   QStringLiteral("N"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("confirmed"));
    const QList<QCommandLineOption> options{
        help,        version, port,         output,      base,  timeout, verify,  defaults,
        longListing, trace,   traceSecrets, showSecrets, json,  site,    address, installer,
        library,     contact, notes,        serial,      phone, name,    entry,   yes};
    parser.addOptions(options);

    QStringList line{QStringLiteral("tarnik-cli")};
    for (const std::string& arg : args)
        line << QString::fromStdString(arg);
    if (!parser.parse(line))
        throw UsageError(parser.errorText().toStdString());

    Arguments parsed;
    std::vector<std::string> plain = toStd(parser.positionalArguments());
    if (!plain.empty()) {
        parsed.command = plain.front();
        plain.erase(plain.begin());
    }
    parsed.positional = std::move(plain);
    parsed.ports = toStd(parser.values(port));
    if (parser.isSet(output))
        parsed.output = parser.value(output).toStdString();
    if (parser.isSet(base))
        parsed.base = parser.value(base).toStdString();
    if (parser.isSet(timeout)) {
        const std::string text = parser.value(timeout).toStdString();
        int ms = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
        if (error != std::errc() || end != text.data() + text.size() || ms <= 0)
            throw UsageError("--timeout-ms wymaga dodatniej liczby milisekund");
        parsed.timeoutMs = ms;
    }
    if (parser.isSet(trace))
        parsed.trace = parser.value(trace).toStdString();
    parsed.traceSecrets = parser.isSet(traceSecrets);
    parsed.verify = parser.isSet(verify);
    parsed.defaults = parser.isSet(defaults);
    parsed.longListing = parser.isSet(longListing);
    parsed.showSecrets = parser.isSet(showSecrets);
    parsed.json = parser.isSet(json);
    for (const auto& [option, value] :
         {std::pair{&site, &parsed.site}, std::pair{&address, &parsed.address},
          std::pair{&installer, &parsed.installer}, std::pair{&library, &parsed.library},
          std::pair{&contact, &parsed.contact}, std::pair{&notes, &parsed.notes},
          std::pair{&serial, &parsed.serial}, std::pair{&phone, &parsed.phone},
          std::pair{&name, &parsed.name}})
        if (parser.isSet(*option))
            *value = parser.value(*option).toStdString();
    if (parser.isSet(entry)) {
        const std::string text = parser.value(entry).toStdString();
        long long number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size() || number <= 0)
            throw UsageError("--entry wymaga numeru wpisu historii (1, 2, ...)");
        parsed.entry = number;
    }
    parsed.yes = parser.isSet(yes);
    parsed.help = parser.isSet(help);
    parsed.version = parser.isSet(version);
    for (const QCommandLineOption& option : options)
        if (parser.isSet(option))
            parsed.given.push_back(option.names().constLast().toStdString());
    return parsed;
}

void refuseForeignOptions(const Arguments& args)
{
    struct Accepted {
        const char* command;
        std::vector<std::string_view> options;
    };
    static const Accepted kAccepted[] = {
        {"ports", {"long"}},
        {"program", {"port", "verify", "defaults", "timeout-ms", "site"}},
        {"verify", {"port", "timeout-ms", "site"}},
        {"read", {"port", "output", "base", "timeout-ms", "site"}},
        {"serial", {"port", "timeout-ms"}},
        {"image", {"output"}},
        {"diff", {}},
        {"export", {"output"}},
        {"import", {"output"}},
        {"check", {"json"}},
        {"report", {"output", "show-secrets", "site", "address", "installer"}},
        {"sites", sitesOptions()},
    };
    static constexpr std::string_view kEveryCommand[] = {"help", "version", "trace",
                                                         "trace-secrets", "library"};
    for (const Accepted& accepted : kAccepted) {
        if (args.command != accepted.command)
            continue;
        for (const std::string& option : args.given) {
            if (std::ranges::find(kEveryCommand, option) != std::end(kEveryCommand) ||
                std::ranges::find(accepted.options, option) != accepted.options.end())
                continue;
            const std::string shortName = option == "output" ? "-o/"
                                          : option == "port" ? "-p/"
                                                             : "";
            throw UsageError("polecenie " + args.command + " nie przyjmuje opcji " + shortName +
                             "--" + option);
        }
    }
}

std::string usageText(const std::string& command)
{
    if (command == "sites")
        return sitesUsageText();
    if (command == "ports")
        return "Usage: tarnik-cli ports [--long]\n"
               "Lists the machine's serial ports, one a line. With --long each line is\n"
               "PATH<TAB>DESCRIPTION: maker, product and serial number of a USB adapter, its\n"
               "vendor and product ids and its /dev/serial/by-id name (by-path when it has no\n"
               "serial number), or \"wbudowany port szeregowy (DRIVER)\" for a built-in port.\n";
    if (command == "program")
        return "Usage: tarnik-cli program --port PORT [--port PORT ...] [--verify] FILE\n"
               "       tarnik-cli program --port PORT [--port PORT ...] [--verify] --defaults\n"
               "Writes the settings of FILE (a .zvn settings file), or with --defaults the\n"
               "factory defaults the window starts with (no user numbers), into the module\n"
               "and prints the information lines as they come. One of the two must be given.\n"
               "When programming succeeded but the --verify read-back did not, a line of\n"
               "its own says so.\n"
               "With --verify the module is read back afterwards and compared as by verify.\n"
               "Given more than one --port, programs every module at once: lines are\n"
               "prefixed with \"PORT: \" and one summary line per port ends the output;\n"
               "a port given twice (also through a link) is refused before any is opened.\n"
               "Exit status: 0 programmed, 1 no answer, 2 usage or refused settings,\n"
               "3 port error, 4 file error, 5 the module differs after --verify; with\n"
               "several ports the status of the first port, in the order given, that failed.\n";
    if (command == "verify")
        return "Usage: tarnik-cli verify --port PORT [--port PORT ...] FILE\n"
               "Reads the module back and compares it byte for byte with what programming\n"
               "FILE would write; prints one line per differing setting,\n"
               "\"LABEL: plik: FILE_VALUE, moduł: MODULE_VALUE\"; a bit set as the module's\n"
               "differing boxes, \"LABEL: moduł: + ticked, − not ticked\". Several ports as\n"
               "for program.\n"
               "Prints \"Moduł zawiera ustawienia z pliku.\" when nothing differs.\n"
               "Exit status: 0 the module holds FILE, 5 it differs, 1 no answer, 2 usage,\n"
               "3 port error, 4 file error.\n";
    if (command == "read")
        return "Usage: tarnik-cli read --port PORT -o OUT [--base FILE]\n"
               "Reads the module's settings and saves them as the settings file OUT (\"-\":\n"
               "standard output; the information lines then go to standard error). Fields\n"
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
               "Writes the 2048-byte device image the module would receive from FILE (the\n"
               "settings as the window programs them, not the file's raw bytes) to OUT or to\n"
               "standard output (also with -o -).\n"
               "Exit status: 0 written, 2 usage, 4 file error.\n";
    if (command == "diff")
        return "Usage: tarnik-cli diff A.zvn B.zvn\n"
               "Prints one line per setting that differs, \"LABEL: A: VALUE_A, B: VALUE_B\", in\n"
               "the order of the window's pages; a bit set as B's differing boxes,\n"
               "\"LABEL: B: + ticked, − not ticked\", one line per place in the window.\n"
               "Exit status: 0 equal, 1 different, 2 usage, 4 file error.\n";
    if (command == "export")
        return "Usage: tarnik-cli export FILE.zvn [-o OUT.json]\n"
               "Writes every setting of FILE as a JSON document (UTF-8, one setting a line,\n"
               "in page order) to OUT or to standard output (also with -o -).\n"
               "Exit status: 0 written, 2 usage, 4 file error.\n";
    if (command == "import")
        return "Usage: tarnik-cli import IN.json -o FILE.zvn\n"
               "Builds the settings file FILE (\"-\": standard output) from a document written\n"
               "by export. A document with an unknown or missing key, a value out of range, a\n"
               "text too long or a character outside code page 1250 is refused, naming the\n"
               "key; nothing is written then. A document above 1 MiB is refused unread.\n"
               "Exit status: 0 written, 2 usage or refused document, 4 file error.\n";
    if (command == "check") {
        std::string text = "Usage: tarnik-cli check [--json] FILE...\n"
                           "Runs the configuration check over each settings file and prints one\n"
                           "line per warning, \"FILE: PLACE: SENTENCE [RULE]\", in the order of\n"
                           "the window's pages; PLACE is the setting's label in the window. Then\n"
                           "standard error gets \"Sprawdzono N plików: M uwag.\". With --json the\n"
                           "warnings are one JSON document instead: an array \"findings\" of\n"
                           "objects with file, place, key, rule and sentence. The check changes\n"
                           "nothing and never stops programming. Rules:\n";
        for (const CheckRule& rule : checkRules())
            text += "  " + std::string(rule.id) + std::string(20 - std::strlen(rule.id), ' ') +
                    rule.summary + "\n";
        return text + "Exit status: 0 no warnings, 1 warnings, 2 usage, 4 a file could not be\n"
                      "read (the other files are still checked).\n";
    }
    if (command == "report")
        return "Usage: tarnik-cli report FILE.zvn -o OUT.pdf|OUT.html [--show-secrets]\n"
               "                  [--site NAME] [--address TEXT] [--installer NAME]\n"
               "Writes the hand-over report of the settings in FILE (A4, Polish): a header\n"
               "with the site, its address, the installer and FILE's name and date, the basic\n"
               "settings, the users, the inputs and outputs, the reactions, every SMS text,\n"
               "the warnings of check, every other setting that differs from the factory\n"
               "defaults, the acceptance tests (one row per event that does something), who\n"
               "may switch which output, and a sign-off block. Without --site, --address or\n"
               "--installer their lines are left to fill in by hand. The format follows\n"
               "OUT's ending. The SIM PIN, the SMS\n"
               "access code and the output codes are shown as **** unless --show-secrets;\n"
               "a new file holding them is readable by its owner alone (0600).\n"
               "Exit status: 0 written, 2 usage, 4 file error.\n";
    return "Usage: tarnik-cli COMMAND [options]\n"
           "Commands:\n"
           "  ports [--long]                     list the serial ports\n"
           "  program --port PORT... [--verify] FILE|--defaults  write settings into modules\n"
           "  verify --port PORT... FILE         compare modules with a settings file\n"
           "  read --port PORT -o OUT [--base FILE]  read the module's settings into a file\n"
           "  serial --port PORT                 show the module's serial number\n"
           "  image FILE [-o OUT]                write the device image of a settings file\n"
           "  diff A.zvn B.zvn                   list the settings that differ\n"
           "  export FILE.zvn [-o OUT.json]      write the settings as JSON\n"
           "  import IN.json -o FILE.zvn         build a settings file from JSON\n"
           "  check [--json] FILE...             find the usual configuration mistakes\n"
           "  report FILE.zvn -o OUT.pdf [--show-secrets] [--site NAME] [--address TEXT]\n"
           "         [--installer NAME]           the hand-over report (or .html)\n"
           "  sites POLECENIE ... [--library LIB] biblioteka obiektów (sites --help)\n"
           "Options: --help, --version. A port name without a slash is taken under /dev.\n"
           "An output (-o, --trace) that is one of the inputs is refused before anything is\n"
           "written; a device or FIFO is written through, -o - is standard output; a\n"
           "read-only file is refused. --trace takes no existing file but a trace.\n"
           "--trace FILE with any command writes every byte on the wire, with the port's\n"
           "opens, closes, settings and errors, to FILE. The PIN, the SMS access code, the\n"
           "output switch codes and the phone numbers show as * there, so the file may be\n"
           "sent to support. A trace file that cannot be written is reported on standard\n"
           "error and given up; the command goes on and its exit status stands.\n"
           "--trace-secrets shows those codes and numbers in clear (the new file is then\n"
           "readable by its owner alone). DANGEROUS: with the SMS access code anyone can\n"
           "reprogram the alarm; never send such a trace on.\n"
           "COMMAND --help tells more.\n";
}

}  // namespace tarnik::cli

// diff, export and import: settings files compared and turned into JSON and back.

#include <QByteArray>

#include <optional>
#include <ostream>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_outputs.h"
#include "file/input_file.h"
#include "file/settings_file.h"
#include "file/settings_json.h"
#include "model/setting_comparison.h"

namespace tarnik::cli {

namespace {

struct Settings {
    SettingsRecord record{};
    UserDirectory users{};
};

// Loads a settings file; a failure is reported naming the file.
std::optional<Settings> loadFile(const std::string& path, std::ostream& err)
{
    Settings settings;
    if (!loadSettingsOrTell(path, settings.record, settings.users, err))
        return std::nullopt;
    return settings;
}

}  // namespace

int runDiff(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.size() != 2)
        throw UsageError("diff wymaga dwóch plików ustawień");
    const auto a = loadFile(args.positional[0], err);
    if (!a)
        return kExitFileError;
    const auto b = loadFile(args.positional[1], err);
    if (!b)
        return kExitFileError;
    const auto differences = compareSettings(effectiveSettings(a->record), a->users,
                                             effectiveSettings(b->record), b->users);
    for (const SettingComparison& difference : differences)
        out << comparisonLine(difference, kTwoFiles) << '\n';
    out.flush();
    return differences.empty() ? kExitOk : kExitDifferent;
}

int runExport(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.size() != 1)
        throw UsageError("export wymaga jednego pliku ustawień");
    const auto settings = loadFile(args.positional[0], err);
    if (!settings)
        return kExitFileError;
    const QByteArray json = exportSettingsJson(settings->record, settings->users);
    return writeOutput(args.output, json, out, err) ? kExitOk : kExitFileError;
}

int runImport(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.size() != 1)
        throw UsageError("import wymaga jednego dokumentu JSON");
    if (!args.output || args.output->empty())
        throw UsageError("podaj plik wyjściowy: -o PLIK.zvn");
    const std::string& in = args.positional[0];
    std::string document;
    try {
        document = readInputFile(in, kSettingsJsonMaxBytes);
    } catch (const std::system_error& e) {
        err << "tarnik-cli: Nie można otworzyć pliku „" << in
            << "”: " << systemErrorText(e.code().value()) << std::endl;
        return kExitFileError;
    } catch (const InputFileError& e) {
        err << "tarnik-cli: " << e.what() << std::endl;
        return kExitFileError;
    }
    Settings settings;
    try {
        importSettingsJson(QByteArray::fromStdString(document), settings.record, settings.users);
    } catch (const SettingsJsonError& e) {
        // The document was read but its settings are refused, as programming refuses them.
        err << "tarnik-cli: " << in << ": " << e.what() << std::endl;
        return kExitUsage;
    }
    return writeSettingsOutput(args.output, settings.record, settings.users, out, err);
}

}  // namespace tarnik::cli

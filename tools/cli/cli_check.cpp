// check: the configuration check over settings files, one warning a line (or one JSON
// document of them), and a closing count on standard error.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <ostream>

#include "cli/cli_commands.h"
#include "model/configuration_check.h"
#include "model/polish_plural.h"

namespace tarnik::cli {

namespace {

QJsonObject findingJson(const std::string& file, const CheckWarning& warning)
{
    const auto text = [](const std::string& utf8) { return QString::fromStdString(utf8); };
    return QJsonObject{{QStringLiteral("file"), text(file)},
                       {QStringLiteral("place"), text(warning.place)},
                       {QStringLiteral("key"), text(warning.key)},
                       {QStringLiteral("rule"), text(warning.id)},
                       {QStringLiteral("sentence"), text(warning.sentence)}};
}

}  // namespace

int runCheck(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.empty())
        throw UsageError("check wymaga co najmniej jednego pliku ustawień");
    // Every file is checked; a file that cannot be read does not stop the others.
    int status = kExitOk;
    std::size_t checked = 0;
    std::size_t found = 0;
    QJsonArray findings;
    for (const std::string& file : args.positional) {
        SettingsRecord record{};
        UserDirectory users{};
        if (!loadSettingsOrTell(file, record, users, err)) {
            status = kExitFileError;
            continue;
        }
        ++checked;
        const auto warnings = checkConfiguration(effectiveSettings(record), users);
        found += warnings.size();
        for (const CheckWarning& warning : warnings) {
            if (args.json)
                findings.append(findingJson(file, warning));
            else
                out << file << ": " << warningLine(warning) << '\n';
        }
        if (!warnings.empty() && status == kExitOk)
            status = kExitWarnings;
    }
    if (args.json)
        out << QJsonDocument(QJsonObject{{QStringLiteral("findings"), findings}})
                   .toJson(QJsonDocument::Indented)
                   .toStdString();
    out.flush();
    err << "Sprawdzono " << countedNoun(static_cast<long long>(checked), "plik", "pliki", "plików")
        << ": " << countedNoun(static_cast<long long>(found), "uwaga", "uwagi", "uwag") << "."
        << std::endl;
    return status;
}

}  // namespace tarnik::cli

// report: the printable configuration report of a settings file, as PDF or HTML.

#include <QDateTime>
#include <QFileInfo>
#include <QString>

#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_outputs.h"
#include "model/effective_settings.h"
#include "report/configuration_report.h"

namespace tarnik::cli {

namespace {

enum class ReportFormat { Pdf, Html };

ReportFormat formatOf(const std::string& output)
{
    const QString suffix = QFileInfo(QString::fromStdString(output)).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return ReportFormat::Pdf;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return ReportFormat::Html;
    throw UsageError("plik raportu musi mieć rozszerzenie .pdf albo .html");
}

}  // namespace

int runReport(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.size() != 1)
        throw UsageError("report wymaga jednego pliku ustawień");
    if (!args.output || args.output->empty())
        throw UsageError("podaj plik raportu: -o OUT.pdf albo -o OUT.html");
    const ReportFormat format = formatOf(*args.output);
    const std::string& file = args.positional[0];
    refuseOutputsOverInputs({*args.output}, {file});
    SettingsRecord record{};
    UserDirectory users{};
    if (!loadSettingsOrTell(file, record, users, err))
        return kExitFileError;
    ReportOptions options;
    const QFileInfo info(QString::fromStdString(file));
    options.fileName = info.fileName();
    options.fileDate = reportDate(info.lastModified());
    options.date = reportDate();
    options.site = QString::fromStdString(args.site.value_or(""));
    options.address = QString::fromStdString(args.address.value_or(""));
    options.installer = QString::fromStdString(args.installer.value_or(""));
    options.showSecrets = args.showSecrets;
    const QString html = reportHtml(effectiveSettings(record), users, options);
    const QByteArray bytes =
        format == ReportFormat::Pdf ? reportPdf(html, reportTitle(options)) : reportHtmlFile(html);
    // A report with the PIN and the codes in clear is for its owner's eyes only.
    return writeOutput(args.output, bytes, out, err,
                       args.showSecrets ? NewFileAccess::OwnerOnly : NewFileAccess::Usual)
               ? kExitOk
               : kExitFileError;
}

}  // namespace tarnik::cli

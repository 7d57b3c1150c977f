// The report of a fully configured module: the median time to build the document
// and write it as PDF (and as HTML) in the process, and of a whole
// `tarnik-cli report FILE -o OUT.pdf` run. Prints parseable lines:
//   report_pdf_ms=<document and PDF, in the process>
//   report_html_ms=<document and HTML, in the process>
//   report_cli_ms=<the tarnik-cli process, start to end>
//   report_pdf_kb=<size of the PDF>
// Usage: bench_printout [RUNS] [SAMPLE.pdf]; SAMPLE.pdf keeps the report written.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "configured_settings.h"
#include "file/settings_file.h"
#include "model/effective_settings.h"
#include "report/configuration_report.h"

namespace {

using Clock = std::chrono::steady_clock;

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const tarnik::test::ConfiguredSettings configured = tarnik::test::fullyConfigured();
    tarnik::ReportOptions options;
    options.fileName = QStringLiteral("szkoła.zvn");
    options.date = tarnik::reportDate();
    options.serialNumber = QStringLiteral("GSM-004711");

    qsizetype pdfBytes = 0;
    const double pdfMs = medianMs(runs, [&] {
        const QString html = tarnik::reportHtml(tarnik::effectiveSettings(configured.record),
                                                configured.users, options);
        pdfBytes = tarnik::reportPdf(html, tarnik::reportTitle(options)).size();
    });
    const double htmlMs = medianMs(runs, [&] {
        const QString html = tarnik::reportHtml(tarnik::effectiveSettings(configured.record),
                                                configured.users, options);
        (void)tarnik::reportHtmlFile(html);
    });

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("szkola.zvn"));
    tarnik::SaveSettingsFile(configured.record, configured.users, file);
    const std::string command = std::string(TARNIK_CLI) + " report '" + file.toStdString() +
                                "' -o '" + dir.filePath(QStringLiteral("r.pdf")).toStdString() +
                                "'";
    int failures = 0;
    const double cliMs = medianMs(std::max(3, runs / 3), [&] {
        if (std::system(command.c_str()) != 0)
            ++failures;
    });
    if (failures)
        return 1;
    if (argc > 2) {
        QFile::remove(QString::fromLocal8Bit(argv[2]));
        QFile::copy(dir.filePath(QStringLiteral("r.pdf")), QString::fromLocal8Bit(argv[2]));
    }
    std::printf("report_pdf_ms=%.1f report_html_ms=%.1f report_cli_ms=%.1f report_pdf_kb=%.0f\n",
                pdfMs, htmlMs, cliMs, static_cast<double>(pdfBytes) / 1024.0);
    return 0;
}

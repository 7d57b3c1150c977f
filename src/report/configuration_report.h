#pragma once

// The printable configuration report for the customer's site book: the title with
// the file, the date and the module's serial number, the basic settings under their
// group captions, the users, the inputs' and outputs' settings, the reaction table,
// every SMS text, the configuration check's warnings, and any other setting that
// differs from the factory defaults. The document is built once as HTML; the PDF (A4,
// its font embedded), the HTML file and the window's print preview all come from it.
// The SIM PIN, the SMS access code and the output codes are shown as "****" unless
// asked for.

#include <QByteArray>
#include <QString>
#include <memory>

#include "model/effective_settings.h"

class QPagedPaintDevice;
class QTextDocument;

namespace tarnik {

struct ReportOptions {
    QString fileName;      // the settings file's name for the title; empty: none
    QString readBackPort;  // the port the settings were read back from; names the source
                           // instead of the file
    QString date;          // as printed
    QString serialNumber;  // the module's serial number; empty when none was read
    bool showSecrets = false;
};

// "Raport konfiguracji modułu — dom.zvn" (or "— odczyt z /dev/ttyUSB0"): the title.
QString reportTitle(const ReportOptions& options);

// The report over the record the window would program and `users` (as the window
// collects them, made here); texts taken from them show control characters escaped.
QString reportHtml(const EffectiveSettings& record, const UserDirectory& users,
                   const ReportOptions& options);

// The document laid out in the report's font (a font with every Polish letter).
std::unique_ptr<QTextDocument> reportDocument(const QString& html);

// Prints a report document on A4 pages with the report's margins.
void printReport(QTextDocument& document, QPagedPaintDevice& device);

// The report as a PDF file's bytes: A4, the font embedded. Needs a QGuiApplication.
QByteArray reportPdf(const QString& html, const QString& title);

// The report as an HTML file's bytes (UTF-8).
QByteArray reportHtmlFile(const QString& html);

// Today's date and time as the report prints it.
QString reportDate();

}  // namespace tarnik

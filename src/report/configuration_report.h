#pragma once

// The printable configuration report, the hand-over document for the customer's site
// book: a header with the site, its address, the installer, the settings file and its
// date and the module's serial number; the basic settings under their group captions,
// the users, the inputs' and outputs' settings with their times in units, the reactions
// (only the events that do something, users as keys U1..U4), every SMS text, the
// configuration check's warnings, any other setting that differs from the factory
// defaults, the acceptance tests (one row per event that does something), who may switch
// which output, and a sign-off block. The document is built once as HTML; the PDF (A4,
// 15 mm margins, a footer "Strona n z N" on every page, its font embedded), the HTML
// file (with a print style) and the window's print preview all come from it. The SIM
// PIN, the SMS access code and the output codes are shown as "****" unless asked for.

#include <QByteArray>
#include <QString>
#include <memory>

#include "model/effective_settings.h"

class QDateTime;
class QPagedPaintDevice;
class QTextDocument;

namespace tarnik {

struct ReportOptions {
    QString fileName;      // the settings file's name for the title; empty: none
    QString readBackPort;  // the port the settings were read back from; names the source
                           // instead of the file
    QString date;          // as printed
    QString serialNumber;  // the module's serial number; empty when none was read
    QString fileDate;      // the settings file's modification time, as printed; empty: none
    QString site;          // the site's name; empty: a line to fill in by hand
    QString address;       // the site's address; empty: a line to fill in by hand
    QString installer;     // who hands the system over; empty: a line to fill in by hand
    bool showSecrets = false;
};

// The captions of the hand-over details, in the report's header and in the window's
// dialog that asks for them.
inline constexpr const char* kReportSiteCaption = "Obiekt";
inline constexpr const char* kReportAddressCaption = "Adres";
inline constexpr const char* kReportInstallerCaption = "Instalator";

// "Raport konfiguracji modułu — dom.zvn" (or "— odczyt z /dev/ttyUSB0"): the title.
QString reportTitle(const ReportOptions& options);

// The report over the record the window would program and `users` (as the window
// collects them, made here); texts taken from them show control characters escaped.
QString reportHtml(const EffectiveSettings& record, const UserDirectory& users,
                   const ReportOptions& options);

// The document laid out in the report's font (a font with every Polish letter).
std::unique_ptr<QTextDocument> reportDocument(const QString& html);

// Prints a report document on A4 pages: 15 mm margins, no heading alone at a page's
// foot, no table row split over two pages (unless taller than a page), table headings
// repeated, and a footer with "Strona n z N", the report's date
// and the program's version on every page.
void printReport(const QTextDocument& report, QPagedPaintDevice& device);

// The report as a PDF file's bytes: A4, the font embedded. Needs a QGuiApplication.
QByteArray reportPdf(const QString& html, const QString& title);

// The report as an HTML file's bytes (UTF-8).
QByteArray reportHtmlFile(const QString& html);

// Today's date and time as the report prints it.
QString reportDate();
// A time as the report prints it ("08.12.2026 14:41"), e.g. a file's modification time.
QString reportDate(const QDateTime& time);

}  // namespace tarnik

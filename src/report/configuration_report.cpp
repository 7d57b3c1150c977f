#include "report/configuration_report.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QFontDatabase>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

#include "model/codepage.h"
#include "model/configuration_check.h"
#include "model/effective_settings.h"
#include "model/reaction_overview.h"
#include "model/setting_comparison.h"
#include "model/settings_catalogue.h"
#include "model/settings_texts.h"
#include "model/value_ranges.h"

namespace tarnik {

namespace {

// Debian's fonts-dejavu-core: every Polish letter and the overview's symbols.
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr const char* kFontFiles[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};
constexpr int kFontPoints = 8;
constexpr qreal kMarginMm = 15;

constexpr const char* kHidden = "****";
constexpr const char* kNone = "—";
constexpr const char* kBasicPage = "Podstawowe";

// Texts of the report itself.
constexpr const char* kTitle = "Raport konfiguracji modułu";
constexpr const char* kFileCaption = "Plik";
constexpr const char* kReadBackCaption = "Odczytano z modułu przez port";
constexpr const char* kNoFile = "ustawienia nie zapisane w pliku";
constexpr const char* kDateCaption = "Data";
constexpr const char* kSerialCaption = "Numer seryjny modułu";
constexpr const char* kSecretsNote = "PIN, kod dostępu przez SMS i kody wyjść ukryte jako ****.";
constexpr const char* kUsersHeading = "Użytkownicy";
constexpr const char* kUserColumn = "Użytkownik";
constexpr const char* kInputsHeading = "Wejścia";
constexpr const char* kInputColumn = "Wejście";
constexpr const char* kOutputsHeading = "Wyjścia";
constexpr const char* kReactionsHeading = "Reakcje";
constexpr const char* kTextsHeading = "Treści SMS";
constexpr const char* kWarningsHeading = "Ostrzeżenia";
constexpr const char* kNoWarnings = "Sprawdzenie konfiguracji nie znalazło błędów.";
constexpr const char* kOthersHeading = "Pozostałe ustawienia różne od fabrycznych";
constexpr const char* kNothingTicked = "nic nie zaznaczone";
constexpr const char* kTicked = "tak";
constexpr const char* kNotTicked = "nie";

bool isSecret(const std::string& key)
{
    return key == "pin" || key == "pinMod" || key.starts_with("zalWyCode") ||
           key.starts_with("wylWyCode");
}

QString u8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

QString esc(const std::string& utf8Text)
{
    return esc(u8(utf8Text));
}

// The label's parts from `first` to `last` (exclusive), joined again.
std::string joinParts(const std::vector<std::string>& parts, std::size_t first, std::size_t last)
{
    std::string text;
    for (std::size_t i = first; i < last && i < parts.size(); ++i)
        text += (text.empty() ? "" : kLabelSeparator) + parts[i];
    return text;
}

class ReportWriter {
public:
    // The report shows what the module would receive: the effective record and the
    // users as the window collects them, whatever the caller passes.
    ReportWriter(const EffectiveSettings& record, const UserDirectory& users,
                 const ReportOptions& options)
        : effective_(record), record_(effective_.record()), users_(effectiveUsers(users)),
          options_(options)
    {
    }

    QString build()
    {
        html_ += QStringLiteral("<!DOCTYPE html>\n<html lang=\"pl\"><head><meta charset=\"utf-8\">"
                                "<title>%1</title>\n<style>%2</style></head><body>\n")
                     .arg(esc(reportTitle(options_)), style());
        header();
        basicSettings();
        usersTable();
        inputsTable();
        outputsTable();
        reactionsTable();
        smsTexts();
        warnings();
        others();
        html_ += QStringLiteral("</body></html>\n");
        return html_;
    }

private:
    static QString style()
    {
        return QStringLiteral("body{font-family:'%1';font-size:%2pt}"
                              "h1{font-size:14pt}h2{font-size:11pt;margin-top:12px}"
                              "h3{font-size:9pt;margin-bottom:2px}"
                              "table{border-collapse:collapse}"
                              "td,th{border:1px solid #999;padding:2px 4px;vertical-align:top}"
                              "th{background:#e8e8e8;text-align:left}"
                              ".inactive{color:#8a8a8a}.symbol{text-align:center}")
            .arg(QString::fromUtf8(kFontFamily))
            .arg(kFontPoints);
    }

    QString valueText(const SettingEntry& entry)
    {
        shown_.insert(entry.key);
        const SettingValue value = readSetting(record_, users_, entry);
        if (const int* number = std::get_if<int>(&value))
            return entry.kind == SettingKind::BitSet ? esc(bitSetText(*number))
                                                     : QString::number(*number);
        const std::string& text = std::get<std::string>(value);
        if (text.empty())
            return QString::fromUtf8(kNone);
        if (isSecret(entry.key) && !options_.showSecrets)
            return QString::fromUtf8(kHidden);
        // The notes' line breaks stay breaks; any other control character shows escaped.
        QStringList lines;
        for (std::size_t from = 0;;) {
            const std::size_t end = text.find("\r\n", from);
            lines << esc(readableText(std::string_view(text).substr(from, end - from)));
            if (end == std::string::npos)
                break;
            from = end + 2;
        }
        return lines.join(QStringLiteral("<br>"));
    }

    // The boxes of a bit set the window shows in `place`: one box as "tak" or "nie"
    // beside its caption, several as the captions of the ticked ones beside the
    // place's last caption.
    void boxRows(const SettingEntry& entry, const std::string& place,
                 std::vector<QStringList>& rows)
    {
        shown_.insert(entry.key);
        const int bits = std::get<int>(readSetting(record_, users_, entry));
        std::vector<const BitMeaning*> boxes;
        // A bit of a hidden box counts only when set: the window keeps it.
        for (const BitMeaning& meaning : entry.bits)
            if ((meaning.shown || ((bits >> meaning.bit) & 1)) && boxPlace(entry, meaning) == place)
                boxes.push_back(&meaning);
        if (boxes.empty())
            return;
        const auto ticked = [bits](const BitMeaning* box) { return (bits >> box->bit) & 1; };
        if (boxes.size() == 1) {
            rows.push_back({esc(boxes.front()->caption),
                            esc(u8(ticked(boxes.front()) ? kTicked : kNotTicked))});
            return;
        }
        QStringList captions;
        for (const BitMeaning* box : boxes)
            if (ticked(box))
                captions << esc(box->caption);
        rows.push_back({esc(labelParts(place).back()), captions.isEmpty()
                                                           ? esc(u8(kNothingTicked))
                                                           : captions.join(QStringLiteral("; "))});
    }

    // The places a bit set's shown boxes are found in, in box order.
    static std::vector<std::string> boxPlaces(const SettingEntry& entry)
    {
        std::vector<std::string> places;
        for (const BitMeaning& meaning : entry.bits) {
            const std::string& place = boxPlace(entry, meaning);
            if (meaning.shown && std::find(places.begin(), places.end(), place) == places.end())
                places.push_back(place);
        }
        return places;
    }

    void heading(const char* text) { html_ += QStringLiteral("<h2>%1</h2>\n").arg(esc(u8(text))); }

    void row(const QStringList& cells, const QString& cls = {}, bool head = false)
    {
        const QString tag = head ? QStringLiteral("th") : QStringLiteral("td");
        html_ +=
            cls.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"%1\">").arg(cls);
        for (const QString& cell : cells)
            html_ += QStringLiteral("<%1>%2</%1>").arg(tag, cell);
        html_ += QStringLiteral("</tr>\n");
    }

    void header()
    {
        html_ += QStringLiteral("<h1>%1</h1>\n<p>").arg(esc(QString::fromUtf8(kTitle)));
        const auto line = [&](const char* caption, const QString& value) {
            html_ += QStringLiteral("%1: <b>%2</b><br>").arg(esc(u8(caption)), esc(value));
        };
        if (!options_.readBackPort.isEmpty())
            line(kReadBackCaption, options_.readBackPort);
        else
            line(kFileCaption,
                 options_.fileName.isEmpty() ? QString::fromUtf8(kNoFile) : options_.fileName);
        line(kDateCaption, options_.date);
        if (!options_.serialNumber.isEmpty())
            line(kSerialCaption, options_.serialNumber);
        if (!options_.showSecrets)
            html_ += esc(QString::fromUtf8(kSecretsNote));
        html_ += QStringLiteral("</p>\n");
    }

    // Every setting the basic page shows, under its group caption; groups in the
    // order of their first setting.
    void basicSettings()
    {
        heading(kBasicPage);
        std::vector<std::pair<std::string, std::vector<QStringList>>> groups;
        const auto rowsOf = [&groups](const std::string& caption) -> std::vector<QStringList>& {
            for (auto& [name, rows] : groups)
                if (name == caption)
                    return rows;
            return groups.emplace_back(caption, std::vector<QStringList>{}).second;
        };
        // The caption between the page and the setting's own, or the page's.
        const auto groupOf = [](const std::vector<std::string>& parts) {
            return parts.size() > 2 ? joinParts(parts, 1, parts.size() - 1)
                                    : std::string(kBasicPage);
        };
        for (const SettingEntry& entry : settingsCatalogue()) {
            if (entry.hidden)
                continue;
            if (entry.kind == SettingKind::BitSet) {
                for (const std::string& place : boxPlaces(entry)) {
                    std::vector<std::string> parts = labelParts(place);
                    if (parts.front() != kBasicPage)
                        continue;
                    if (parts.size() == 2)  // the place is the group itself
                        parts.push_back({});
                    boxRows(entry, place, rowsOf(groupOf(parts)));
                }
                continue;
            }
            const std::vector<std::string> parts = labelParts(entry.label);
            if (parts.front() == kBasicPage)
                rowsOf(groupOf(parts)).push_back({esc(parts.back()), valueText(entry)});
        }
        for (const auto& [caption, rows] : groups) {
            html_ += QStringLiteral("<h3>%1</h3>\n<table width=\"100%\">\n").arg(esc(caption));
            for (const QStringList& cells : rows)
                row(cells);
            html_ += QStringLiteral("</table>\n");
        }
    }

    void usersTable()
    {
        heading(kUsersHeading);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        row({esc(u8(kUserColumn)), esc(labelParts(settingEntry("osoba[1]").label).back()),
             esc(labelParts(settingEntry("nrUser[1]").label).back()),
             esc(labelParts(settingEntry("uwagi[1]").label).back())},
            {}, true);
        for (int u = 1; u <= kUsers; ++u)
            row({QString::number(u), valueText(settingEntry(settingKey("osoba", u))),
                 valueText(settingEntry(settingKey("nrUser", u))),
                 valueText(settingEntry(settingKey("uwagi", u)))});
        html_ += QStringLiteral("</table>\n");
    }

    void inputsTable()
    {
        heading(kInputsHeading);
        html_ += QStringLiteral("<table>\n");
        row({esc(u8(kInputColumn)), esc(labelParts(settingEntry("timerPod[1]").label).back()),
             esc(labelParts(settingEntry("timerTorBuf[1]").label).back())},
            {}, true);
        for (int k = 1; k <= kInputs; ++k)
            row({QString::number(k), valueText(settingEntry(settingKey("timerPod", k))),
                 valueText(settingEntry(settingKey("timerTorBuf", k)))});
        html_ += QStringLiteral("</table>\n");
    }

    void outputsTable()
    {
        heading(kOutputsHeading);
        html_ += QStringLiteral("<table>\n");
        const SettingEntry& options = settingEntry("flags");
        shown_.insert(options.key);
        const int optionBits = std::get<int>(readSetting(record_, users_, options));
        for (int n = 1; n <= kOutputs; ++n) {
            // The output's option boxes, then its codes and time.
            const std::string output =
                labelParts(settingEntry(settingKey("wyOffTimer", n)).label)[1];
            for (const BitMeaning& meaning : options.bits)
                if (meaning.place == kOutputsHeading + std::string(kLabelSeparator) + output)
                    row({esc(output + kLabelSeparator + meaning.caption),
                         esc(u8((optionBits >> meaning.bit) & 1 ? kTicked : kNotTicked))});
            for (const char* field : {"zalWyCode", "wylWyCode", "wyOffTimer"}) {
                const SettingEntry& entry = settingEntry(settingKey(field, n));
                const std::vector<std::string> parts = labelParts(entry.label);
                row({esc(joinParts(parts, 1, parts.size())), valueText(entry)});
            }
        }
        html_ += QStringLiteral("</table>\n");
    }

    void reactionsTable()
    {
        heading(kReactionsHeading);
        const ReactionOverview overview = reactionOverview(effective_, users_);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        QStringList headings;
        for (int column = 0; column < OverviewColumns::kCount; ++column) {
            QStringList lines;
            for (const std::string& line : overviewHeadingLines(overview, column))
                lines << esc(line);
            headings << lines.join(QStringLiteral("<br>"));
        }
        row(headings, {}, true);
        for (const OverviewRow& overviewRow : overview.rows) {
            QStringList cells;
            for (int column = 0; column < OverviewColumns::kCount; ++column)
                cells << esc(overviewCell(overviewRow, column, options_.showSecrets));
            row(cells, overviewRow.active ? QString() : QStringLiteral("inactive"));
            for (const std::string& key : overviewRow.keys)
                shown_.insert(key);
        }
        html_ += QStringLiteral("</table>\n<p>");
        for (const std::string& line : overviewLegend())
            html_ += esc(line) + QStringLiteral("<br>");
        html_ += QStringLiteral("</p>\n");
    }

    // The text of every reaction the window shows, in page order.
    void smsTexts()
    {
        heading(kTextsHeading);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        for (const SettingEntry& entry : settingsCatalogue()) {
            if (!entry.key.starts_with("smsWeRe") && !entry.key.starts_with("smsSpecWeRe"))
                continue;
            const std::vector<std::string> parts = labelParts(entry.label);
            const std::string place = joinParts(parts, 0, parts.size() - 1);
            if (entry.hidden)
                continue;
            row({esc(place), valueText(entry)});
        }
        html_ += QStringLiteral("</table>\n");
    }

    void warnings()
    {
        heading(kWarningsHeading);
        const std::vector<CheckWarning> found = checkConfiguration(effective_, users_);
        if (found.empty()) {
            html_ += QStringLiteral("<p>%1</p>\n").arg(esc(u8(kNoWarnings)));
            return;
        }
        html_ += QStringLiteral("<ul>\n");
        for (const CheckWarning& warning : found)
            html_ += QStringLiteral("<li><b>%1</b>: %2 [%3]</li>\n")
                         .arg(esc(warning.place), esc(warning.sentence), esc(warning.id));
        html_ += QStringLiteral("</ul>\n");
    }

    // What differs from the factory defaults and no section above has shown: the
    // hidden settings a foreign file may hold.
    void others()
    {
        const SettingsRecord defaults = effectiveSettings(startupSettings()).record();
        const UserDirectory noUsers{};
        std::vector<const SettingEntry*> left;
        for (const SettingEntry* entry : differingSettings(record_, users_, defaults, noUsers))
            if (!shown_.contains(entry->key))
                left.push_back(entry);
        if (left.empty())
            return;
        heading(kOthersHeading);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        for (const SettingEntry* entry : left)
            row({esc(entry->label), valueText(*entry)});
        html_ += QStringLiteral("</table>\n");
    }

    const EffectiveSettings effective_;
    const SettingsRecord& record_;
    const UserDirectory users_;
    const ReportOptions& options_;
    QString html_;
    std::set<std::string> shown_;  // the keys of the settings shown so far
};

// The report's font, loaded from its file when the font database lacks the family.
QFont reportFont()
{
    static const bool loaded = [] {
        if (QFontDatabase::hasFamily(QString::fromUtf8(kFontFamily)))
            return true;
        bool any = false;
        for (const char* file : kFontFiles)
            any = QFontDatabase::addApplicationFont(QString::fromUtf8(file)) >= 0 || any;
        return any;
    }();
    (void)loaded;
    QFont font(QString::fromUtf8(kFontFamily), kFontPoints);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QString reportTitle(const ReportOptions& options)
{
    const QString title = QString::fromUtf8(kTitle);
    if (!options.readBackPort.isEmpty())
        return title + QStringLiteral(" — ") +
               QString::fromUtf8(kReadBackSource).arg(options.readBackPort);
    return options.fileName.isEmpty() ? title : title + QStringLiteral(" — ") + options.fileName;
}

QString reportHtml(const EffectiveSettings& record, const UserDirectory& users,
                   const ReportOptions& options)
{
    return ReportWriter(record, users, options).build();
}

std::unique_ptr<QTextDocument> reportDocument(const QString& html)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(reportFont());
    document->setHtml(html);
    return document;
}

void printReport(QTextDocument& document, QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    document.print(&device);
}

QByteArray reportPdf(const QString& html, const QString& title)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Tarnik"));
        writer.setResolution(300);
        const auto document = reportDocument(html);
        printReport(*document, writer);
    }
    return bytes;
}

QByteArray reportHtmlFile(const QString& html)
{
    return html.toUtf8();
}

QString reportDate()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

}  // namespace tarnik

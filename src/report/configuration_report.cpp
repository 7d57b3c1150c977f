#include "report/configuration_report.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <stdexcept>
#include <vector>

#include "config/tarnik_config.h"
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
// The same with fallbacks, for the HTML file read elsewhere.
constexpr const char* kFontFamilies = "\"DejaVu Sans\", \"Liberation Sans\", Arial, sans-serif";
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
constexpr const char* kFileDate = "%1 (zapisany %2)";
constexpr const char* kReadBackCaption = "Odczytano z modułu przez port";
constexpr const char* kNoFile = "ustawienia nie zapisane w pliku";
constexpr const char* kDateCaption = "Data";
constexpr const char* kSerialCaption = "Numer seryjny modułu";
constexpr const char* kFillIn = "……………………………………………………";
constexpr const char* kSecretsNote = "PIN, kod dostępu przez SMS i kody wyjść ukryte jako ****.";
constexpr const char* kUsersHeading = "Użytkownicy";
constexpr const char* kUserColumn = "Użytkownik";
constexpr const char* kUserKey = "U%1";
constexpr const char* kInputsHeading = "Wejścia";
constexpr const char* kInputColumn = "Wejście";
constexpr const char* kOutputsHeading = "Wyjścia";
constexpr const char* kReactionsHeading = "Reakcje";
constexpr const char* kNoReactions = "Żadne zdarzenie nie wywołuje reakcji.";
constexpr const char* kWithoutReaction = "Bez reakcji: ";
constexpr const char* kTextsHeading = "Treści SMS";
constexpr const char* kOtherTextsEmpty = "Pozostałe treści SMS są puste.";
constexpr const char* kWarningsHeading = "Ostrzeżenia";
constexpr const char* kNoWarnings = "Sprawdzenie konfiguracji nie znalazło błędów.";
constexpr const char* kOthersHeading = "Pozostałe ustawienia różne od fabrycznych";
constexpr const char* kNothingTicked = "nic nie zaznaczone";
constexpr const char* kTicked = "tak";
constexpr const char* kNotTicked = "nie";
constexpr const char* kUnknownBit = "bit %1";
constexpr const char* kVersionFooter = "Tarnik %1";
constexpr const char* kPageFooter = "Strona %1 z %2";

// The acceptance tests and the sign-off.
constexpr const char* kTestsHeading = "Próby przy odbiorze";
constexpr const char* kNoTests = "Żadne zdarzenie nie wywołuje reakcji: nie ma czego próbować.";
constexpr const char* kTestNumber = "Nr";
constexpr const char* kTestEvent = "Zdarzenie";
constexpr const char* kTestAction = "Co zrobić";
constexpr const char* kTestExpected = "Co ma nastąpić";
constexpr const char* kTestDone = "OK";
constexpr const char* kTestBox = "☐";
constexpr const char* kGroundOn = "Podaj masę na wejście %1";
constexpr const char* kGroundOff = "Zdejmij masę z wejścia %1";
constexpr const char* kInputTimes = "czas reakcji %1, blokada po reakcji %2";
constexpr const char* kTamperOn = "Podaj masę na wejście sabotażowe";
constexpr const char* kTamperOff = "Zdejmij masę z wejścia sabotażowego";
constexpr const char* kBlockingOn = "Podaj masę na wejście blokujące";
constexpr const char* kBlockingOff = "Zdejmij masę z wejścia blokującego";
constexpr const char* kSwitchOn = "Załącz wyjście %1";
constexpr const char* kSwitchOff = "Wyłącz wyjście %1";
constexpr const char* kAsInTest = " (np. jak w próbie %1)";
constexpr const char* kCallFromUser = "Zadzwoń z numeru użytkownika %1 (%2)";
constexpr const char* kCallFromNoUser = "Zadzwoń z numeru użytkownika (żaden nie ma numeru)";
constexpr const char* kCallFromUnknown = "Zadzwoń z numeru spoza listy użytkowników";
constexpr const char* kSendCodes =
    "Wyślij SMS z kodem załączenia (%1), potem z kodem wyłączenia (%2)";
constexpr const char* kSendOnCode = "Wyślij SMS z kodem załączenia (%1)";
constexpr const char* kSendOffCode = "Wyślij SMS z kodem wyłączenia (%1)";
constexpr const char* kWaitReport = "Odczekaj okres raportu: %1";
constexpr const char* kSendUnknownSms = "Wyślij do modułu SMS o treści, która nie jest kodem";
constexpr const char* kOutputOn = "wyjście %1 załącza się";
constexpr const char* kOutputOff = "wyjście %1 wyłącza się";
constexpr const char* kOutputToggle = "wyjście %1 zmienia stan";
constexpr const char* kOutputOnThenOff = "wyjście %1 załącza się, potem wyłącza";
constexpr const char* kSmsTo = "SMS „%1” do: %2";
constexpr const char* kEmptySmsTo = "SMS bez treści do: %1";
constexpr const char* kReportTo = "SMS z raportem do: %1";
constexpr const char* kForwardTo = "ten SMS przekazany do: %1";
constexpr const char* kCallTo = "połączenie (CLIP) do: %1";
constexpr const char* kUnavailableTicked = "zaznaczone pole „%1” (%2)";
constexpr const char* kControlHeading = "Sterowanie wyjściami";
constexpr const char* kControlOutput = "Wyjście";
constexpr const char* kControlByCall = "Dzwoniąc (CLIP)";
constexpr const char* kControlBySms = "Kody SMS";
constexpr const char* kCallersKnown = "użytkownicy z numerem (%1): %2";
constexpr const char* kCallersAnyone = "każdy numer, także nieznany: %1";
constexpr const char* kNoUserNumbers = "żaden";
constexpr const char* kSwitchesOn = "załącza";
constexpr const char* kSwitchesOff = "wyłącza";
constexpr const char* kToggles = "zmienia stan";
constexpr const char* kNotByCall = "nie";
constexpr const char* kSmsCodes = "załączenie: %1, wyłączenie: %2";
constexpr const char* kNoSmsCodes = "nie przyjmuje";
constexpr const char* kSignOffHeading = "Przekazanie";
constexpr const char* kHandedOver = "Przekazał";
constexpr const char* kReceived = "Odebrał";
constexpr const char* kSignName = "Imię i nazwisko";
constexpr const char* kSignDate = "Data";
constexpr const char* kSignature = "Podpis";

// The width of the caption column of every two-column table, so that the tables of
// one section line up.
constexpr const char* kCaptionWidth = "45%";
// A no-break space: a value and its unit stay on one line.
constexpr const char16_t kNoBreakSpace = u'\u00a0';

// The units the window's labels give a time in: the mark ending the label, the factor
// from the stored number, the unit printed and the decimals shown.
struct TimeUnit {
    const char* mark;
    int tenthsPerStep;  // a stored step in tenths of the unit
    const char* unit;
};
constexpr TimeUnit kTimeUnits[] = {
    {"[x 0,1s]", 1, "s"},
    {"[x 10s]", 100, "s"},
    {"[s]", 10, "s"},
    {"[h]", 10, "h"},
};

const TimeUnit* timeUnitOf(const std::string& label)
{
    for (const TimeUnit& unit : kTimeUnits)
        if (label.ends_with(unit.mark))
            return &unit;
    return nullptr;
}

// A caption without the unit mark the window puts after it: "Czas reakcji [x 0,1s]"
// gives "Czas reakcji".
std::string withoutUnit(const std::string& caption)
{
    if (const TimeUnit* unit = timeUnitOf(caption)) {
        std::string text = caption.substr(0, caption.size() - std::strlen(unit->mark));
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    }
    return caption;
}

// A stored number as the window's label means it: "1,0 s", "60 s", "24 h".
QString numberText(const std::string& label, int value)
{
    const TimeUnit* unit = timeUnitOf(label);
    if (!unit)
        return QString::number(value);
    const int tenths = value * unit->tenthsPerStep;
    QString number = QString::number(tenths / 10);
    if (unit->tenthsPerStep % 10 != 0)
        number += QLatin1Char(',') + QString::number(tenths % 10);
    return number + QChar(kNoBreakSpace) + QString::fromUtf8(unit->unit);
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
          options_(options), overview_(reactionOverview(effective_, users_))
    {
    }

    QString build()
    {
        html_ +=
            QStringLiteral("<!DOCTYPE html>\n<html lang=\"pl\"><head><meta charset=\"utf-8\">"
                           "<meta name=\"generator\" content=\"%1\">"
                           "<meta name=\"date\" content=\"%2\">"
                           "<title>%3</title>\n<style>%4</style></head><body>\n")
                .arg(
                    esc(QString::fromUtf8(kVersionFooter).arg(QString::fromUtf8(config::kVersion))),
                    esc(options_.date), esc(reportTitle(options_)), style());
        header();
        basicSettings();
        usersTable();
        inputsTable();
        outputsTable();
        reactionsTable();
        smsTexts();
        warnings();
        others();
        acceptanceTests();
        outputControl();
        signOff();
        html_ += QStringLiteral("</body></html>\n");
        return html_;
    }

private:
    static QString style()
    {
        return QStringLiteral("body{font-family:%1;font-size:%2pt}"
                              "h1{font-size:14pt}h2{font-size:11pt;margin-top:12px}"
                              "h3{font-size:9pt;margin-bottom:2px}"
                              "table{border-collapse:collapse}"
                              "td,th{border:1px solid #999;padding:2px 4px;vertical-align:top}"
                              "th{background:#e8e8e8;text-align:left}"
                              ".nowrap{white-space:nowrap}.box{font-size:12pt;text-align:center}")
            .arg(QString::fromUtf8(kFontFamilies))
            .arg(kFontPoints);
    }

    QString valueText(const SettingEntry& entry)
    {
        shown_.insert(entry.key);
        const SettingValue value = readSetting(record_, users_, entry);
        if (const int* number = std::get_if<int>(&value))
            return entry.kind == SettingKind::BitSet ? esc(tickedCaptions(entry, *number))
                                                     : esc(numberText(entry.label, *number));
        const std::string& text = std::get<std::string>(value);
        if (text.empty())
            return QString::fromUtf8(kNone);
        if (isSecretCode(entry.key) && !options_.showSecrets)
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

    // A bit set in words: the captions of its ticked boxes (a bit without one by its
    // number), or "nic nie zaznaczone".
    static QString tickedCaptions(const SettingEntry& entry, int bits)
    {
        QStringList captions;
        for (int bit = 0; bit < 8; ++bit) {
            if (((bits >> bit) & 1) == 0)
                continue;
            const auto meaning = std::find_if(entry.bits.begin(), entry.bits.end(),
                                              [bit](const BitMeaning& m) { return m.bit == bit; });
            captions << (meaning != entry.bits.end() ? u8(meaning->caption)
                                                     : QString::fromUtf8(kUnknownBit).arg(bit));
        }
        return captions.isEmpty() ? QString::fromUtf8(kNothingTicked)
                                  : captions.join(QStringLiteral("; "));
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
    void paragraph(const QString& text) { html_ += QStringLiteral("<p>%1</p>\n").arg(text); }

    void row(const QStringList& cells, const QString& cls = {})
    {
        html_ +=
            cls.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"%1\">").arg(cls);
        for (const QString& cell : cells)
            html_ += QStringLiteral("<td>%1</td>").arg(cell);
        html_ += QStringLiteral("</tr>\n");
    }

    // A table's heading row, repeated on every page the table runs on; `widths` gives
    // the columns' shares where they are set.
    void headingRow(const QStringList& cells, const QStringList& widths = {})
    {
        html_ += QStringLiteral("<thead><tr>");
        for (qsizetype i = 0; i < cells.size(); ++i)
            html_ += i < widths.size() && !widths[i].isEmpty()
                         ? QStringLiteral("<th width=\"%1\">%2</th>").arg(widths[i], cells[i])
                         : QStringLiteral("<th>%1</th>").arg(cells[i]);
        html_ += QStringLiteral("</tr></thead>\n");
    }

    // Two columns: a caption and its value, the captions equally wide in every such
    // table of the report.
    void pairTable(const std::vector<QStringList>& rows)
    {
        html_ += QStringLiteral("<table width=\"100%\">\n");
        for (const QStringList& cells : rows)
            html_ += QStringLiteral("<tr><td width=\"%1\">%2</td><td>%3</td></tr>\n")
                         .arg(QString::fromUtf8(kCaptionWidth), cells.value(0), cells.value(1));
        html_ += QStringLiteral("</table>\n");
    }

    void header()
    {
        html_ += QStringLiteral("<h1>%1</h1>\n<p>").arg(esc(QString::fromUtf8(kTitle)));
        const auto line = [&](const char* caption, const QString& value) {
            html_ += QStringLiteral("%1: <b>%2</b><br>")
                         .arg(esc(u8(caption)),
                              esc(value.isEmpty() ? QString::fromUtf8(kFillIn) : value));
        };
        line(kReportSiteCaption, options_.site);
        line(kReportAddressCaption, options_.address);
        line(kReportInstallerCaption, options_.installer);
        if (!options_.readBackPort.isEmpty())
            line(kReadBackCaption, options_.readBackPort);
        else if (options_.fileName.isEmpty())
            line(kFileCaption, QString::fromUtf8(kNoFile));
        else if (options_.fileDate.isEmpty())
            line(kFileCaption, options_.fileName);
        else
            line(kFileCaption,
                 QString::fromUtf8(kFileDate).arg(options_.fileName, options_.fileDate));
        if (!options_.serialNumber.isEmpty())
            line(kSerialCaption, options_.serialNumber);
        line(kDateCaption, options_.date);
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
                rowsOf(groupOf(parts))
                    .push_back({esc(withoutUnit(parts.back())), valueText(entry)});
        }
        for (const auto& [caption, rows] : groups) {
            html_ += QStringLiteral("<h3>%1</h3>\n").arg(esc(caption));
            pairTable(rows);
        }
    }

    QString userKey(int u) const { return QString::fromUtf8(kUserKey).arg(u); }

    void usersTable()
    {
        heading(kUsersHeading);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        headingRow({esc(u8(kUserColumn)), esc(labelParts(settingEntry("osoba[1]").label).back()),
                    esc(labelParts(settingEntry("nrUser[1]").label).back()),
                    esc(labelParts(settingEntry("uwagi[1]").label).back())},
                   {QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("15%")});
        for (int u = 1; u <= kUsers; ++u)
            row({userKey(u), valueText(settingEntry(settingKey("osoba", u))),
                 QStringLiteral("<span class=\"nowrap\">%1</span>")
                     .arg(valueText(settingEntry(settingKey("nrUser", u)))),
                 valueText(settingEntry(settingKey("uwagi", u)))});
        html_ += QStringLiteral("</table>\n");
    }

    // The inputs side by side: one row per setting, one column per input.
    void inputsTable()
    {
        heading(kInputsHeading);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        QStringList columns{esc(u8(kInputColumn))};
        QStringList widths{QStringLiteral("28%")};
        for (int k = 1; k <= kInputs; ++k) {
            columns << QString::number(k);
            widths << QStringLiteral("9%");
        }
        headingRow(columns, widths);
        for (const char* field : {"timerPod", "timerTorBuf"}) {
            QStringList cells{
                esc(withoutUnit(labelParts(settingEntry(settingKey(field, 1)).label).back()))};
            for (int k = 1; k <= kInputs; ++k)
                cells << QStringLiteral("<span class=\"nowrap\">%1</span>")
                             .arg(valueText(settingEntry(settingKey(field, k))));
            row(cells);
        }
        html_ += QStringLiteral("</table>\n");
    }

    void outputsTable()
    {
        heading(kOutputsHeading);
        const SettingEntry& options = settingEntry("flags");
        shown_.insert(options.key);
        const int optionBits = std::get<int>(readSetting(record_, users_, options));
        for (int n = 1; n <= kOutputs; ++n) {
            // The output's option boxes, then its codes and time.
            const std::string output =
                labelParts(settingEntry(settingKey("wyOffTimer", n)).label)[1];
            std::vector<QStringList> rows;
            for (const BitMeaning& meaning : options.bits)
                if (meaning.place == kOutputsHeading + std::string(kLabelSeparator) + output)
                    rows.push_back(
                        {esc(meaning.caption),
                         esc(u8((optionBits >> meaning.bit) & 1 ? kTicked : kNotTicked))});
            for (const char* field : {"zalWyCode", "wylWyCode", "wyOffTimer"}) {
                const SettingEntry& entry = settingEntry(settingKey(field, n));
                rows.push_back(
                    {esc(withoutUnit(labelParts(entry.label).back())), valueText(entry)});
            }
            html_ += QStringLiteral("<h3>%1</h3>\n").arg(esc(output));
            pairTable(rows);
        }
    }

    std::vector<const OverviewRow*> activeRows() const
    {
        std::vector<const OverviewRow*> rows;
        for (const OverviewRow& overviewRow : overview_.rows)
            if (overviewRow.active)
                rows.push_back(&overviewRow);
        return rows;
    }

    // The events that do nothing in one line: an input, a special input or a
    // confirmation whose reactions all do nothing by its own name (runs of inputs as
    // "Wejście 5–8"), the others by their labels.
    QString withoutReaction() const
    {
        QStringList names;
        std::vector<int> idleInputs;
        const auto flushInputs = [&] {
            for (std::size_t i = 0; i < idleInputs.size();) {
                std::size_t j = i;
                while (j + 1 < idleInputs.size() && idleInputs[j + 1] == idleInputs[j] + 1)
                    ++j;
                const QString name = u8(labelParts(overview_.rows.front().label).front());
                const QString prefix = name.left(name.lastIndexOf(QLatin1Char(' ')) + 1);
                names << (j == i ? prefix + QString::number(idleInputs[i])
                                 : prefix + QString::number(idleInputs[i]) + QStringLiteral("–") +
                                       QString::number(idleInputs[j]));
                i = j + 1;
            }
            idleInputs.clear();
        };
        const auto& rows = overview_.rows;
        for (std::size_t i = 0; i < rows.size();) {
            std::size_t j = i;
            const bool grouped = rows[i].reaction != 0;
            while (grouped && j + 1 < rows.size() && rows[j + 1].event == rows[i].event &&
                   rows[j + 1].entry == rows[i].entry)
                ++j;
            const bool allIdle = std::all_of(rows.begin() + static_cast<std::ptrdiff_t>(i),
                                             rows.begin() + static_cast<std::ptrdiff_t>(j + 1),
                                             [](const OverviewRow& r) { return !r.active; });
            if (rows[i].event == OverviewEvent::Input && allIdle) {
                idleInputs.push_back(rows[i].entry);
            } else {
                flushInputs();
                if (grouped && allIdle) {
                    const std::vector<std::string> parts = labelParts(rows[i].label);
                    names << u8(joinParts(parts, 0, parts.size() - 1));
                } else {
                    for (std::size_t r = i; r <= j; ++r)
                        if (!rows[r].active)
                            names << u8(rows[r].label);
                }
            }
            i = j + 1;
        }
        flushInputs();
        return names.join(QStringLiteral(", "));
    }

    // Who an event tells, as keys: "U1 (Jan Nowak), U3".
    QString usersNamed(const std::array<bool, kUsers>& told) const
    {
        QStringList users;
        for (int u = 1; u <= kUsers; ++u) {
            if (!told[static_cast<std::size_t>(u - 1)])
                continue;
            const std::string name = std::get<std::string>(
                readSetting(record_, users_, settingEntry(settingKey("osoba", u))));
            users << (name.empty() ? userKey(u)
                                   : userKey(u) + QStringLiteral(" (") + u8(readableText(name)) +
                                         QStringLiteral(")"));
        }
        return users.join(QStringLiteral(", "));
    }

    // The reactions: only the events that do something, the users as keys with a
    // legend of their names and numbers, the output symbols explained.
    void reactionsTable()
    {
        heading(kReactionsHeading);
        const std::vector<const OverviewRow*> rows = activeRows();
        for (const OverviewRow* overviewRow : rows)
            for (const std::string& key : overviewRow->keys)
                shown_.insert(key);
        if (rows.empty()) {
            paragraph(esc(u8(kNoReactions)));
            return;
        }
        using C = OverviewColumns;
        const bool unavailable = std::any_of(rows.begin(), rows.end(), [](const OverviewRow* r) {
            return r->unavailableTicked > 0;
        });
        QStringList headings{esc(overviewHeadingLines(overview_, C::kEvent).front()),
                             esc(overviewHeadingLines(overview_, C::kOutput1).front()),
                             esc(overviewHeadingLines(overview_, C::kOutput2).front())};
        QStringList widths{QStringLiteral("26%"), QStringLiteral("8%"), QStringLiteral("8%")};
        if (unavailable) {
            headings << esc(overviewHeadingLines(overview_, C::kUnavailable).front());
            widths << QStringLiteral("9%");
        }
        for (int u = 1; u <= kUsers; ++u) {
            headings << userKey(u);
            widths << QStringLiteral("6%");
        }
        headings << esc(overviewHeadingLines(overview_, C::kText).front());
        html_ += QStringLiteral("<table width=\"100%\">\n");
        headingRow(headings, widths);
        for (const OverviewRow* overviewRow : rows) {
            QStringList cells{esc(overviewCell(*overviewRow, C::kEvent, options_.showSecrets)),
                              esc(overviewCell(*overviewRow, C::kOutput1)),
                              esc(overviewCell(*overviewRow, C::kOutput2))};
            if (unavailable)
                cells << esc(overviewCell(*overviewRow, C::kUnavailable));
            for (int u = 0; u < kUsers; ++u) {
                QStringList told;
                for (int column : {C::kFirstUser + 2 * u, C::kFirstUser + 2 * u + 1})
                    if (!overviewCell(*overviewRow, column).empty())
                        told << esc(overviewHeadingLines(overview_, column).back());
                cells << told.join(QStringLiteral("<br>"));
            }
            cells << esc(overviewCell(*overviewRow, C::kText, options_.showSecrets));
            row(cells);
        }
        html_ += QStringLiteral("</table>\n<p>");
        for (int u = 1; u <= kUsers; ++u) {
            const OverviewUser& user = overview_.users[static_cast<std::size_t>(u - 1)];
            const QString number =
                user.number.empty()
                    ? u8(overviewHeadingLines(overview_, C::kFirstUser + 2 * (u - 1))[1])
                    : u8(user.number);
            html_ += QStringLiteral("<b>%1</b>: %2, <span class=\"nowrap\">%3</span>%4")
                         .arg(userKey(u), esc(user.name), esc(number),
                              u < kUsers ? QStringLiteral("; ") : QStringLiteral("<br>"));
        }
        for (const std::string& line : overviewLegend()) {
            // The user columns say "SMS" and "CLIP" in words; the unavailable boxes'
            // symbol only where its column is.
            if (line.starts_with(kSymbolTold) ||
                (!unavailable && line.starts_with(kSymbolUnavailable)))
                continue;
            html_ += esc(line) + QStringLiteral("<br>");
        }
        html_ += QStringLiteral("</p>\n");
        const QString idle = withoutReaction();
        if (!idle.isEmpty())
            paragraph(esc(QString::fromUtf8(kWithoutReaction) + idle));
    }

    // The text of every reaction the window shows that holds one, in page order.
    void smsTexts()
    {
        heading(kTextsHeading);
        std::vector<QStringList> rows;
        bool emptyLeft = false;
        for (const SettingEntry& entry : settingsCatalogue()) {
            if (entry.hidden ||
                (!entry.key.starts_with("smsWeRe") && !entry.key.starts_with("smsSpecWeRe")))
                continue;
            if (std::get<std::string>(readSetting(record_, users_, entry)).empty()) {
                shown_.insert(entry.key);
                emptyLeft = true;
                continue;
            }
            const std::vector<std::string> parts = labelParts(entry.label);
            rows.push_back({esc(joinParts(parts, 1, parts.size() - 1)), valueText(entry)});
        }
        if (!rows.empty())
            pairTable(rows);
        if (emptyLeft)
            paragraph(esc(u8(kOtherTextsEmpty)));
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
        std::vector<QStringList> rows;
        for (const SettingEntry* entry : left)
            rows.push_back({esc(withoutUnit(entry->label)), valueText(*entry)});
        pairTable(rows);
    }

    QString code(const std::string& text) const
    {
        if (text.empty())
            return QString::fromUtf8(kNone);
        return options_.showSecrets ? u8(text) : QString::fromUtf8(kHidden);
    }

    QString timeOf(const char* field, int index = 0) const
    {
        const SettingEntry& entry = settingEntry(index ? settingKey(field, index) : field);
        return numberText(entry.label, std::get<int>(readSetting(record_, users_, entry)));
    }

    // What to do to set an event off. `rows` are the tests so far, to name one that
    // switches an output a confirmation follows.
    QString testAction(const OverviewRow& r, const std::vector<const OverviewRow*>& rows) const
    {
        const bool first = r.reaction == 1;
        switch (r.event) {
        case OverviewEvent::Input:
            return QString::fromUtf8(first ? kGroundOn : kGroundOff).arg(r.entry) +
                   QStringLiteral(" (") +
                   QString::fromUtf8(kInputTimes)
                       .arg(timeOf("timerPod", r.entry), timeOf("timerTorBuf", r.entry)) +
                   QStringLiteral(")");
        case OverviewEvent::SpecialInput:
            return QString::fromUtf8(r.entry == 3 ? (first ? kTamperOn : kTamperOff)
                                                  : (first ? kBlockingOn : kBlockingOff));
        case OverviewEvent::Confirmation: {
            QString action = QString::fromUtf8(first ? kSwitchOn : kSwitchOff).arg(r.entry);
            const auto output = static_cast<std::size_t>(r.entry - 1);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const OutputEffect& effect = rows[i]->outputs[output];
                if (rows[i]->hasOutputs && (effect.toggle || (first ? effect.on : effect.off)))
                    return action + QString::fromUtf8(kAsInTest).arg(i + 1);
            }
            return action;
        }
        case OverviewEvent::ClipFromUser:
            for (int u = 1; u <= kUsers; ++u) {
                const OverviewUser& user = overview_.users[static_cast<std::size_t>(u - 1)];
                if (!user.number.empty())
                    return QString::fromUtf8(kCallFromUser).arg(u).arg(u8(user.number));
            }
            return QString::fromUtf8(kCallFromNoUser);
        case OverviewEvent::ClipFromUnknown:
            return QString::fromUtf8(kCallFromUnknown);
        case OverviewEvent::SmsControl:
            if (!r.onCode.empty() && !r.offCode.empty())
                return QString::fromUtf8(kSendCodes).arg(code(r.onCode), code(r.offCode));
            return r.onCode.empty() ? QString::fromUtf8(kSendOffCode).arg(code(r.offCode))
                                    : QString::fromUtf8(kSendOnCode).arg(code(r.onCode));
        case OverviewEvent::PeriodicReport:
            return QString::fromUtf8(kWaitReport).arg(timeOf("testOkr"));
        case OverviewEvent::UnidentifiedSms:
            return QString::fromUtf8(kSendUnknownSms);
        }
        return {};
    }

    // What must follow an event: the outputs it switches, who gets an SMS with which
    // text, who is called.
    QString testExpected(const OverviewRow& r) const
    {
        QStringList parts;
        for (int n = 1; n <= kOutputs; ++n) {
            const OutputEffect& effect = r.outputs[static_cast<std::size_t>(n - 1)];
            if (!r.hasOutputs)
                break;
            if (effect.on && effect.off && r.event == OverviewEvent::SmsControl)
                parts << QString::fromUtf8(kOutputOnThenOff).arg(n);
            else {
                if (effect.on)
                    parts << QString::fromUtf8(kOutputOn).arg(n);
                if (effect.off)
                    parts << QString::fromUtf8(kOutputOff).arg(n);
            }
            if (effect.toggle)
                parts << QString::fromUtf8(kOutputToggle).arg(n);
        }
        if (r.unavailableTicked > 0)
            parts << QString::fromUtf8(kUnavailableTicked)
                         .arg(QString::fromUtf8(kUnavailableOption))
                         .arg(r.unavailableTicked);
        const bool anySms = std::any_of(r.sms.begin(), r.sms.end(), [](bool b) { return b; });
        if (r.hasSms && anySms) {
            const QString to = usersNamed(r.sms);
            switch (r.event) {
            case OverviewEvent::ClipFromUser:
            case OverviewEvent::ClipFromUnknown:
            case OverviewEvent::PeriodicReport:
                parts << QString::fromUtf8(kReportTo).arg(to);
                break;
            case OverviewEvent::UnidentifiedSms:
                parts << QString::fromUtf8(kForwardTo).arg(to);
                break;
            default:
                parts << (r.text.empty() ? QString::fromUtf8(kEmptySmsTo).arg(to)
                                         : QString::fromUtf8(kSmsTo).arg(u8(r.text), to));
            }
        }
        if (r.hasClip && std::any_of(r.clip.begin(), r.clip.end(), [](bool b) { return b; }))
            parts << QString::fromUtf8(kCallTo).arg(usersNamed(r.clip));
        return parts.join(QStringLiteral("; "));
    }

    // One row per event that does something: what to do, what must follow, a box to tick.
    void acceptanceTests()
    {
        heading(kTestsHeading);
        const std::vector<const OverviewRow*> rows = activeRows();
        if (rows.empty()) {
            paragraph(esc(u8(kNoTests)));
            return;
        }
        html_ += QStringLiteral("<table width=\"100%\">\n");
        headingRow({esc(u8(kTestNumber)), esc(u8(kTestEvent)), esc(u8(kTestAction)),
                    esc(u8(kTestExpected)), esc(u8(kTestDone))},
                   {QStringLiteral("4%"), QStringLiteral("22%"), QStringLiteral("30%"), QString(),
                    QStringLiteral("5%")});
        for (std::size_t i = 0; i < rows.size(); ++i)
            html_ += QStringLiteral("<tr class=\"test\"><td>%1</td><td>%2</td><td>%3</td>"
                                    "<td>%4</td><td class=\"box\">%5</td></tr>\n")
                         .arg(i + 1)
                         .arg(esc(rows[i]->label), esc(testAction(*rows[i], rows)),
                              esc(testExpected(*rows[i])), esc(u8(kTestBox)));
        html_ += QStringLiteral("</table>\n");
    }

    // Who may switch which output by calling, and which outputs take SMS codes.
    void outputControl()
    {
        heading(kControlHeading);
        const auto rowOf = [this](OverviewEvent event, int entry) -> const OverviewRow& {
            return *std::find_if(overview_.rows.begin(), overview_.rows.end(),
                                 [&](const OverviewRow& r) {
                                     return r.event == event && (entry == 0 || r.entry == entry);
                                 });
        };
        std::array<bool, kUsers> withNumber{};
        for (int u = 0; u < kUsers; ++u)
            withNumber[static_cast<std::size_t>(u)] =
                !overview_.users[static_cast<std::size_t>(u)].number.empty();
        QString callers = usersNamed(withNumber);
        if (callers.isEmpty())
            callers = QString::fromUtf8(kNoUserNumbers);
        const auto effects = [](const OutputEffect& effect) {
            QStringList words;
            if (effect.on)
                words << QString::fromUtf8(kSwitchesOn);
            if (effect.off)
                words << QString::fromUtf8(kSwitchesOff);
            if (effect.toggle)
                words << QString::fromUtf8(kToggles);
            return words.join(QStringLiteral(", "));
        };
        html_ += QStringLiteral("<table width=\"100%\">\n");
        headingRow({esc(u8(kControlOutput)), esc(u8(kControlByCall)), esc(u8(kControlBySms))},
                   {QStringLiteral("12%"), QStringLiteral("58%")});
        for (int n = 1; n <= kOutputs; ++n) {
            const auto i = static_cast<std::size_t>(n - 1);
            QStringList byCall;
            const QString known = effects(rowOf(OverviewEvent::ClipFromUser, 0).outputs[i]);
            if (!known.isEmpty())
                byCall << QString::fromUtf8(kCallersKnown).arg(callers, known);
            const QString anyone = effects(rowOf(OverviewEvent::ClipFromUnknown, 0).outputs[i]);
            if (!anyone.isEmpty())
                byCall << QString::fromUtf8(kCallersAnyone).arg(anyone);
            const OverviewRow& sms = rowOf(OverviewEvent::SmsControl, n);
            row({QString::number(n),
                 esc(byCall.isEmpty() ? QString::fromUtf8(kNotByCall)
                                      : byCall.join(QStringLiteral("; "))),
                 esc(sms.active
                         ? QString::fromUtf8(kSmsCodes).arg(code(sms.onCode), code(sms.offCode))
                         : QString::fromUtf8(kNoSmsCodes))});
        }
        html_ += QStringLiteral("</table>\n");
    }

    // Przekazał / Odebrał: names (the installer's when given), dates and signatures.
    void signOff()
    {
        heading(kSignOffHeading);
        html_ += QStringLiteral("<table width=\"100%\">\n");
        headingRow({QString(), esc(u8(kHandedOver)), esc(u8(kReceived))},
                   {QStringLiteral("20%"), QStringLiteral("40%"), QStringLiteral("40%")});
        row({esc(u8(kSignName)), esc(options_.installer), QString()});
        row({esc(u8(kSignDate)), QString(), QString()});
        // Room for a signature: three lines high.
        const QString room = QStringLiteral("&nbsp;<br>&nbsp;<br>&nbsp;");
        row({esc(u8(kSignature)), room, room});
        html_ += QStringLiteral("</table>\n");
    }

    const EffectiveSettings effective_;
    const SettingsRecord& record_;
    const UserDirectory users_;
    const ReportOptions& options_;
    const ReactionOverview overview_;
    QString html_;
    std::set<std::string> shown_;  // the keys of the settings shown so far
};

// The report's font, loaded from its file when the font database lacks the family.
// Shaping is off: no ligature ("ﬁ") replaces letters, so the PDF's text layer finds
// "konfiguracji" as it is written.
QFont reportFont(int points = kFontPoints)
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
    QFont font(QString::fromUtf8(kFontFamily), points);
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The document property holding the footer's date.
constexpr const char* kFooterDateProperty = "tarnikReportDate";
constexpr int kFooterPoints = 7;

// The block an event's heading must share its page with: the next paragraph, or for a
// table its first row below the heading row.
QTextBlock followerOf(const QTextBlock& heading)
{
    const QTextBlock next = heading.next();
    if (!next.isValid())
        return next;
    if (QTextTable* table = QTextCursor(next).currentTable()) {
        const int row = std::min(table->format().headerRowCount(), table->rows() - 1);
        return table->cellAt(row, 0).firstCursorPosition().block();
    }
    return next;
}

// The page a point of the laid-out document lies on.
int pageAt(qreal y, qreal pageHeight)
{
    return static_cast<int>(y / pageHeight);
}

void setPageBreakPolicy(const QTextBlock& block, QTextFormat::PageBreakFlags policy)
{
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(policy);
    QTextCursor(block).setBlockFormat(format);
}

// No heading stands alone at a page's foot: the first heading whose follower lands on a
// later page starts a page itself. True when a heading was moved.
bool keepHeadingWithFollower(QTextDocument& document, qreal pageHeight)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const auto pageOf = [&](const QTextBlock& block) {
        return pageAt(layout->blockBoundingRect(block).bottom(), pageHeight);
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 ||
            block.blockFormat().pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore)
            continue;
        const QTextBlock follower = followerOf(block);
        if (follower.isValid() && pageOf(follower) > pageOf(block)) {
            setPageBreakPolicy(block, QTextFormat::PageBreak_AlwaysBefore);
            return true;
        }
    }
    return false;
}

// The top and bottom of a table row as laid out: from its cells' first to last lines.
struct RowExtent {
    qreal top = 0;
    qreal bottom = 0;
};
RowExtent rowExtent(QTextTable& table, int row, QAbstractTextDocumentLayout& layout)
{
    RowExtent extent{std::numeric_limits<qreal>::max(), std::numeric_limits<qreal>::lowest()};
    for (int column = 0; column < table.columns(); ++column) {
        const QTextTableCell cell = table.cellAt(row, column);
        if (cell.row() != row || cell.column() != column)
            continue;  // covered by a cell spanning into it
        const QTextBlock last = cell.lastCursorPosition().block();
        for (QTextBlock block = cell.firstCursorPosition().block(); block.isValid();
             block = block.next()) {
            const QRectF box = layout.blockBoundingRect(block);
            extent.top = std::min(extent.top, box.top());
            extent.bottom = std::max(extent.bottom, box.bottom());
            if (block == last)
                break;
        }
    }
    return extent;
}

// Fixes the table's column widths at the shares of its width they take now, so that the
// parts of a table split in two keep the same columns.
void fixColumnWidths(QTextTable& table, QAbstractTextDocumentLayout& layout)
{
    const int columns = table.columns();
    std::vector<qreal> lefts(static_cast<std::size_t>(columns) + 1, 0);
    const QRectF frame = layout.frameBoundingRect(&table);
    for (int column = 0; column < columns; ++column) {
        qreal left = frame.right();
        for (int row = 0; row < table.rows(); ++row) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.column() == column && cell.columnSpan() == 1)
                left = std::min(
                    left, layout.blockBoundingRect(cell.firstCursorPosition().block()).left());
        }
        lefts[static_cast<std::size_t>(column)] = left;
    }
    lefts.front() = frame.left();
    lefts.back() = frame.right();
    QList<QTextLength> widths;
    for (int column = 0; column < columns; ++column)
        widths << QTextLength(QTextLength::PercentageLength,
                              100 * (lefts[column + 1] - lefts[column]) / frame.width());
    QTextTableFormat format = table.format();
    format.setColumnWidthConstraints(widths);
    table.setFormat(format);
}

// An empty block Qt keeps between a table and what follows it, made as thin as it goes.
void thinSpacer(const QTextBlock& block, QTextFormat::PageBreakFlags policy)
{
    QTextBlockFormat format;
    format.setLineHeight(1, QTextBlockFormat::FixedHeight);
    format.setPageBreakPolicy(policy);
    QTextCharFormat font;
    font.setFontPointSize(1);
    QTextCursor cursor(block);
    cursor.setBlockFormat(format);
    cursor.setBlockCharFormat(font);
}

// Moves the rows of `table` from `first` on into a new table of the same format just
// below it on the next page; the heading rows are repeated at its top.
void moveRowsToNextPage(QTextTable& table, int first)
{
    const int headings = table.format().headerRowCount();
    const int moved = table.rows() - first;
    QTextCursor after(table.document());
    after.setPosition(table.lastPosition() + 1);
    QTextTable* rest = after.insertTable(headings + moved, table.columns(), table.format());
    const auto copyRow = [&](int from, int to) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell source = table.cellAt(from, column);
            QTextTableCell target = rest->cellAt(to, column);
            target.setFormat(source.format());
            QTextCursor content = source.firstCursorPosition();
            content.setPosition(source.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            target.firstCursorPosition().insertFragment(content.selection());
        }
    };
    for (int row = 0; row < headings; ++row)
        copyRow(row, row);
    for (int row = 0; row < moved; ++row)
        copyRow(first + row, headings + row);
    table.removeRows(first, moved);
    // Qt puts an empty block on either side of the new table: the one before it starts
    // the page, neither takes room.
    QTextDocument* document = table.document();
    thinSpacer(document->findBlock(rest->firstPosition() - 1), QTextFormat::PageBreak_AlwaysBefore);
    const QTextBlock below = document->findBlock(rest->lastPosition() + 1);
    if (below.text().isEmpty() && below.next().isValid() && !QTextCursor(below).currentTable())
        thinSpacer(below, QTextFormat::PageBreak_Auto);
}

// No table row is split across two pages: the first row that starts on one page and
// ends on a later one moves to the next page with the rest of its table, under the
// table's heading row. When that is the table's first row, the table moves whole, with
// the block above it (its heading). A row taller than a page stays as it is. True when
// something was moved.
bool keepRowWhole(QTextDocument& document, qreal pageHeight)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        const int headings = table->format().headerRowCount();
        const qreal headingHeight = headings == 0
                                        ? 0
                                        : rowExtent(*table, headings - 1, *layout).bottom -
                                              rowExtent(*table, 0, *layout).top;
        for (int row = headings; row < table->rows(); ++row) {
            const RowExtent extent = rowExtent(*table, row, *layout);
            if (pageAt(extent.top, pageHeight) == pageAt(extent.bottom - 0.5, pageHeight) ||
                extent.bottom - extent.top + headingHeight > pageHeight)
                continue;
            if (row > headings) {
                // A row already first on its page, under the repeated heading row, would
                // split on the next page as well.
                if (pageAt(rowExtent(*table, row - 1, *layout).bottom - 0.5, pageHeight) <
                    pageAt(extent.top, pageHeight))
                    continue;
                fixColumnWidths(*table, *layout);
                moveRowsToNextPage(*table, row);
                return true;
            }
            // The table moves with the block above it, unless that already starts a page.
            const QTextBlock above = document.findBlock(table->firstPosition() - 1);
            const QTextBlock before = above.previous();
            if (above.blockFormat().pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore ||
                !before.isValid() ||
                pageAt(layout->blockBoundingRect(before).bottom() - 0.5, pageHeight) <
                    pageAt(layout->blockBoundingRect(above).bottom() - 0.5, pageHeight))
                break;
            setPageBreakPolicy(above, QTextFormat::PageBreak_AlwaysBefore);
            return true;
        }
    }
    return false;
}

// Tables whose first row is a heading row repeat it on every page they run on.
void repeatTableHeadings(QTextDocument& document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table || table->rows() < 2)
            continue;
        // The HTML gives heading rows bold cells on a grey ground (<th>).
        const QTextCharFormat first = table->cellAt(0, 0).format();
        if (table->cellAt(0, 0).format().background().style() == Qt::NoBrush &&
            first.fontWeight() < QFont::Bold)
            continue;
        QTextTableFormat format = table->format();
        if (format.headerRowCount() == 0) {
            format.setHeaderRowCount(1);
            table->setFormat(format);
        }
    }
}

}  // namespace

QString reportTitle(const ReportOptions& options)
{
    const QString title = QString::fromUtf8(kTitle);
    const QString site = options.site.isEmpty() ? QString() : options.site + QStringLiteral(" — ");
    if (!options.readBackPort.isEmpty())
        return title + QStringLiteral(" — ") + site +
               QString::fromUtf8(kReadBackSource).arg(options.readBackPort);
    if (options.fileName.isEmpty())
        return options.site.isEmpty() ? title : title + QStringLiteral(" — ") + options.site;
    return title + QStringLiteral(" — ") + site + options.fileName;
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
    // Words and numbers never break inside; a cell grows to its longest word instead.
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    document->setDefaultTextOption(option);
    // The page layout's margins are the only ones.
    document->setDocumentMargin(0);
    document->setHtml(html);
    repeatTableHeadings(*document);
    static const QRegularExpression date(
        QStringLiteral("<meta name=\"date\" content=\"([^\"]*)\">"));
    const QRegularExpressionMatch match = date.match(html);
    QTextDocument unescape;
    unescape.setHtml(match.captured(1));
    document->setProperty(kFooterDateProperty, unescape.toPlainText());
    return document;
}

void printReport(const QTextDocument& report, QPagedPaintDevice& device)
{
    // Pages are made on a copy: the moves below change the document, and the print
    // preview prints the same one again for each page setup.
    const std::unique_ptr<QTextDocument> copy(report.clone());
    QTextDocument& document = *copy;
    document.setDefaultFont(report.defaultFont());
    document.setDefaultTextOption(report.defaultTextOption());
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        throw std::runtime_error("Nie można rozpocząć drukowania raportu.");
    // Laid out for the device itself: its resolution, the page's width, the height
    // left above the footer.
    document.documentLayout()->setPaintDevice(&device);
    document.setDocumentMargin(0);
    const QFont footerFont = reportFont(kFooterPoints);
    const QFontMetricsF footerMetrics(footerFont, &device);
    const QSizeF body(device.width(), device.height() - 2 * footerMetrics.height());
    document.setPageSize(body);
    // Each move pushes content down and relays the document part by part, so it is laid
    // out whole before the next look; the moves end when nothing is left to move.
    do
        document.markContentsDirty(0, document.characterCount());
    while (keepHeadingWithFollower(document, body.height()) ||
           keepRowWhole(document, body.height()));

    const int pages = document.pageCount();
    const QString left =
        QStringList{report.property(kFooterDateProperty).toString(),
                    QString::fromUtf8(kVersionFooter).arg(QString::fromUtf8(config::kVersion))}
            .filter(QRegularExpression(QStringLiteral(".")))
            .join(QStringLiteral(" · "));
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        painter.save();
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        const QRectF footer(0, device.height() - footerMetrics.height(), device.width(),
                            footerMetrics.height());
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, left);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                         QString::fromUtf8(kPageFooter).arg(page + 1).arg(pages));
    }
    painter.end();
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
    // A browser prints it on A4 with the report's margins, repeats table headings and
    // keeps rows and headings whole.
    static const QString print =
        QStringLiteral("<style media=\"print\">@page{size:A4;margin:%1mm}"
                       "thead{display:table-header-group}tr{page-break-inside:avoid}"
                       "h2,h3{page-break-after:avoid}</style>")
            .arg(kMarginMm);
    QString file = html;
    file.replace(QStringLiteral("</head>"), print + QStringLiteral("</head>"));
    return file.toUtf8();
}

QString reportDate(const QDateTime& time)
{
    return time.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString reportDate()
{
    return reportDate(QDateTime::currentDateTime());
}

}  // namespace tarnik

// tarnik-cli report: the PDF read back through poppler's tools (pdftotext, pdfinfo,
// pdffonts) holds every setting that differs from the factory defaults, keeps the
// secrets masked unless asked, keeps its Polish letters, is A4 and embeds its fonts.

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <regex>
#include <sstream>

#include "cli_fixture.h"
#include "configured_settings.h"
#include "model/codepage.h"
#include "model/effective_settings.h"
#include "model/reaction_bits.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

// Standard output of a shell command.
std::string commandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// Table cells wrap long texts, so texts are compared without any white space.
std::string withoutSpace(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](unsigned char c) { return std::isspace(c) != 0; }),
               text.end());
    return text;
}

class ReportCli : public Cli {
protected:
    void SetUp() override
    {
        configured = test::fullyConfigured();
        file = saveSettings("szkoła.zvn", configured.record, configured.users);
    }

    // The PDF's text, without white space.
    std::string pdfText(const std::string& pdf)
    {
        return withoutSpace(commandOutput("pdftotext -enc UTF-8 '" + pdf + "' -"));
    }

    test::ConfiguredSettings configured;
    std::string file;
};

TEST_F(ReportCli, EverySettingAwayFromTheDefaultsIsInThePdf)
{
    const std::string pdf = path("raport.pdf");
    const CliResult r = run({"report", file, "-o", pdf, "--show-secrets"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = pdfText(pdf);
    const SettingsRecord effective = effectiveSettings(configured.record).record();
    const SettingsRecord defaults = effectiveSettings(startupSettings()).record();
    int checked = 0;
    for (const SettingEntry* entry :
         differingSettings(effective, configured.users, defaults, UserDirectory{})) {
        const SettingValue value = readSetting(effective, configured.users, *entry);
        std::string expected;
        if (entry->kind == SettingKind::Number && entry->label.back() == ']')
            continue;  // times carry their units, checked below
        if (entry->kind == SettingKind::Number)
            expected = std::to_string(std::get<int>(value));
        else if (entry->kind == SettingKind::Text || entry->kind == SettingKind::Code)
            expected = fromCp1250(std::get<std::string>(value)).toStdString();
        else
            continue;  // bit sets are shown in words and symbols
        EXPECT_NE(text.find(withoutSpace(expected)), std::string::npos)
            << entry->key << " = " << expected;
        ++checked;
    }
    EXPECT_GE(checked, 50);  // numbers, texts and codes of the configured module
    // Times as the window's labels mean them: tenths of a second, tens of seconds, hours.
    for (const char* time : {"10,0s", "10,7s", "1100s", "1170s", "121s", "23h", "200s", "202s"})
        EXPECT_NE(text.find(time), std::string::npos) << time;
    // The hidden settings a foreign file may hold are listed under their labels.
    EXPECT_NE(text.find(withoutSpace(findSetting("numberSpecWeRe[4][1]")->label)),
              std::string::npos);
}

TEST_F(ReportCli, SecretsAreMaskedUnlessAsked)
{
    const std::vector<std::string> secrets{test::kConfiguredPin,
                                           test::kConfiguredAccessCode,
                                           test::kConfiguredOutputCodes[0],
                                           test::kConfiguredOutputCodes[1],
                                           test::kConfiguredOutputCodes[2],
                                           test::kConfiguredOutputCodes[3]};
    const struct {
        std::vector<std::string> extra;
        bool shown;
    } cases[] = {{{}, false}, {{"--show-secrets"}, true}};
    for (const auto& c : cases) {
        for (const char* name : {"raport.pdf", "raport.html"}) {
            std::vector<std::string> args{"report", file, "-o", path(name)};
            args.insert(args.end(), c.extra.begin(), c.extra.end());
            const CliResult r = run(args);
            ASSERT_EQ(r.status, 0) << r.err;
            const std::string text = std::string(name).ends_with(".pdf")
                                         ? pdfText(path(name))
                                         : withoutSpace(readFile(path(name)));
            for (const std::string& secret : secrets)
                EXPECT_EQ(text.find(secret) != std::string::npos, c.shown) << name << " " << secret;
            EXPECT_EQ(text.find("****") != std::string::npos, !c.shown) << name;
        }
    }
}

TEST_F(ReportCli, PolishA4WithEmbeddedFonts)
{
    const std::string pdf = path("raport.pdf");
    ASSERT_EQ(run({"report", file, "-o", pdf}).status, 0);
    const std::string text = pdfText(pdf);
    for (const char* polish :
         {"Plik:szkoła.zvn", "ŁukaszŻółć", "GrażynaŚlęzak", "zażółćgęśląjaźń", "ŻÓŁĆźdźbło"})
        EXPECT_NE(text.find(polish), std::string::npos) << polish;

    const std::string info = commandOutput("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

    // pdffonts: two heading lines, then one line per font ending in "emb sub uni ...".
    const std::string fonts = commandOutput("pdffonts '" + pdf + "'");
    std::istringstream lines(fonts);
    std::string line;
    int fontLines = 0;
    for (int n = 0; std::getline(lines, line); ++n) {
        if (n < 2)
            continue;
        ++fontLines;
        EXPECT_NE(line.find("DejaVu"), std::string::npos) << line;
        std::istringstream words(line.substr(line.find("  ")));
        std::vector<std::string> columns{std::istream_iterator<std::string>(words), {}};
        ASSERT_GE(columns.size(), 5u) << line;
        EXPECT_EQ(columns[columns.size() - 5], "yes") << "not embedded: " << line;
    }
    EXPECT_GT(fontLines, 0) << fonts;
}

// Words of `pdftotext -bbox`: each page's words with their boxes in points.
struct PdfWord {
    double xMin, yMin, xMax, yMax;
    std::string text;
};
std::vector<std::vector<PdfWord>> pdfWords(const std::string& pdf)
{
    const std::string xml = commandOutput("pdftotext -bbox '" + pdf + "' -");
    std::vector<std::vector<PdfWord>> pages;
    std::istringstream lines(xml);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("<page ") != std::string::npos)
            pages.emplace_back();
        PdfWord w{};
        char text[512] = {};
        if (std::sscanf(line.c_str(),
                        " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%511[^<]",
                        &w.xMin, &w.yMin, &w.xMax, &w.yMax, text) == 5 &&
            !pages.empty()) {
            w.text = text;
            pages.back().push_back(w);
        }
    }
    return pages;
}

// The pages of `pdftotext -layout`, split at form feeds.
std::vector<std::string> pdfPages(const std::string& pdf)
{
    std::vector<std::string> pages{""};
    for (char c : commandOutput("pdftotext -layout -enc UTF-8 '" + pdf + "' -"))
        if (c == '\f')
            pages.emplace_back();
        else
            pages.back() += c;
    if (pages.back().find_first_not_of(" \n") == std::string::npos)
        pages.pop_back();
    return pages;
}

// On paper: 15 mm margins on every page, a footer "Strona n z N" on each, the reactions'
// heading on every page holding their rows, no heading alone at a page's foot, phone
// numbers whole, a text layer without ligatures.
TEST_F(ReportCli, ReadsWellOnPaper)
{
    const std::string pdf = path("raport.pdf");
    ASSERT_EQ(run({"report", file, "-o", pdf, "--site", "Szkoła nr 3", "--address",
                   "ul. Lipowa 5, Wieś", "--installer", "Jan Kowalski"})
                  .status,
              0);
    constexpr double kPointsPerMm = 72 / 25.4;
    constexpr double kPageWidth = 210 * kPointsPerMm;
    const std::vector<std::vector<PdfWord>> words = pdfWords(pdf);
    const std::vector<std::string> pages = pdfPages(pdf);
    ASSERT_GE(words.size(), 3u);
    ASSERT_EQ(words.size(), pages.size());
    for (std::size_t p = 0; p < words.size(); ++p) {
        double left = kPageWidth, right = 0;
        for (const PdfWord& w : words[p]) {
            left = std::min(left, w.xMin);
            right = std::max(right, w.xMax);
        }
        EXPECT_NEAR(left / kPointsPerMm, 15, 1) << "page " << p + 1;
        EXPECT_NEAR((kPageWidth - right) / kPointsPerMm, 15, 1) << "page " << p + 1;
        const std::string footer =
            "Strona " + std::to_string(p + 1) + " z " + std::to_string(pages.size());
        EXPECT_NE(pages[p].find(footer), std::string::npos) << footer;
        // A page with a reaction row (an event switching an output: ▲ or ▼ in a row,
        // not the legend's "▲ załącza wyjście") holds the table's heading.
        std::istringstream lines(pages[p]);
        bool reactionRow = false, heading = false;
        std::string last, beforeLast;
        for (std::string line; std::getline(lines, line);) {
            const bool legend = line.find("▲ załącza") != std::string::npos ||
                                line.find("▼ wyłącza") != std::string::npos;
            reactionRow =
                reactionRow ||
                (!legend && line.find("masy") != std::string::npos &&
                 (line.find("▲") != std::string::npos || line.find("▼") != std::string::npos));
            heading = heading || (line.find("Zdarzenie") != std::string::npos &&
                                  line.find("U4") != std::string::npos);
            if (line.find_first_not_of(' ') != std::string::npos) {
                beforeLast = last;
                last = line;
            }
        }
        EXPECT_TRUE(!reactionRow || heading) << "page " << p + 1;
        // The line above the footer is no section heading.
        const std::string atFoot = beforeLast.substr(beforeLast.find_first_not_of(' '));
        for (const char* title :
             {"Podstawowe", "Użytkownicy", "Wejścia", "Wyjścia", "Reakcje", "Treści SMS",
              "Ostrzeżenia", "Próby przy odbiorze", "Sterowanie wyjściami", "Przekazanie"})
            EXPECT_NE(atFoot, title) << "page " << p + 1;
    }
    std::string all;
    for (const std::string& page : pages)
        all += page;
    for (int u = 0; u < kUsers; ++u) {
        const std::string number = "+4860100031" + std::to_string(u);
        EXPECT_NE(all.find(" " + number), std::string::npos) << number;
    }
    for (const char* expected : {"konfiguracji", "Obiekt: Szkoła nr 3", "Adres: ul. Lipowa 5, Wieś",
                                 "Instalator: Jan Kowalski", "Przekazał", "Odebrał", "Podpis",
                                 "Próby przy odbiorze", "Sterowanie wyjściami"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected;
    // Every event of the configured module does something.
    EXPECT_EQ(all.find("Bez reakcji"), std::string::npos);
    EXPECT_EQ(all.find("ﬁ"), std::string::npos);
}

// The acceptance tests' rows on each page of `pdftotext -layout`. A row starts on the line
// with its number; the lines below it up to the next row, the table's end or the page's
// foot are its continuation. A page whose table starts with a continuation carries a row
// split off the page before.
struct AcceptanceRows {
    std::vector<std::vector<std::pair<int, std::string>>> pages;  // number, text
    std::vector<int> continuedPages;                              // 1-based
};
AcceptanceRows acceptanceRows(const std::vector<std::string>& pages)
{
    static const std::regex rowStart(R"(^ +([0-9]+) {2,}.*)");
    AcceptanceRows result;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        result.pages.emplace_back();
        std::istringstream lines(pages[p]);
        bool inTable = false;
        for (std::string line; std::getline(lines, line);) {
            if (line.find("Nr") != std::string::npos &&
                line.find("Co zrobić") != std::string::npos) {
                inTable = true;
                continue;
            }
            if (!inTable || line.find_first_not_of(' ') == std::string::npos)
                continue;
            if (line.front() != ' ') {  // a heading or the footer
                inTable = false;
                continue;
            }
            std::smatch match;
            if (std::regex_match(line, match, rowStart))
                result.pages.back().emplace_back(std::stoi(match[1]), withoutSpace(line));
            else if (result.pages.back().empty())
                result.continuedPages.push_back(static_cast<int>(p + 1));
            else
                result.pages.back().back().second += withoutSpace(line);
        }
    }
    return result;
}

// A row of a table never runs from one page onto the next. Long SMS texts to every user
// make the acceptance tests' rows several lines tall; an address of growing length moves
// them over the page breaks, one line at a time.
TEST_F(ReportCli, TableRowsStayWholeOnOnePage)
{
    SettingsRecord record = configured.record;
    for (int k = 0; k < kInputs; ++k)
        for (int re = 0; re < kReactions; ++re) {
            record.workWeRe[k][re] = static_cast<std::uint8_t>(smsBit(1) | smsBit(2) | smsBit(3) |
                                                               smsBit(4) | clipBit(1) | clipBit(2));
            record.smsWeRe[k][re].assign(toCp1250(
                QStringLiteral("Alarm %1/%2 w kotłowni, sprawdź zawór").arg(k + 1).arg(re + 1)));
        }
    const std::string settings = saveSettings("kotłownia.zvn", record, configured.users);
    std::string address;
    for (int shift = 0; shift < 4; ++shift) {
        SCOPED_TRACE("address of " + std::to_string(3 * shift) + " streets");
        const std::string pdf = path("kotłownia" + std::to_string(shift) + ".pdf");
        ASSERT_EQ(run({"report", settings, "-o", pdf, "--address", address}).status, 0);
        address += std::string(shift == 0 ? "" : ", ") + "ul. Długa 5, ul. Krótka 7, ul. Polna 9";
        const AcceptanceRows rows = acceptanceRows(pdfPages(pdf));
        EXPECT_TRUE(rows.continuedPages.empty()) << "page " << rows.continuedPages.front();
        int expected = 1;
        for (std::size_t p = 0; p < rows.pages.size(); ++p)
            for (const auto& [number, text] : rows.pages[p]) {
                EXPECT_EQ(number, expected++) << "page " << p + 1;
                // An input's row ends with the users it calls, on the row's own page.
                if (number <= 2 * kInputs) {
                    EXPECT_TRUE(text.ends_with(withoutSpace(
                        "U4 (Józef Nowak); połączenie (CLIP) do: U1 (Łukasz Żółć), U2 (Grażyna "
                        "Ślęzak)")))
                        << "page " << p + 1 << ": " << text;
                }
            }
        EXPECT_GE(expected, 20);
    }
}

// The factory defaults: at most two pages; the hand-over lines left to fill in by hand.
TEST_F(ReportCli, DefaultsFitTwoPages)
{
    const std::string defaults = saveSettings("fabryczne.zvn", startupSettings(), {});
    const std::string pdf = path("fabryczne.pdf");
    ASSERT_EQ(run({"report", defaults, "-o", pdf}).status, 0);
    const std::vector<std::string> pages = pdfPages(pdf);
    EXPECT_GE(pages.size(), 1u);
    EXPECT_LE(pages.size(), 2u);
    EXPECT_NE(pages.front().find("Obiekt: ……"), std::string::npos);
}

// The HTML file prints on A4 with the same margins, rows kept whole, and names fonts
// any machine has.
TEST_F(ReportCli, HtmlPrintsOnA4WithFallbackFonts)
{
    const std::string html = path("raport.html");
    ASSERT_EQ(run({"report", file, "-o", html, "--site", "Szkoła"}).status, 0);
    const std::string text = readFile(html);
    for (const char* expected : {"@page{size:A4;margin:15mm}", "tr{page-break-inside:avoid}",
                                 "thead{display:table-header-group}",
                                 "\"DejaVu Sans\", \"Liberation Sans\", Arial, sans-serif",
                                 "<title>Raport konfiguracji modułu — Szkoła — szkoła.zvn</title>"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

TEST_F(ReportCli, UsageAndFileErrors)
{
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"report", file}, 2},
        {{"report", file, "-o", "raport.txt"}, 2},
        {{"report", "-o", "raport.pdf"}, 2},
        {{"report", "brak.zvn", "-o", "raport.pdf"}, 4},
        {{"report", file, "-o", "raport.pdf", "--site"}, 2},
        {{"diff", file, file, "--installer", "Jan"}, 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        for (std::string& arg : args)
            if (arg.starts_with("raport") || arg == "brak.zvn")
                arg = path(arg);
        EXPECT_EQ(run(args).status, c.status) << args.back();
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("raport.pdf"))));
}

}  // namespace
}  // namespace tarnik

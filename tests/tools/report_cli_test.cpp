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
#include <sstream>

#include "cli_fixture.h"
#include "configured_settings.h"
#include "model/codepage.h"
#include "model/effective_settings.h"
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
    EXPECT_GE(checked, 70);  // numbers, texts and codes of the configured module
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

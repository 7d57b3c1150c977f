// tarnik-cli check: one line per warning naming the file, and an exit status that
// says the worst of what was found over every file given.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "model/configuration_check.h"
#include "model/effective_settings.h"
#include "model/reaction_bits.h"
#include "model/value_ranges.h"
#include "random_records.h"

namespace tarnik {
namespace {

class CheckCli : public Cli {
protected:
    void SetUp() override
    {
        clean = saveSettings("clean.zvn", startupSettings());
        SettingsRecord record = startupSettings();
        record.pin.assign("12");
        record.workWeRe[2][1] = smsBit(1);
        warned = saveSettings("warned.zvn", record);
        std::ofstream(path("damaged.zvn")) << "not a settings file";
        damaged = path("damaged.zvn");
        for (const CheckWarning& warning : checkConfiguration(effectiveSettings(record), {}))
            warnedLines.push_back(warned + ": " + warningLine(warning));
    }

    std::string clean, warned, damaged;
    std::vector<std::string> warnedLines;
};

TEST_F(CheckCli, ExitStatusIsTheWorstOverEveryFile)
{
    ASSERT_EQ(warnedLines.size(), 3u);  // pin, brak-numeru, pusty-sms
    const struct {
        std::vector<std::string> files;
        int status;
        bool warningsPrinted;
        std::string count;  // the closing line on standard error
    } cases[] = {
        {{clean}, 0, false, "Sprawdzono 1 plik: 0 uwag."},
        {{clean, warned}, 1, true, "Sprawdzono 2 pliki: 3 uwagi."},
        {{warned, clean}, 1, true, "Sprawdzono 2 pliki: 3 uwagi."},
        {{damaged}, 4, false, "Sprawdzono 0 plików: 0 uwag."},
        {{damaged, warned}, 4, true, "Sprawdzono 1 plik: 3 uwagi."},
        {{warned, path("missing.zvn")}, 4, true, "Sprawdzono 1 plik: 3 uwagi."},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"check"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const CliResult r = run(args);
        EXPECT_EQ(r.status, c.status) << args.back();
        EXPECT_EQ(r.lines(), c.warningsPrinted ? warnedLines : std::vector<std::string>{})
            << args.back();
        // A file that cannot be read is said before the count.
        EXPECT_EQ(r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1), c.count + "\n") << r.err;
        EXPECT_EQ(r.err == c.count + "\n", c.status != 4) << r.err;
    }
}

// --json: the same findings as one document, for scripts.
TEST_F(CheckCli, JsonGivesTheFindingsAsOneDocument)
{
    const CliResult r = run({"check", "--json", clean, warned});
    EXPECT_EQ(r.status, 1);
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(r.out));
    ASSERT_TRUE(document.isObject()) << r.out;
    const QJsonArray findings = document.object().value(QStringLiteral("findings")).toArray();
    SettingsRecord record = startupSettings();
    record.pin.assign("12");
    record.workWeRe[2][1] = smsBit(1);
    const std::vector<CheckWarning> expected = checkConfiguration(effectiveSettings(record), {});
    ASSERT_EQ(findings.size(), static_cast<qsizetype>(expected.size()));
    for (qsizetype i = 0; i < findings.size(); ++i) {
        const QJsonObject finding = findings[i].toObject();
        const CheckWarning& warning = expected[static_cast<std::size_t>(i)];
        EXPECT_EQ(finding.value(QStringLiteral("file")).toString().toStdString(), warned);
        EXPECT_EQ(finding.value(QStringLiteral("place")).toString().toStdString(), warning.place);
        EXPECT_EQ(finding.value(QStringLiteral("key")).toString().toStdString(), warning.key);
        EXPECT_EQ(finding.value(QStringLiteral("rule")).toString().toStdString(), warning.id);
        EXPECT_EQ(finding.value(QStringLiteral("sentence")).toString().toStdString(),
                  warning.sentence);
    }
    EXPECT_EQ(r.err, "Sprawdzono 2 pliki: 3 uwagi.\n");
}

// Files from elsewhere (stale bytes, bits without a box, control characters) are judged
// as the window would program them: the program prints what the check function finds
// for the raw record, never a raw control character.
TEST_F(CheckCli, GeneratedFilesGiveTheWarningsOfTheRecordTheWindowPrograms)
{
    test::RecordGenerator draw(2323);
    int checkedFiles = 0;
    for (int round = 0; round < 30; ++round) {
        SettingsRecord record = draw.record();
        const UserDirectory users = draw.users();
        std::vector<std::string> expected;
        const std::string file =
            saveSettings("drawn" + std::to_string(round) + ".zvn", record, users);
        const CliResult r = run({"check", file});
        if (r.status == 4)
            continue;  // a damaged length: the file is refused on opening
        ++checkedFiles;
        for (const CheckWarning& warning : checkConfiguration(effectiveSettings(record), users))
            expected.push_back(file + ": " + warningLine(warning));
        EXPECT_EQ(r.lines(), expected) << "round " << round;
        EXPECT_EQ(r.status, expected.empty() ? 0 : 1) << "round " << round;
        for (const char c : r.out)
            EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << "round " << round;
    }
    EXPECT_GE(checkedFiles, 8);
}

TEST_F(CheckCli, NeedsAFile)
{
    const CliResult r = run({"check"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Użycie: tarnik-cli check"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tarnik

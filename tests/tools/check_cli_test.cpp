// tarnik-cli check: one line per warning naming the file, and an exit status that
// says the worst of what was found over every file given.

#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "model/configuration_check.h"
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
    } cases[] = {
        {{clean}, 0, false},          {{clean, warned}, 1, true},
        {{warned, clean}, 1, true},   {{damaged}, 4, false},
        {{damaged, warned}, 4, true}, {{warned, path("missing.zvn")}, 4, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"check"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const CliResult r = run(args);
        EXPECT_EQ(r.status, c.status) << args.back();
        EXPECT_EQ(r.lines(), c.warningsPrinted ? warnedLines : std::vector<std::string>{})
            << args.back();
        EXPECT_EQ(r.err.empty(), c.status != 4) << r.err;
    }
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
    EXPECT_NE(r.err.find("Usage: tarnik-cli check"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tarnik

// The number rule at tarnik-cli's doors, over the shared table of numbers, each as the
// SMS-centre number and as a user's: import refuses what the module does not take,
// naming key, value and rule; program and verify refuse a file holding one before any
// port is opened; check names it.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>

#include "cli_fixture.h"
#include "model/settings_catalogue.h"
#include "model/settings_texts.h"
#include "model/value_ranges.h"
#include "number_cases.h"

namespace tarnik {
namespace {

using test::numberCases;

constexpr const char* kHoldsFile = "Moduł zawiera ustawienia z pliku.";

// A JSON string literal of `text`.
std::string jsonString(const char* text)
{
    const QByteArray array =
        QJsonDocument(QJsonArray{QString::fromUtf8(text)}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2).toStdString();
}

// The line programming refuses the number with, for the check rules it raises.
const char* refusalOf(const std::vector<std::string>& rules)
{
    return rules.front() == "numer-krajowy" ? kNotInternationalMessage
           : rules.front() == "numer-znaki" ? kNumberCharactersMessage
                                            : kNumberTooLongMessage;
}

// The rules `check` names for the setting labelled `label` in `out`.
std::vector<std::string> rulesFor(const std::string& out, const std::string& prefix)
{
    std::vector<std::string> rules;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(prefix))
            rules.push_back(line.substr(line.rfind('[') + 1, line.size() - line.rfind('[') - 2));
    return rules;
}

class NumberRuleCli : public Cli {
protected:
    void SetUp() override
    {
        const std::string clean = saveSettings("clean.zvn", startupSettings());
        const CliResult exported = run({"export", clean});
        ASSERT_EQ(exported.status, 0) << exported.err;
        json = exported.out;
    }

    // The exported document with the key's value replaced.
    std::string jsonWith(const std::string& key, const char* number) const
    {
        const std::string field = "\"" + key + "\": ";
        const std::size_t at = json.find(field) + field.size();
        const std::size_t end = json.find_first_of(",\n", at);
        return json.substr(0, at) + jsonString(number) + json.substr(end);
    }

    std::string json;
};

TEST_F(NumberRuleCli, EveryDoorJudgesANumberAlike)
{
    auto& module = simulator();
    for (const std::string key : {"csms", "nrUser[2]"}) {
        const std::string label = settingEntry(key).label;
        for (const auto& c : numberCases()) {
            const auto& rules = key == "csms" ? c.centreRules : c.userRules;
            const std::string what = key + " \"" + c.text + "\"";

            std::ofstream(path("in.json")) << jsonWith(key, c.text);
            const CliResult imported = run({"import", path("in.json"), "-o", path("in.zvn")});
            EXPECT_EQ(imported.status, c.taken ? 0 : 2) << what << imported.err;
            if (!c.taken) {
                EXPECT_NE(imported.err.find(": " + key + ": wartość " + jsonString(c.text) +
                                            ": numer telefonu to najwyżej 12 znaków"),
                          std::string::npos)
                    << what << imported.err;
            }

            SettingsRecord record = startupSettings();
            (key == "csms" ? record.csms : record.nrUser[1]).assign(c.text);
            const std::string file = saveSettings("number.zvn", record);
            const CliResult checked = run({"check", file});
            EXPECT_EQ(rulesFor(checked.out, file + ": " + label + ": "), rules)
                << what << checked.out;

            const int framesBefore = module.frameCount();
            const CliResult programmed = run({"program", "--port", module.devicePath(), file});
            const CliResult verified = run({"verify", "--port", module.devicePath(), file});
            if (rules.empty()) {
                EXPECT_EQ(programmed.status, 0) << what << programmed.err;
                EXPECT_EQ(verified.status, 0) << what << verified.err;
                EXPECT_EQ(verified.lines(), std::vector<std::string>{kHoldsFile}) << what;
                continue;
            }
            const std::string refusal =
                "tarnik-cli: " + file + ": " + label + ": " + refusalOf(rules) + "\n";
            for (const CliResult* r : {&programmed, &verified}) {
                EXPECT_EQ(r->status, 2) << what;
                EXPECT_EQ(r->err, refusal) << what;
                EXPECT_EQ(r->out, "") << what;
            }
            EXPECT_EQ(module.frameCount(), framesBefore) << what << ": the port was used";
        }
    }
}

}  // namespace
}  // namespace tarnik

// The steps for the pages "Wejścia", "Wejścia specjalne" and "Wyjścia".

#include "editor/binding/control_access.h"
#include "editor/binding/settings_binding.h"

namespace tarnik {

namespace {

// An output code shows as two characters only when both bytes are set.
void showCode(QLineEdit* edit, const std::uint8_t (&code)[2])
{
    if (code[0] != 0 && code[1] != 0)
        showTextBytes(edit, std::string{static_cast<char>(code[0]), static_cast<char>(code[1])});
    else
        showTextBytes(edit, {});
}

// Exactly two characters are a code; any other length stores "no code".
void collectCode(const QLineEdit* edit, std::uint8_t (&code)[2])
{
    const std::string bytes = textBytes(edit);
    const bool isCode = bytes.size() == 2;
    code[0] = isCode ? static_cast<std::uint8_t>(bytes[0]) : 0;
    code[1] = isCode ? static_cast<std::uint8_t>(bytes[1]) : 0;
}

}  // namespace

void SettingsBinding::ShowInputTexts()
{
    for (int k = 0; k < kInputs; ++k)
        for (int r = 0; r < kReactions; ++r)
            showText(c_.inputTexts[k][r], record_.smsWeRe[k][r]);
    for (int k = 0; k < kSpecialEntries; ++k)
        for (int r = 0; r < kReactions; ++r)
            showText(c_.specialTexts[k][r], record_.smsSpecWeRe[k][r]);
}

void SettingsBinding::CollectInputTexts()
{
    for (int k = 0; k < kInputs; ++k)
        for (int r = 0; r < kReactions; ++r)
            collectText(c_.inputTexts[k][r], record_.smsWeRe[k][r]);
    for (int k = 0; k < kSpecialEntries; ++k)
        for (int r = 0; r < kReactions; ++r)
            collectText(c_.specialTexts[k][r], record_.smsSpecWeRe[k][r]);
}

void SettingsBinding::ShowReactionTimes()
{
    for (int k = 0; k < kInputs; ++k)
        showSpin(c_.reactionTimes[k], record_.timerPod[k]);
}

void SettingsBinding::CollectReactionTimes()
{
    for (int k = 0; k < kInputs; ++k)
        record_.timerPod[k] = collectSpin(c_.reactionTimes[k]);
}

void SettingsBinding::ShowBlockTimes()
{
    for (int k = 0; k < kInputs; ++k)
        showSpin(c_.blockTimes[k], record_.timerTorBuf[k]);
}

void SettingsBinding::CollectBlockTimes()
{
    for (int k = 0; k < kInputs; ++k)
        record_.timerTorBuf[k] = collectSpin(c_.blockTimes[k]);
}

void SettingsBinding::ShowOutputs()
{
    for (int n = 0; n < kOutputs; ++n) {
        showCode(c_.switchOnCodes[n], record_.zalWyCode[n]);
        showCode(c_.switchOffCodes[n], record_.wylWyCode[n]);
        showSpin(c_.offTimers[n], record_.wyOffTimer[n]);
    }
}

void SettingsBinding::CollectOutputs()
{
    for (int n = 0; n < kOutputs; ++n) {
        collectCode(c_.switchOnCodes[n], record_.zalWyCode[n]);
        collectCode(c_.switchOffCodes[n], record_.wylWyCode[n]);
        record_.wyOffTimer[n] = collectSpin(c_.offTimers[n]);
    }
}

}  // namespace tarnik

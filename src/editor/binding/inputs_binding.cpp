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

void SettingsBinding::ShowInputTexts(const SettingsRecord& record)
{
    for (int k = 0; k < kInputs; ++k)
        for (int r = 0; r < kReactions; ++r)
            showText(c_.inputTexts[k][r], record.smsWeRe[k][r]);
    for (int k = 0; k < kSpecialEntries; ++k)
        for (int r = 0; r < kReactions; ++r)
            showText(c_.specialTexts[k][r], record.smsSpecWeRe[k][r]);
}

void SettingsBinding::CollectInputTexts(SettingsRecord& record) const
{
    for (int k = 0; k < kInputs; ++k)
        for (int r = 0; r < kReactions; ++r)
            collectText(c_.inputTexts[k][r], record.smsWeRe[k][r]);
    for (int k = 0; k < kSpecialEntries; ++k)
        for (int r = 0; r < kReactions; ++r)
            collectText(c_.specialTexts[k][r], record.smsSpecWeRe[k][r]);
}

void SettingsBinding::ShowReactionTimes(const SettingsRecord& record)
{
    for (int k = 0; k < kInputs; ++k)
        showSpin(c_.reactionTimes[k], record.timerPod[k]);
}

void SettingsBinding::CollectReactionTimes(SettingsRecord& record) const
{
    for (int k = 0; k < kInputs; ++k)
        record.timerPod[k] = collectSpin(c_.reactionTimes[k]);
}

void SettingsBinding::ShowBlockTimes(const SettingsRecord& record)
{
    for (int k = 0; k < kInputs; ++k)
        showSpin(c_.blockTimes[k], record.timerTorBuf[k]);
}

void SettingsBinding::CollectBlockTimes(SettingsRecord& record) const
{
    for (int k = 0; k < kInputs; ++k)
        record.timerTorBuf[k] = collectSpin(c_.blockTimes[k]);
}

void SettingsBinding::ShowOutputs(const SettingsRecord& record)
{
    for (int n = 0; n < kOutputs; ++n) {
        showCode(c_.switchOnCodes[n], record.zalWyCode[n]);
        showCode(c_.switchOffCodes[n], record.wylWyCode[n]);
        showSpin(c_.offTimers[n], record.wyOffTimer[n]);
    }
}

void SettingsBinding::CollectOutputs(SettingsRecord& record) const
{
    for (int n = 0; n < kOutputs; ++n) {
        collectCode(c_.switchOnCodes[n], record.zalWyCode[n]);
        collectCode(c_.switchOffCodes[n], record.wylWyCode[n]);
        record.wyOffTimer[n] = collectSpin(c_.offTimers[n]);
    }
}

}  // namespace tarnik

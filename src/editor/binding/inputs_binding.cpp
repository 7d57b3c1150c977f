// The steps for the pages "Wejścia", "Wejścia specjalne" and "Wyjścia".

#include "editor/binding/control_access.h"
#include "editor/binding/settings_binding.h"

namespace tarnik {

namespace {

QString inputText(int k, int r)
{
    return QStringLiteral("ETSMS_We%1_Re%2").arg(k).arg(r);
}
QString specialText(int k, int r)
{
    return QStringLiteral("ETSpecSMS_We%1_Re%2").arg(k).arg(r);
}

// An output code shows as two characters only when both bytes are set.
void showCode(const ControlAccess& c, const QString& name, const std::uint8_t (&code)[2])
{
    if (code[0] != 0 && code[1] != 0)
        c.setTextBytes(name, std::string{static_cast<char>(code[0]), static_cast<char>(code[1])});
    else
        c.setTextBytes(name, {});
}

// Exactly two characters are a code; any other length stores "no code".
void collectCode(const ControlAccess& c, const QString& name, std::uint8_t (&code)[2])
{
    const std::string bytes = c.textBytes(name);
    const bool isCode = bytes.size() == 2;
    code[0] = isCode ? static_cast<std::uint8_t>(bytes[0]) : 0;
    code[1] = isCode ? static_cast<std::uint8_t>(bytes[1]) : 0;
}

}  // namespace

void SettingsBinding::ShowInputTexts()
{
    ControlAccess c(root_);
    for (int k = 1; k <= kInputs; ++k)
        for (int r = 1; r <= kReactions; ++r)
            c.setText(inputText(k, r), record_.smsWeRe[k - 1][r - 1]);
    for (int k = 1; k <= kSpecialEntries; ++k)
        for (int r = 1; r <= kReactions; ++r)
            c.setText(specialText(k, r), record_.smsSpecWeRe[k - 1][r - 1]);
}

void SettingsBinding::CollectInputTexts()
{
    ControlAccess c(root_);
    for (int k = 1; k <= kInputs; ++k)
        for (int r = 1; r <= kReactions; ++r)
            c.getText(inputText(k, r), record_.smsWeRe[k - 1][r - 1]);
    for (int k = 1; k <= kSpecialEntries; ++k)
        for (int r = 1; r <= kReactions; ++r)
            c.getText(specialText(k, r), record_.smsSpecWeRe[k - 1][r - 1]);
}

void SettingsBinding::ShowReactionTimes()
{
    ControlAccess c(root_);
    for (int k = 1; k <= kInputs; ++k)
        c.setSpin(QStringLiteral("SEtimerPod%1").arg(k), record_.timerPod[k - 1]);
}

void SettingsBinding::CollectReactionTimes()
{
    ControlAccess c(root_);
    for (int k = 1; k <= kInputs; ++k)
        record_.timerPod[k - 1] = c.getSpin(QStringLiteral("SEtimerPod%1").arg(k));
}

void SettingsBinding::ShowBlockTimes()
{
    ControlAccess c(root_);
    for (int k = 1; k <= kInputs; ++k)
        c.setSpin(QStringLiteral("SEtimerTorBuf%1").arg(k), record_.timerTorBuf[k - 1]);
}

void SettingsBinding::CollectBlockTimes()
{
    ControlAccess c(root_);
    for (int k = 1; k <= kInputs; ++k)
        record_.timerTorBuf[k - 1] = c.getSpin(QStringLiteral("SEtimerTorBuf%1").arg(k));
}

void SettingsBinding::ShowOutputs()
{
    ControlAccess c(root_);
    for (int n = 1; n <= kOutputs; ++n) {
        showCode(c, QStringLiteral("EZalWy%1").arg(n), record_.zalWyCode[n - 1]);
        showCode(c, QStringLiteral("EwylWy%1").arg(n), record_.wylWyCode[n - 1]);
        c.setSpin(QStringLiteral("SEWy_offTimer%1").arg(n), record_.wyOffTimer[n - 1]);
    }
}

void SettingsBinding::CollectOutputs()
{
    ControlAccess c(root_);
    for (int n = 1; n <= kOutputs; ++n) {
        collectCode(c, QStringLiteral("EZalWy%1").arg(n), record_.zalWyCode[n - 1]);
        collectCode(c, QStringLiteral("EwylWy%1").arg(n), record_.wylWyCode[n - 1]);
        record_.wyOffTimer[n - 1] = c.getSpin(QStringLiteral("SEWy_offTimer%1").arg(n));
    }
}

}  // namespace tarnik

#include "configured_settings.h"

#include <QString>

#include <string>

#include "model/codepage.h"
#include "model/reaction_bits.h"
#include "model/value_ranges.h"

namespace tarnik::test {

namespace {

void assignPolish(ShortString<36>& text, const QString& utf16)
{
    text.assign(toCp1250(utf16));
}

}  // namespace

ConfiguredSettings fullyConfigured()
{
    ConfiguredSettings c;
    SettingsRecord& r = c.record;
    r = startupSettings();
    for (int k = 0; k < kInputs; ++k) {
        r.timerPod[k] = static_cast<std::uint8_t>(100 + k);
        r.timerTorBuf[k] = static_cast<std::uint8_t>(110 + k);
    }
    r.wyOffTimer[0] = 121;
    r.wyOffTimer[1] = 122;
    r.callingTimer = 200;
    r.callTimer = 201;
    r.smsConfirmTimer = 202;
    r.smsAttempts = 7;
    r.testOkr = 23;
    r.exitTime = 203;  // the hidden group "Dodatkowe"
    r.entryTime = 204;
    r.alarmTime = 205;
    r.flags = 0x3F;
    r.pin.assign(kConfiguredPin);
    r.pinMod.assign(kConfiguredAccessCode);
    for (int n = 0; n < kOutputs; ++n)
        for (int i = 0; i < 2; ++i) {
            r.zalWyCode[n][i] = static_cast<std::uint8_t>(kConfiguredOutputCodes[n][i]);
            r.wylWyCode[n][i] = static_cast<std::uint8_t>(kConfiguredOutputCodes[2 + n][i]);
        }
    r.csms.assign("+48602951111");
    r.clipVerif = clipSwitchOnBit(1) | clipToggleBit(2) | kClipReport | kForwardUnknownSms;
    r.clipNotVerif = kClipReport;
    const char* names[] = {"Łukasz Żółć", "Grażyna Ślęzak", "Ochrona", "Józef Nowak"};
    for (int u = 0; u < kUsers; ++u) {
        r.nrUser[u].assign("+4860100031" + std::to_string(u));
        c.users.entries[u].osoba.assign(toCp1250(QString::fromUtf8(names[u])));
        c.users.entries[u].uwagi.assign(
            toCp1250(QStringLiteral("Klucze od bramy nr %1\r\nDzwonić po 18:00").arg(u + 1)));
    }
    for (int k = 0; k < kInputs; ++k)
        for (int re = 0; re < kReactions; ++re) {
            r.numberWeRe[k][re] = re == 0 ? switchOnBit(1 + k % 2) : switchOffBit(1 + k % 2);
            r.workWeRe[k][re] = static_cast<std::uint8_t>(smsBit(1 + k % 4) | clipBit(1));
            assignPolish(r.smsWeRe[k][re],
                         QStringLiteral("Wejście %1: %2 – zażółć gęślą jaźń")
                             .arg(k + 1)
                             .arg(re == 0 ? QStringLiteral("podanie") : QStringLiteral("zanik")));
        }
    for (int k = 0; k < kSpecialEntries; ++k)
        for (int re = 0; re < kReactions; ++re) {
            r.numberSpecWeRe[k][re] = switchOnBit(2);
            r.workSpecWeRe[k][re] = smsBit(2);
            assignPolish(r.smsSpecWeRe[k][re],
                         QStringLiteral("Specjalne %1/%2: ŻÓŁĆ źdźbło").arg(k + 1).arg(re + 1));
        }
    return c;
}

}  // namespace tarnik::test

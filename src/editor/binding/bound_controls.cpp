#include "editor/binding/bound_controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <bit>
#include <utility>

#include "editor/lookup/control_table.h"
#include "editor/widgets/spin_edit.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

template <std::size_t N, typename Lookup>
auto resolveRow(Lookup lookup) -> std::array<decltype(lookup(1)), N>
{
    std::array<decltype(lookup(1)), N> row{};
    for (std::size_t i = 0; i < N; ++i)
        row[i] = lookup(static_cast<int>(i));
    return row;
}

// The box of the lowest of `bits` in a row of boxes, box i holding bit i.
template <std::size_t N>
QWidget* boxOf(const std::array<QCheckBox*, N>& boxes, std::uint8_t bits)
{
    const auto bit = static_cast<std::size_t>(bits == 0 ? 0 : std::countr_zero(bits));
    return bit < N ? boxes[bit] : nullptr;
}

}  // namespace

QWidget* BoundControls::holding(const std::string& key, std::uint8_t bits) const
{
    const SettingEntry* entry = findSetting(key);
    if (!entry || entry->hidden)
        return nullptr;
    const SettingKeyParts parts = settingKeyParts(key);
    const std::string& field = parts.field;
    // Catalogue keys count from 1; the arrays from 0.
    const auto i = static_cast<std::size_t>(parts.i - 1);
    const auto j = static_cast<std::size_t>(parts.j - 1);
    const std::pair<const char*, QWidget*> single[] = {
        {"pin", pin},
        {"csms", centreNumber},
        {"pinMod", smsCode},
        {"testOkr", testOkr},
        {"callTimer", callTimer},
        {"callingTimer", callingTimer},
        {"smsConfirmTimer", smsConfirmTimer},
        {"smsAttempts", smsAttempts},
    };
    for (const auto& [name, control] : single)
        if (field == name)
            return control;
    if (field == "clipVerif")
        return boxOf(clipVerif, bits);
    if (field == "clipNotVerif")
        return boxOf(clipNotVerif, bits);
    if (field == "flags")
        return boxOf(flags, bits);
    if (field == "smsWeRe")
        return inputTexts.at(i).at(j);
    if (field == "smsSpecWeRe")
        return specialTexts.at(i).at(j);
    if (field == "timerPod")
        return reactionTimes.at(i);
    if (field == "timerTorBuf")
        return blockTimes.at(i);
    if (field == "zalWyCode")
        return switchOnCodes.at(i);
    if (field == "wylWyCode")
        return switchOffCodes.at(i);
    if (field == "wyOffTimer")
        return offTimers.at(i);
    if (field == "nrUser")
        return userNumbers.at(i);
    if (field == "osoba")
        return userNames.at(i);
    if (field == "uwagi")
        return userNotes.at(i);
    return nullptr;
}

BoundControls::BoundControls(const ControlTable& t)
    : pin(t.edit("EPin")), centre(t.combo("CBcentrum")), centreNumber(t.edit("Ecsms")),
      smsCode(t.edit("EPINMOD")), testOkr(t.spin("SEtestokr")), callTimer(t.spin("SECALL_TIMER")),
      callingTimer(t.spin("SEcallingTimer")), smsConfirmTimer(t.spin("SEInNONCSTAT18")),
      smsAttempts(t.spin("SEInONstat916")), exitTime(t.spin("SE1190")), entryTime(t.spin("SE1191")),
      alarmTime(t.spin("SE1192")),
      clipVerif(
          resolveRow<8>([&](int i) { return t.check(QStringLiteral("ChbClipVerif%1").arg(i)); })),
      clipNotVerif(resolveRow<8>(
          [&](int i) { return t.check(QStringLiteral("ChBClipNotVerif%1").arg(i)); })),
      flags(resolveRow<6>([&](int i) { return t.check(QStringLiteral("ChBFlags_%1").arg(i)); })),
      blockingTimeBit(t.check("CHB_funkcjaczaswy"))
{
    for (int k = 1; k <= kInputs; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        for (int r = 1; r <= kReactions; ++r)
            inputTexts[i][static_cast<std::size_t>(r - 1)] =
                t.edit(QStringLiteral("ETSMS_We%1_Re%2").arg(k).arg(r));
        reactionTimes[i] = t.spin(QStringLiteral("SEtimerPod%1").arg(k));
        blockTimes[i] = t.spin(QStringLiteral("SEtimerTorBuf%1").arg(k));
    }
    for (int k = 1; k <= kSpecialEntries; ++k)
        for (int r = 1; r <= kReactions; ++r)
            specialTexts[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(r - 1)] =
                t.edit(QStringLiteral("ETSpecSMS_We%1_Re%2").arg(k).arg(r));
    for (int n = 1; n <= kOutputs; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        switchOnCodes[i] = t.edit(QStringLiteral("EZalWy%1").arg(n));
        switchOffCodes[i] = t.edit(QStringLiteral("EwylWy%1").arg(n));
        offTimers[i] = t.spin(QStringLiteral("SEWy_offTimer%1").arg(n));
    }
    for (int n = 1; n <= kUsers; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        userNumbers[i] = t.edit(QStringLiteral("Enruser%1").arg(n));
        userNames[i] = t.edit(QStringLiteral("Eosoba%1").arg(n));
        userNotes[i] = t.memo(QStringLiteral("Muser%1").arg(n));
    }
}

}  // namespace tarnik

#include "editor/binding/bound_controls.h"

#include "editor/lookup/control_table.h"

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

}  // namespace

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

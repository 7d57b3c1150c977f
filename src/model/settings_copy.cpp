#include "model/settings_copy.h"

#include <stdexcept>
#include <string>

#include "model/reaction_bits.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

void checkPlace(InputPlace place)
{
    const int last = place.special ? kSpecialEntries : kInputs;
    if (place.number < 1 || place.number > last)
        throw std::out_of_range("input out of range: " + std::to_string(place.number));
}

void checkUser(int user)
{
    if (user < 1 || user > kUsers)
        throw std::out_of_range("user out of range: " + std::to_string(user));
}

std::size_t index(int oneBased)
{
    return static_cast<std::size_t>(oneBased - 1);
}

// Record is SettingsRecord or const SettingsRecord.
template <typename Record>
auto& outputByte(Record& record, InputPlace place, int reaction)
{
    const auto k = index(place.number);
    const auto r = index(reaction);
    return place.special ? record.numberSpecWeRe[k][r] : record.numberWeRe[k][r];
}

template <typename Record>
auto& notificationByte(Record& record, InputPlace place, int reaction)
{
    const auto k = index(place.number);
    const auto r = index(reaction);
    return place.special ? record.workSpecWeRe[k][r] : record.workWeRe[k][r];
}

template <typename Record>
auto& smsText(Record& record, InputPlace place, int reaction)
{
    const auto k = index(place.number);
    const auto r = index(reaction);
    return place.special ? record.smsSpecWeRe[k][r] : record.smsWeRe[k][r];
}

// The catalogue entry of one reaction's field, named `inputField` for an input and
// `specialField` for a special entry.
const SettingEntry& reactionEntry(const char* inputField, const char* specialField,
                                  InputPlace place, int reaction)
{
    return settingEntry(
        settingKey(place.special ? specialField : inputField, place.number, reaction));
}

// The bits of a reaction's bit set that a box the window shows holds; none when no
// button opens the dialog for it.
std::uint8_t shownBits(const SettingEntry& entry)
{
    if (entry.hidden)
        return 0;
    std::uint8_t shown = 0;
    for (const BitMeaning& meaning : entry.bits)
        if (meaning.shown)
            shown |= static_cast<std::uint8_t>(1u << meaning.bit);
    return shown;
}

std::uint8_t outputBitsShown(InputPlace place, int reaction)
{
    return shownBits(reactionEntry("numberWeRe", "numberSpecWeRe", place, reaction));
}

std::uint8_t notificationBitsShown(InputPlace place, int reaction)
{
    return shownBits(reactionEntry("workWeRe", "workSpecWeRe", place, reaction));
}

bool textEditable(InputPlace place, int reaction)
{
    return !reactionEntry("smsWeRe", "smsSpecWeRe", place, reaction).hidden;
}

// The notification dialog of an input sets its boxes from the byte before it
// disables and clears the rows of users without a number; the one of a special
// entry does it the other way round, so those users keep their bits there.
bool clearsUsersWithoutNumber(InputPlace place)
{
    return !place.special;
}

// The notification bits of every user with a phone number.
std::uint8_t numberedUsers(const SettingsRecord& record)
{
    std::uint8_t bits = 0;
    for (int user = 1; user <= kUsers; ++user)
        if (userHasNumber(record, user))
            bits |= static_cast<std::uint8_t>(smsBit(user) | clipBit(user));
    return bits;
}

// The boxes a notification dialog shows ticked for `stored` at `place`.
std::uint8_t notificationShown(const SettingsRecord& record, InputPlace place, std::uint8_t stored)
{
    return clearsUsersWithoutNumber(place) ? stored & numberedUsers(record) : stored;
}

// Switching an output on and switching it off exclude each other; the dialog sets
// "on" after "off", so "on" stays.
std::uint8_t resolveSwitchPairs(std::uint8_t ticked)
{
    for (int output = 1; output <= kOutputs; ++output)
        if (ticked & switchOnBit(output))
            ticked &= static_cast<std::uint8_t>(~switchOffBit(output));
    return ticked;
}

// The notification dialog of `place` opened on `stored`, the boxes of `follow` set as
// in `wanted` where they are offered (users with a number), then confirmed. Left
// alone when those boxes already show as wanted: no dialog would be needed.
void storeNotification(const SettingsRecord& record, InputPlace place, std::uint8_t& stored,
                       std::uint8_t wanted, std::uint8_t follow)
{
    const std::uint8_t editable = follow & numberedUsers(record);
    if ((stored & editable) == (wanted & editable))
        return;
    const auto kept = static_cast<std::uint8_t>(stored & ~editable);
    stored = static_cast<std::uint8_t>(kept | (wanted & editable));
    stored = notificationShown(record, place, stored);
}

void copyOutputReaction(const SettingsRecord& source, SettingsRecord& result, InputPlace from,
                        InputPlace to, int reaction)
{
    const std::uint8_t follow = outputBitsShown(from, reaction) & outputBitsShown(to, reaction);
    if (follow == 0)
        return;
    const std::uint8_t fromBoxes = resolveSwitchPairs(outputByte(source, from, reaction));
    std::uint8_t& stored = outputByte(result, to, reaction);
    const auto ticked = static_cast<std::uint8_t>((fromBoxes & follow) | (stored & ~follow));
    const std::uint8_t confirmed = confirmedOutputReaction(ticked);
    if (confirmed != confirmedOutputReaction(stored))
        stored = confirmed;
}

void copyNotification(const SettingsRecord& source, SettingsRecord& result, InputPlace from,
                      InputPlace to, int reaction)
{
    const std::uint8_t follow =
        notificationBitsShown(from, reaction) & notificationBitsShown(to, reaction);
    const std::uint8_t wanted =
        notificationShown(source, from, notificationByte(source, from, reaction));
    storeNotification(source, to, notificationByte(result, to, reaction), wanted, follow);
}

}  // namespace

bool userHasNumber(const SettingsRecord& record, int user)
{
    checkUser(user);
    return !record.nrUser[index(user)].empty();
}

std::uint8_t confirmedOutputReaction(std::uint8_t stored)
{
    return outputReactionByte(resolveSwitchPairs(stored));
}

SettingsRecord copyInputSettings(const SettingsRecord& record, InputPlace from,
                                 std::span<const InputPlace> targets, bool withTexts)
{
    checkPlace(from);
    for (const InputPlace& to : targets)
        checkPlace(to);
    SettingsRecord result = record;
    for (const InputPlace& to : targets) {
        if (to == from)
            continue;
        if (!from.special && !to.special) {
            result.timerPod[index(to.number)] = record.timerPod[index(from.number)];
            result.timerTorBuf[index(to.number)] = record.timerTorBuf[index(from.number)];
        }
        for (int reaction = 1; reaction <= kReactions; ++reaction) {
            copyOutputReaction(record, result, from, to, reaction);
            copyNotification(record, result, from, to, reaction);
            if (withTexts && textEditable(from, reaction) && textEditable(to, reaction)) {
                const std::string text = smsText(record, from, reaction).str();
                auto& stored = smsText(result, to, reaction);
                if (stored.str() != text)
                    stored.assign(text);
            }
        }
    }
    return result;
}

SettingsRecord copyUserNotifications(const SettingsRecord& record, int fromUser, int toUser)
{
    checkUser(fromUser);
    if (!userHasNumber(record, toUser))
        throw std::invalid_argument("user " + std::to_string(toUser) + " has no phone number");
    SettingsRecord result = record;
    if (fromUser == toUser)
        return result;
    const auto toBits = static_cast<std::uint8_t>(smsBit(toUser) | clipBit(toUser));
    const auto visit = [&](InputPlace place) {
        for (int reaction = 1; reaction <= kReactions; ++reaction) {
            std::uint8_t& stored = notificationByte(result, place, reaction);
            const std::uint8_t shown = notificationShown(record, place, stored);
            std::uint8_t wanted = 0;
            if (shown & smsBit(fromUser))
                wanted |= smsBit(toUser);
            if (shown & clipBit(fromUser))
                wanted |= clipBit(toUser);
            storeNotification(record, place, stored, wanted,
                              toBits & notificationBitsShown(place, reaction));
        }
    };
    for (int k = 1; k <= kInputs; ++k)
        visit({false, k});
    for (int k = 1; k <= kSpecialEntries; ++k)
        visit({true, k});
    return result;
}

}  // namespace tarnik

#include "editor/dialogs/reaction_target.h"

#include <array>
#include <stdexcept>

#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

struct FamilyName {
    ReactionFamily family;
    const char* prefix;  // the name up to the entry digit
    int entries;         // largest entry number
    const char* field;   // the record's field, as the settings catalogue names it
};

// The entry digit follows the prefix: at 1-based position 17, 21, 15 and 19.
constexpr std::array<FamilyName, 4> kFamilies{{
    {ReactionFamily::NumberInput, "BB_ConfigNumerWe", kInputs, "numberWeRe"},
    {ReactionFamily::NumberSpecial, "BB_ConfigNumerSpecWe", kSpecialEntries, "numberSpecWeRe"},
    {ReactionFamily::WorkInput, "BBConfigWorkWe", kInputs, "workWeRe"},
    {ReactionFamily::WorkSpecial, "BBConfigWorkSpecWe", kSpecialEntries, "workSpecWeRe"},
}};

int digitValue(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1;
}

std::optional<ReactionTarget> parseAs(const QString& name, const FamilyName& family)
{
    const QString prefix = QString::fromLatin1(family.prefix);
    // prefix, entry digit, "Re", reaction digit
    if (name.size() != prefix.size() + 4)
        return std::nullopt;
    if (!name.startsWith(prefix, Qt::CaseInsensitive))
        return std::nullopt;
    if (name.mid(prefix.size() + 1, 2).compare(QLatin1String("Re"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const int entry = digitValue(name.at(prefix.size()));
    const int reaction = digitValue(name.back());
    if (entry < 1 || entry > family.entries || reaction < 1 || reaction > kReactions)
        return std::nullopt;
    return ReactionTarget{family.family, entry, reaction};
}

}  // namespace

std::optional<ReactionTarget> parseReactionButton(const QString& name)
{
    for (const FamilyName& family : kFamilies)
        if (auto target = parseAs(name, family))
            return target;
    return std::nullopt;
}

std::optional<ReactionTarget> parseReactionButton(const QString& name, ReactionFamily family)
{
    for (const FamilyName& candidate : kFamilies)
        if (candidate.family == family)
            return parseAs(name, candidate);
    return std::nullopt;
}

std::optional<ReactionTarget> reactionTargetOfSetting(const std::string& key)
{
    const SettingKeyParts parts = settingKeyParts(key);
    for (const FamilyName& family : kFamilies)
        if (parts.field == family.field && parts.i >= 1 && parts.i <= family.entries &&
            parts.j >= 1 && parts.j <= kReactions)
            return ReactionTarget{family.family, parts.i, parts.j};
    return std::nullopt;
}

QString reactionButtonName(const ReactionTarget& target)
{
    for (const FamilyName& family : kFamilies)
        if (family.family == target.family)
            return QStringLiteral("%1%2Re%3")
                .arg(QLatin1String(family.prefix))
                .arg(target.entry)
                .arg(target.reaction);
    return {};
}

std::uint8_t& reactionByte(SettingsRecord& record, const ReactionTarget& target)
{
    const bool input =
        target.family == ReactionFamily::NumberInput || target.family == ReactionFamily::WorkInput;
    if (target.entry < 1 || target.entry > (input ? kInputs : kSpecialEntries) ||
        target.reaction < 1 || target.reaction > kReactions)
        throw std::out_of_range("reaction target out of range");
    const auto k = static_cast<std::size_t>(target.entry - 1);
    const auto r = static_cast<std::size_t>(target.reaction - 1);
    switch (target.family) {
    case ReactionFamily::NumberInput:
        return record.numberWeRe[k][r];
    case ReactionFamily::NumberSpecial:
        return record.numberSpecWeRe[k][r];
    case ReactionFamily::WorkInput:
        return record.workWeRe[k][r];
    case ReactionFamily::WorkSpecial:
        break;
    }
    return record.workSpecWeRe[k][r];
}

}  // namespace tarnik

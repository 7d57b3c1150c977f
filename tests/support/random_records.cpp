#include "random_records.h"

namespace tarnik::test {

int RecordGenerator::below(int bound)
{
    return std::uniform_int_distribution<int>(0, bound - 1)(random_);
}

bool RecordGenerator::chance(int percent)
{
    return below(100) < percent;
}

std::uint8_t RecordGenerator::byte()
{
    static constexpr std::uint8_t kEdges[] = {0, 1, 2, 9, 10, 11, 24, 25, 239, 240, 241, 254, 255};
    if (chance(40))
        return kEdges[below(static_cast<int>(std::size(kEdges)))];
    return static_cast<std::uint8_t>(below(256));
}

std::uint8_t RecordGenerator::textByte()
{
    if (chance(8))
        return 0;
    if (chance(60))
        return static_cast<std::uint8_t>('0' + below(10));
    return static_cast<std::uint8_t>(below(256));
}

SettingsRecord RecordGenerator::record()
{
    SettingsRecord r{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&r);
    for (std::size_t i = 0; i < sizeof r; ++i)
        bytes[i] = byte();
    // Lengths: most within the field, now and then a damaged one.
    const auto length = [this](auto& s) { text(s, chance(3) ? 255 : s.kMax); };
    length(r.pin);
    length(r.pinMod);
    length(r.csms);
    for (auto& number : r.nrUser)
        length(number);
    for (auto& reactions : r.smsWeRe)
        for (auto& s : reactions)
            length(s);
    for (auto& reactions : r.smsSpecWeRe)
        for (auto& s : reactions)
            length(s);
    // Codes: mostly two characters, now and then one or none.
    for (int n = 0; n < kOutputs; ++n)
        for (auto* code : {r.zalWyCode[n], r.wylWyCode[n]}) {
            code[0] = chance(15) ? 0 : textByte();
            code[1] = chance(15) ? 0 : textByte();
        }
    return r;
}

UserDirectory RecordGenerator::users()
{
    UserDirectory u{};
    for (auto& entry : u.entries) {
        text(entry.osoba);
        text(entry.uwagi);
    }
    return u;
}

}  // namespace tarnik::test

#include "serial/device_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tarnik {

namespace {

constexpr char kEscape = '\x1B';
constexpr char kBell = '\a';
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr char32_t kInvalid = 0xFFFFFFFF;

struct Range {
    char32_t first;
    char32_t last;
};

// Unicode's format characters (general category Cf), and the line and paragraph
// separators, which a terminal or a label would act on rather than show.
constexpr Range kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

bool isFormatCharacter(char32_t c)
{
    const auto* range = std::lower_bound(std::begin(kFormatCharacters), std::end(kFormatCharacters),
                                         c, [](const Range& r, char32_t v) { return r.last < v; });
    return range != std::end(kFormatCharacters) && range->first <= c;
}

// The character at `at` and its length in bytes; kInvalid with length 1 for a byte that
// starts no valid UTF-8 character (a stray continuation, an overlong form, a surrogate).
std::pair<char32_t, std::size_t> decode(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = (lead & 0xE0) == 0xC0   ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || at + length > text.size())
        return {kInvalid, 1};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return {kInvalid, 1};
        c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {kInvalid, 1};
    return {c, length};
}

// Where an escape sequence starting with ESC at `at` ends (one past its last byte).
std::size_t escapeSequenceEnd(std::string_view text, std::size_t at)
{
    std::size_t i = at + 1;
    if (i >= text.size())
        return i;
    const char kind = text[i++];
    if (kind == '[') {
        // Control sequence: parameters and intermediates, then one final byte 0x40-0x7E.
        while (i < text.size() && !(text[i] >= 0x40 && text[i] <= 0x7E))
            ++i;
        return std::min(i + 1, text.size());
    }
    if (kind == ']' || kind == 'P' || kind == 'X' || kind == '^' || kind == '_') {
        // A string (title, device control, ...) up to BEL, ESC \ or the C1 ST (C2 9C).
        while (i < text.size()) {
            if (text[i] == kBell)
                return i + 1;
            if (text[i] == kEscape)
                return std::min(i + 2, text.size());
            if (text.substr(i, 2) == "\xC2\x9C")
                return i + 2;
            ++i;
        }
        return i;
    }
    // ESC, intermediates 0x20-0x2F ("ESC ( B"), then the final character.
    --i;
    while (i < text.size() && text[i] >= 0x20 && text[i] <= 0x2F)
        ++i;
    return std::min(i + 1, text.size());
}

}  // namespace

std::string sanitizeDeviceText(std::string_view text, std::size_t maxCharacters)
{
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size() && characters < maxCharacters;) {
        if (text[i] == kEscape) {
            i = escapeSequenceEnd(text, i);
            continue;
        }
        const auto [c, length] = decode(text, i);
        const std::size_t at = i;
        i += length;
        // C0 controls, DEL and the C1 controls (U+0080-U+009F) go; with the introducer
        // gone, what followed a C1 one is plain text.
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || isFormatCharacter(c))
            continue;
        if (c == kInvalid)
            out += kReplacement;
        else
            out.append(text.substr(at, length));
        ++characters;
    }
    return out;
}

std::size_t characterCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace tarnik

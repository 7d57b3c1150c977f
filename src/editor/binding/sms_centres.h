#pragma once

// The preset SMS centres offered by CBcentrum, in list order. The last item,
// "inne", carries no number: the user types it into Ecsms.

#include <array>
#include <string_view>

namespace tarnik {

struct SmsCentrePreset {
    std::string_view name;
    std::string_view number;  // empty for "inne"
};

inline constexpr std::array<SmsCentrePreset, 4> kSmsCentrePresets = {{
    {"PLUS", "+48601000310"},
    {"ERA", "+48602951111"},
    {"IDEA", "+48501200777"},
    {"inne", ""},
}};

inline constexpr int kOtherSmsCentre = 3;  // index of "inne"

}  // namespace tarnik

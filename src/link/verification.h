#pragma once

// The closing line of a verification: the module read back against what programming
// writes (the window after "programuj", tarnik-cli verify).

#include <cstddef>
#include <string>

namespace tarnik {

namespace verify_text {
inline constexpr const char* kVerified = "Weryfikacja: moduł zawiera zaprogramowane ustawienia.";
inline constexpr const char* kDifferences = "Weryfikacja: liczba różnic: ";
}  // namespace verify_text

inline std::string VerificationLine(std::size_t differences)
{
    return differences == 0 ? std::string(verify_text::kVerified)
                            : verify_text::kDifferences + std::to_string(differences) + ".";
}

}  // namespace tarnik

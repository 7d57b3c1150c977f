#pragma once

// The closing line of a verification: the module read back against what programming
// writes (the window after "programuj", tarnik-cli verify).

#include <cstddef>
#include <string>

#include "link/link_texts.h"

namespace tarnik {

inline std::string verificationLine(std::size_t differences)
{
    return differences == 0 ? std::string(link_text::kVerified)
                            : link_text::kDifferences + std::to_string(differences) + ".";
}

}  // namespace tarnik

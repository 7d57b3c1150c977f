#pragma once

// The closing line of a verification: the module read back against what programming
// writes (the window after "programuj", tarnik-cli verify).

#include <cstddef>
#include <string>

#include "link/link_host.h"
#include "link/link_texts.h"
#include "model/polish_plural.h"

namespace tarnik {

inline std::string verificationLine(std::size_t differences)
{
    return differences == 0 ? std::string(link_text::kVerified)
                            : link_text::kDifferences + std::to_string(differences) + ".";
}

// The closing line of a module compared with a file, nothing programmed first
// (tarnik-cli verify): "Moduł różni się od pliku: 3 różnice."
inline std::string fileComparisonLine(std::size_t differences)
{
    return differences == 0 ? std::string(link_text::kHoldsFile)
                            : link_text::kDiffersFromFile +
                                  countedNoun(static_cast<long long>(differences), "różnica",
                                              "różnice", "różnic") +
                                  ".";
}

// The line after a read-back for verification that failed, whose programming did
// not: "Weryfikacja: odczyt nie powiódł się (brak odpowiedzi z modułu); ...".
inline std::string readBackFailedLine(const std::string& failure)
{
    return link_text::kReadBackFailed + failure + link_text::kProgrammedNotChecked;
}
// For the window: the read-back ended without an answer, with one refused or on a port
// error.
inline std::string readBackFailedLine(LinkOutcome outcome)
{
    switch (outcome) {
    case LinkOutcome::NoAnswer:
        return readBackFailedLine("brak odpowiedzi z modułu");
    case LinkOutcome::BadAnswer:
        return readBackFailedLine("odpowiedź modułu odrzucona");
    default:
        return readBackFailedLine("błąd portu");
    }
}

}  // namespace tarnik

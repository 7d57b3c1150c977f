#pragma once

// What each bit of a bit set stands for in the window: the check box that shows
// it, with the caption the window gives that box and the place the box is found.
// Comparisons report a changed bit set box by box in these words, and the report
// lists the ticked boxes by them.

#include <cstdint>
#include <string>
#include <vector>

#include "model/reaction_bits.h"

namespace tarnik {

struct BitMeaning {
    int bit = 0;
    // Where the box is, "Podstawowe / Niezidentyfikowany SMS"; empty: the place is
    // the setting's own label.
    std::string place;
    // The box's caption as the window shows it; for a bit no visible box shows,
    // what it does and that the window hides it.
    std::string caption;
    bool shown = true;
};

// The bits of one bit set in the order the window shows their boxes.
using BitMeanings = std::vector<BitMeaning>;

// The output-reaction dialog's boxes. `unavailableShown`: which of the boxes
// captioned "Opcja niedostępna" it shows for this reaction; `reachable`: false
// when no button opens the dialog for it.
BitMeanings outputReactionMeanings(std::uint8_t unavailableShown, bool reachable);
// The notification dialog's boxes, "SMS Użytkownik 1" .. "CLIP Użytkownik 4".
BitMeanings notificationMeanings(bool clipShown, bool reachable);
// The CLIP groups of the basic page; the group of verified numbers also carries
// the box "Odsyłaj nierozpoznane SMSy do Użytkownika 1" in group "Niezidentyfikowany SMS".
BitMeanings clipMeanings(bool verified);
// The option boxes ChBFlags_0..5, on the basic and the outputs page.
BitMeanings optionMeanings();

// The caption of an option's check box, "Zezwolenie na programowanie sms-em.".
const char* optionCaption(Option option);

}  // namespace tarnik

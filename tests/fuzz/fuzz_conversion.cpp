// Both conversions on arbitrary bytes. The first input byte picks the direction:
// even: ImageToSettings on an arbitrary image over an arbitrary record;
// odd:  SettingsToImage on an arbitrary record (length bytes past their fields included).
// Neither may write outside its target, and each field stays inside its own slot.

#include <algorithm>
#include <cstring>

#include "fuzz_checks.h"
#include "model/conversion.h"
#include "model/image_layout.h"

namespace tarnik::fuzz {
namespace {

// Characters a text field really holds: a damaged length byte never counts past N.
template <std::size_t N>
std::size_t held(const ShortString<N>& s)
{
    return std::min<std::size_t>(s.len, N);
}

bool allZero(const DeviceImage& img, std::size_t from, std::size_t to)
{
    return std::all_of(img.begin() + static_cast<std::ptrdiff_t>(from),
                       img.begin() + static_cast<std::ptrdiff_t>(to),
                       [](std::uint8_t b) { return b == 0; });
}

// A quoted slot is all zero for an empty text, or quote, n <= 12 characters, quote,
// then zeros to the slot's end.
template <std::size_t N>
void checkQuotedSlot(const DeviceImage& img, std::size_t slot, const ShortString<N>& text)
{
    if (held(text) == 0) {
        require(allZero(img, slot, slot + image::kQuotedSlotLength),
                "empty quoted text wrote its slot", slot);
        return;
    }
    const std::size_t n = std::min(held(text), image::kQuotedSlotMaxText);
    require(img[slot] == image::kQuote && img[slot + n + 1] == image::kQuote, "quoted slot shape",
            slot);
    require(std::memcmp(&img[slot + 1], text.chars, n) == 0, "quoted slot characters", slot);
    require(allZero(img, slot + n + 2, slot + image::kQuotedSlotLength), "quoted slot spills",
            slot);
}

template <std::size_t N>
void checkTextSlot(const DeviceImage& img, std::size_t slot, const ShortString<N>& text)
{
    const std::size_t n = std::min(held(text), image::kTextSlotLength);
    require(std::memcmp(&img[slot], text.chars, n) == 0, "text slot characters", slot);
    require(allZero(img, slot + n, slot + image::kTextSlotLength), "text slot spills", slot);
}

void recordToImage(const std::uint8_t* data, std::size_t size)
{
    Guarded<SettingsRecord> record;
    fillFrom(record.value, data, size, 0x5A);
    const SettingsRecord before = record.value;
    Guarded<DeviceImage> image;
    image.value.fill(0xEE);  // SettingsToImage must clear it first

    SettingsToImage(record.value, image.value);
    const DeviceImage& img = image.value;

    require(record.intact() && image.intact(), "write outside record or image");
    require(std::memcmp(&before, &record.value, sizeof before) == 0,
            "SettingsToImage changed the record");
    require(allZero(img, image::kContentEnd, kImageSize), "image bytes past the content are not 0");
    require(img[0] == 0xFF && img[1] == 0xFF, "lead-in");
    require(img[image::kChecksum] == headerChecksum(img), "header checksum");
    require(allZero(img, 1188, 1190), "bytes 1188, 1189 are not 0");

    const SettingsRecord& r = record.value;
    if (r.pin.len == 0)
        require(allZero(img, image::kPin, image::kPin + image::kPinSlotLength),
                "empty PIN wrote its slot");
    else
        require(img[image::kPin] == image::kQuote && img[image::kPin + 5] == image::kQuote &&
                    img[image::kPin + 6] == 0,
                "PIN slot shape");
    checkQuotedSlot(img, image::kCsms, r.csms);
    for (int u = 0; u < kUsers; ++u)
        checkQuotedSlot(img, image::userNumberSlot(u), r.nrUser[u]);
    for (int rr = 0; rr < kReactions; ++rr) {
        for (int k = 0; k < kInputs; ++k)
            checkTextSlot(img, image::inputTextSlot(k, rr), r.smsWeRe[k][rr]);
        for (int k = 0; k < kSpecialEntries; ++k)
            checkTextSlot(img, image::specialTextSlot(k, rr), r.smsSpecWeRe[k][rr]);
    }
}

void imageToRecord(const std::uint8_t* data, std::size_t size)
{
    Guarded<DeviceImage> image;
    const std::size_t used = fillFrom(image.value, data, size);
    Guarded<SettingsRecord> record;
    fillFrom(record.value, data + used, size - used, 0xC3);
    const SettingsRecord before = record.value;
    const DeviceImage imageBefore = image.value;

    ImageToSettings(image.value, record.value);
    const SettingsRecord& r = record.value;

    require(record.intact() && image.intact(), "write outside record or image");
    require(imageBefore == image.value, "ImageToSettings changed the image");
    require(lengthsWithinFields(r), "a text read from the image is longer than its field");
    require(r.spare13 == before.spare13 && r.spare40 == before.spare40 &&
                std::memcmp(r.spare85, before.spare85, sizeof r.spare85) == 0,
            "spare bytes changed");
    require(std::memcmp(r.pin.chars + 4, before.pin.chars + 4, 3) == 0,
            "PIN characters 5 to 7 changed");

    // Nothing past the image's content is read: clearing it gives the same record.
    DeviceImage trimmed = imageBefore;
    std::fill(trimmed.begin() + image::kContentEnd, trimmed.end(), std::uint8_t{0});
    SettingsRecord again = before;
    ImageToSettings(trimmed, again);
    require(std::memcmp(&again, &r, sizeof again) == 0, "ImageToSettings read past the content");
}

}  // namespace
}  // namespace tarnik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0)
        tarnik::fuzz::imageToRecord(data + 1, size - 1);
    else
        tarnik::fuzz::recordToImage(data + 1, size - 1);
    return 0;
}

// Record -> image -> record under the conditions that make the trip lossless:
// a 4-character access code, an empty or 4-character PIN, numbers of at most
// 12 characters, and texts without quote or zero bytes.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "model/conversion.h"

namespace tarnik {
namespace {

class RecordMaker {
public:
    explicit RecordMaker(unsigned seed) : random_(seed) { }

    SettingsRecord any()
    {
        SettingsRecord r;
        auto* b = reinterpret_cast<std::uint8_t*>(&r);
        for (std::size_t i = 0; i < sizeof r; ++i)
            b[i] = byte();
        return r;
    }

    SettingsRecord carriable()
    {
        SettingsRecord r = any();
        r.pinMod.len = 4;
        r.pin.len = coin() ? 0 : 4;
        text(r.pin, r.pin.len);
        text(r.csms, upTo(12));
        for (auto& n : r.nrUser)
            text(n, upTo(12));
        for (auto& row : r.smsWeRe)
            for (auto& t : row)
                text(t, upTo(36));
        for (auto& row : r.smsSpecWeRe)
            for (auto& t : row)
                text(t, upTo(36));
        return r;
    }

private:
    std::uint8_t byte() { return static_cast<std::uint8_t>(random_() & 0xFF); }
    bool coin() { return (random_() & 1) != 0; }
    std::size_t upTo(std::size_t n) { return random_() % (n + 1); }

    // Characters from 1..255 except the quote; the bytes past the length stay random.
    template <std::size_t N>
    void text(ShortString<N>& s, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i) {
            std::uint8_t c;
            do
                c = byte();
            while (c == 0 || c == '"');
            s.chars[i] = c;
        }
        s.len = static_cast<std::uint8_t>(length);
    }

    std::mt19937 random_;
};

TEST(RoundTrip, CarriedFieldsComeBackUnchanged)
{
    RecordMaker make(20261207);
    for (int i = 0; i < 500; ++i) {
        const SettingsRecord original = make.carriable();
        DeviceImage img;
        SettingsToImage(original, img);

        SettingsRecord same = original;
        ImageToSettings(img, same);
        ASSERT_EQ(std::memcmp(&same, &original, sizeof same), 0) << "record " << i;

        // Into an unrelated record: everything carried must match, so the image
        // built from it is the same image.
        SettingsRecord other = make.any();
        ImageToSettings(img, other);
        DeviceImage again;
        SettingsToImage(other, again);
        ASSERT_EQ(again, img) << "record " << i;
    }
}

TEST(RoundTrip, AnyImageReadsWithoutFaultAndStaysInsideItsFields)
{
    // Arbitrary bytes, as a damaged read-back could bring; every length must
    // come out within its field's maximum.
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        DeviceImage img;
        for (auto& b : img)
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? '"' : random() & 0xFF);
        SettingsRecord r{};
        ImageToSettings(img, r);
        EXPECT_TRUE(r.csms.lengthValid() && r.pin.lengthValid() && r.pinMod.lengthValid());
        for (const auto& n : r.nrUser)
            ASSERT_TRUE(n.lengthValid());
        for (const auto& row : r.smsWeRe)
            for (const auto& t : row)
                ASSERT_TRUE(t.lengthValid());
        for (const auto& row : r.smsSpecWeRe)
            for (const auto& t : row)
                ASSERT_TRUE(t.lengthValid());
    }
}

}  // namespace
}  // namespace tarnik

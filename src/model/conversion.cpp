#include "model/conversion.h"

#include <algorithm>
#include <cstring>

#include "model/image_layout.h"

namespace tarnik {

namespace {

using namespace image;

std::uint8_t* at(DeviceImage& img, std::size_t offset)
{
    return img.data() + offset;
}
const std::uint8_t* at(const DeviceImage& img, std::size_t offset)
{
    return img.data() + offset;
}

// Quote, up to kQuotedSlotMaxText characters, quote, 0. An empty text leaves
// the slot 0. A longer text is cut so the slot's neighbours are never touched.
template <std::size_t N>
void writeQuoted(const ShortString<N>& text, DeviceImage& img, std::size_t slot)
{
    if (text.empty())
        return;
    const std::size_t n =
        std::min<std::size_t>(std::min<std::size_t>(text.len, N), kQuotedSlotMaxText);
    std::uint8_t* out = at(img, slot);
    out[0] = kQuote;
    std::copy_n(text.chars, n, out + 1);
    out[n + 1] = kQuote;
    out[n + 2] = 0;
}

// Empty unless the slot starts with a quote; then the bytes up to the next quote,
// at most kQuotedReadMax of them.
template <std::size_t N>
void readQuoted(const DeviceImage& img, std::size_t slot, ShortString<N>& text)
{
    static_assert(N >= kQuotedReadMax);
    text.len = 0;
    const std::uint8_t* in = at(img, slot);
    if (in[0] != kQuote)
        return;
    std::size_t n = 0;
    while (n < kQuotedReadMax && in[1 + n] != kQuote)
        ++n;
    std::copy_n(in + 1, n, text.chars);
    text.len = static_cast<std::uint8_t>(n);
}

template <std::size_t N>
void writeText(const ShortString<N>& text, DeviceImage& img, std::size_t slot)
{
    static_assert(N <= kTextSlotLength);
    std::copy_n(text.chars, std::min<std::size_t>(text.len, N), at(img, slot));
}

template <std::size_t N>
void readText(const DeviceImage& img, std::size_t slot, ShortString<N>& text)
{
    static_assert(N >= kTextSlotLength);
    const std::uint8_t* in = at(img, slot);
    std::size_t n = 0;
    while (n < kTextSlotLength && in[n] != 0)
        ++n;
    std::copy_n(in, n, text.chars);
    text.len = static_cast<std::uint8_t>(n);
}

}  // namespace

void SetDefaults(SettingsRecord& record)
{
    std::fill(std::begin(record.timerPod), std::end(record.timerPod), 1);
    std::fill(std::begin(record.timerTorBuf), std::end(record.timerTorBuf), 1);
    for (int o = 0; o < kOutputs; ++o) {
        record.zalWyCode[o][0] = record.zalWyCode[o][1] = 0;
        record.wylWyCode[o][0] = record.wylWyCode[o][1] = 0;
    }
    record.pinMod.len = 0;
    record.pin.len = 0;
    for (auto& number : record.nrUser)
        number.len = 0;
    for (int r = 0; r < kReactions; ++r) {
        for (int k = 0; k < kInputs; ++k) {
            record.smsWeRe[k][r].len = 0;
            record.numberWeRe[k][r] = 0x80;  // "Opcje nieaktywne"
            record.workWeRe[k][r] = 0;
        }
        for (int k = 0; k < kSpecialEntries; ++k) {
            record.smsSpecWeRe[k][r].len = 0;
            record.numberSpecWeRe[k][r] = 0x80;
            record.workSpecWeRe[k][r] = 0;
        }
    }
    record.exitTime = 1;
    record.entryTime = 1;
    record.alarmTime = 1;
}

void ClearImage(DeviceImage& image)
{
    image.fill(0);
}

std::uint8_t headerChecksum(const DeviceImage& img)
{
    unsigned sum = 0;
    for (std::size_t i = kChecksumFirst; i <= kChecksumLast; ++i)
        sum += img[i];
    return static_cast<std::uint8_t>(~sum & 0xFFu);
}

void SettingsToImage(const SettingsRecord& rec, DeviceImage& img)
{
    ClearImage(img);
    img[kLeadIn] = kLeadInByte;
    img[kLeadIn + 1] = kLeadInByte;

    std::copy_n(rec.timerPod, kInputs, at(img, kTimerPod));
    std::copy_n(rec.wyOffTimer, kOutputs, at(img, kWyOffTimer));
    img[kCallingTimer] = static_cast<std::uint8_t>(rec.callingTimer + kCallingTimerBias);
    img[kCallTimer] = rec.callTimer;
    img[kFlags] = rec.flags;
    img[kSmsConfirmTimer] = rec.smsConfirmTimer;
    img[kSmsAttempts] = rec.smsAttempts;
    img[kSmsAttemptsCopy] = rec.smsAttempts;

    std::copy_n(rec.timerTorBuf, kInputs, at(img, kTimerTorBuf));
    img[kTestOkr] = rec.testOkr;
    std::memcpy(at(img, kZalWyCode), rec.zalWyCode, sizeof rec.zalWyCode);
    std::memcpy(at(img, kWylWyCode), rec.wylWyCode, sizeof rec.wylWyCode);

    // The access code travels as its four character bytes whatever its length.
    std::copy_n(rec.pinMod.chars, kPinModLength, at(img, kPinMod));
    img[kClipVerif] = rec.clipVerif;
    img[kClipNotVerif] = rec.clipNotVerif;

    for (int r = 0; r < kReactions; ++r) {
        for (int k = 0; k < kInputs; ++k) {
            img[inputPair(k, r)] = rec.workWeRe[k][r];
            img[inputPair(k, r) + 1] = rec.numberWeRe[k][r];
        }
        for (int k = 0; k < kSpecialEntries; ++k) {
            img[specialPair(k, r)] = rec.workSpecWeRe[k][r];
            img[specialPair(k, r) + 1] = rec.numberSpecWeRe[k][r];
        }
    }

    if (!rec.pin.empty()) {
        img[kPin] = kQuote;
        std::copy_n(rec.pin.chars, kPinCharacters, at(img, kPin + 1));
        img[kPin + 1 + kPinCharacters] = kQuote;
        img[kPin + 2 + kPinCharacters] = 0;
    }

    writeQuoted(rec.csms, img, kCsms);
    for (int u = 0; u < kUsers; ++u)
        writeQuoted(rec.nrUser[u], img, userNumberSlot(u));

    for (int r = 0; r < kReactions; ++r)
        for (int k = 0; k < kInputs; ++k)
            writeText(rec.smsWeRe[k][r], img, inputTextSlot(k, r));
    for (int r = 0; r < kReactions; ++r)
        for (int k = 0; k < kSpecialEntries; ++k)
            writeText(rec.smsSpecWeRe[k][r], img, specialTextSlot(k, r));

    img[kExitTime] = rec.exitTime;
    img[kEntryTime] = rec.entryTime;
    img[kAlarmTime] = rec.alarmTime;

    img[kChecksum] = headerChecksum(img);
}

void ImageToSettings(const DeviceImage& img, SettingsRecord& rec)
{
    std::copy_n(at(img, kTimerPod), kInputs, rec.timerPod);
    std::copy_n(at(img, kWyOffTimer), kOutputs, rec.wyOffTimer);
    rec.callingTimer = static_cast<std::uint8_t>(img[kCallingTimer] - kCallingTimerBias);
    rec.callTimer = img[kCallTimer];
    rec.flags = img[kFlags];
    rec.smsConfirmTimer = img[kSmsConfirmTimer];
    rec.smsAttempts = img[kSmsAttemptsCopy];

    std::copy_n(at(img, kTimerTorBuf), kInputs, rec.timerTorBuf);
    rec.testOkr = img[kTestOkr];
    std::memcpy(rec.zalWyCode, at(img, kZalWyCode), sizeof rec.zalWyCode);
    std::memcpy(rec.wylWyCode, at(img, kWylWyCode), sizeof rec.wylWyCode);

    std::copy_n(at(img, kPinMod), kPinModLength, rec.pinMod.chars);
    rec.pinMod.len = kPinModLength;
    rec.clipVerif = img[kClipVerif];
    rec.clipNotVerif = img[kClipNotVerif];

    for (int r = 0; r < kReactions; ++r) {
        for (int k = 0; k < kInputs; ++k) {
            rec.workWeRe[k][r] = img[inputPair(k, r)];
            rec.numberWeRe[k][r] = img[inputPair(k, r) + 1];
        }
        for (int k = 0; k < kSpecialEntries; ++k) {
            rec.workSpecWeRe[k][r] = img[specialPair(k, r)];
            rec.numberSpecWeRe[k][r] = img[specialPair(k, r) + 1];
        }
    }

    rec.pin.len = 0;
    if (img[kPin] == kQuote) {
        std::copy_n(at(img, kPin + 1), kPinCharacters, rec.pin.chars);
        rec.pin.len = kPinCharacters;
    }

    readQuoted(img, kCsms, rec.csms);
    for (int u = 0; u < kUsers; ++u)
        readQuoted(img, userNumberSlot(u), rec.nrUser[u]);

    for (int r = 0; r < kReactions; ++r)
        for (int k = 0; k < kInputs; ++k)
            readText(img, inputTextSlot(k, r), rec.smsWeRe[k][r]);
    for (int r = 0; r < kReactions; ++r)
        for (int k = 0; k < kSpecialEntries; ++k)
            readText(img, specialTextSlot(k, r), rec.smsSpecWeRe[k][r]);

    rec.exitTime = img[kExitTime];
    rec.entryTime = img[kEntryTime];
    rec.alarmTime = img[kAlarmTime];
}

}  // namespace tarnik

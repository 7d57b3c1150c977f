#include "model/settings_catalogue.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "model/image_layout.h"

namespace tarnik {

namespace {

using namespace image;

// Labels of the places the window shows the settings in.
constexpr const char* kBasic = "Podstawowe";
constexpr const char* kPhones = "numery telefonów";
constexpr const char* kInputsPage = "Wejścia";
constexpr const char* kSpecialPage = "Wejścia specjalne";
constexpr const char* kOutputsPage = "Wyjścia";
constexpr const char* kGround[kReactions] = {"podanie masy", "zanik masy"};
constexpr const char* kSwitched[kReactions] = {"załączone", "wyłączone"};
constexpr const char* kReactionColumn = "Reakcja wyjść";
constexpr const char* kNotifyColumn = "Powiadomienie";
constexpr const char* kConfirmColumn = "Komunikat SMS gdy";
constexpr const char* kTextColumn = "Treść wiadomości SMS";

std::string join(std::initializer_list<std::string> parts)
{
    std::string label;
    for (const std::string& part : parts)
        label += (label.empty() ? "" : kLabelSeparator) + part;
    return label;
}

class Builder {
public:
    void add(std::string key, std::string label, SettingKind kind, std::size_t offset,
             std::size_t width, std::vector<ImageSpan> image,
             SettingHome home = SettingHome::Settings)
    {
        entries.push_back(SettingEntry{std::move(key), std::move(label), kind, home, offset, width,
                                       std::move(image)});
    }
    void byte(std::string key, std::string label, std::size_t offset, std::size_t imageOffset,
              SettingKind kind = SettingKind::Number)
    {
        add(std::move(key), std::move(label), kind, offset, 1, {{imageOffset, 1}});
    }
    void bitSet(std::string key, std::string label, std::size_t offset, std::size_t imageOffset,
                BitMeanings bits)
    {
        byte(std::move(key), std::move(label), offset, imageOffset, SettingKind::BitSet);
        entries.back().bits = std::move(bits);
    }
    // The entries added since `first` are held by no control the window shows.
    void hideFrom(std::size_t first)
    {
        for (std::size_t i = first; i < entries.size(); ++i) {
            entries[i].hidden = true;
            entries[i].label += kHiddenInWindow;
        }
    }

    std::vector<SettingEntry> entries;
};

// An output-reaction, notification and text triple of one reaction of an input or
// special entry.
struct ReactionFields {
    const char* numberKey;
    const char* workKey;
    const char* textKey;
    std::size_t numberOffset;
    std::size_t workOffset;
    std::size_t textOffset;
    std::size_t pairOffset;  // image: notification byte, then output-reaction byte
    std::size_t textSlot;
};

// How the window shows one reaction's two bit sets.
struct ReactionView {
    BitMeanings outputs;
    BitMeanings notification;
    const char* notifyColumn = kNotifyColumn;
    bool outputsHidden = false;  // no button opens the output-reaction dialog for it
};

void addReaction(Builder& b, const ReactionFields& f, int k, int r, const std::string& place,
                 ReactionView view)
{
    b.bitSet(settingKey(f.numberKey, k, r), join({place, kReactionColumn}), f.numberOffset,
             f.pairOffset + 1, std::move(view.outputs));
    if (view.outputsHidden)
        b.hideFrom(b.entries.size() - 1);
    b.bitSet(settingKey(f.workKey, k, r), join({place, view.notifyColumn}), f.workOffset,
             f.pairOffset, std::move(view.notification));
    b.add(settingKey(f.textKey, k, r), join({place, kTextColumn}), SettingKind::Text, f.textOffset,
          sizeof(ShortString<36>), {{f.textSlot, kTextSlotLength}});
}

ReactionFields inputReaction(int k, int r)
{
    const std::size_t i = static_cast<std::size_t>(k * kReactions + r);
    return {"numberWeRe",
            "workWeRe",
            "smsWeRe",
            offsetof(SettingsRecord, numberWeRe) + i,
            offsetof(SettingsRecord, workWeRe) + i,
            offsetof(SettingsRecord, smsWeRe) + sizeof(ShortString<36>) * i,
            inputPair(k, r),
            inputTextSlot(k, r)};
}

ReactionFields specialReaction(int k, int r)
{
    const std::size_t i = static_cast<std::size_t>(k * kReactions + r);
    return {"numberSpecWeRe",
            "workSpecWeRe",
            "smsSpecWeRe",
            offsetof(SettingsRecord, numberSpecWeRe) + i,
            offsetof(SettingsRecord, workSpecWeRe) + i,
            offsetof(SettingsRecord, smsSpecWeRe) + sizeof(ShortString<36>) * i,
            specialPair(k, r),
            specialTextSlot(k, r)};
}

void addBasicPage(Builder& b)
{
    const std::string basic = join({kBasic, "podstawowe"});
    b.add("pin", join({basic, "Pin karty"}), SettingKind::Text, offsetof(SettingsRecord, pin),
          sizeof(ShortString<7>), {{kPin, kPinSlotLength}});
    b.entries.back().receivedLength = kPinCharacters;
    b.add("csms", join({basic, "nr centrum sms"}), SettingKind::Text,
          offsetof(SettingsRecord, csms), sizeof(ShortString<15>), {{kCsms, kQuotedSlotLength}});
    const std::string clip = join({kBasic, "Ustawienia clipa"});
    b.byte("callingTimer", join({clip, "Dzwoń przez [s]"}), offsetof(SettingsRecord, callingTimer),
           kCallingTimer);
    b.byte("callTimer", join({clip, "Odrzuć po [s]"}), offsetof(SettingsRecord, callTimer),
           kCallTimer);
    b.bitSet("clipVerif", join({clip, "Clip od użytkownika"}), offsetof(SettingsRecord, clipVerif),
             kClipVerif, clipMeanings(true));
    b.bitSet("clipNotVerif", join({clip, "Clip od nieznanego numeru"}),
             offsetof(SettingsRecord, clipNotVerif), kClipNotVerif, clipMeanings(false));
    b.add("pinMod", join({kBasic, "Funkcje programowania przez SMS", "Kod dostępu przez SMS"}),
          SettingKind::Text, offsetof(SettingsRecord, pinMod), sizeof(ShortString<4>),
          {{kPinMod, kPinModLength}});
    // One byte of option boxes on two pages: bits 4 and 5 here, 0 to 3 on "Wyjścia".
    // Its label names both pages; each bit names its box's own place.
    b.bitSet("flags", "Podstawowe, Wyjścia / pola opcji", offsetof(SettingsRecord, flags), kFlags,
             optionMeanings());
    const std::string sms = join({kBasic, "Ustawienia SMS"});
    b.byte("smsConfirmTimer", join({sms, "Oczekiwanie na potwiedzenie [s]"}),
           offsetof(SettingsRecord, smsConfirmTimer), kSmsConfirmTimer);
    b.add("smsAttempts", join({sms, "ilość prób wysłania sms-a"}), SettingKind::Number,
          offsetof(SettingsRecord, smsAttempts), 1, {{kSmsAttempts, 1}, {kSmsAttemptsCopy, 1}});
    b.byte("testOkr", join({kBasic, "Raport okresowy do użytkownika 1", "Przyślij raport co: [h]"}),
           offsetof(SettingsRecord, testOkr), kTestOkr);
    // A group the window keeps hidden.
    const std::size_t extraFirst = b.entries.size();
    const std::string extra = join({kBasic, "Dodatkowe"});
    b.byte("exitTime", join({extra, "czas na wyjście"}), offsetof(SettingsRecord, exitTime),
           kExitTime);
    b.byte("entryTime", join({extra, "czas na wejście"}), offsetof(SettingsRecord, entryTime),
           kEntryTime);
    b.byte("alarmTime", join({extra, "czas trwania alarmu akustycznego"}),
           offsetof(SettingsRecord, alarmTime), kAlarmTime);
    b.hideFrom(extraFirst);
}

void addPhonesPage(Builder& b)
{
    for (int u = 0; u < kUsers; ++u) {
        const std::string user = join({kPhones, "Użytkownik " + std::to_string(u + 1)});
        const std::size_t entry = sizeof(UserEntry) * static_cast<std::size_t>(u);
        b.add(settingKey("nrUser", u + 1), join({user, "tel."}), SettingKind::Text,
              offsetof(SettingsRecord, nrUser) +
                  sizeof(ShortString<15>) * static_cast<std::size_t>(u),
              sizeof(ShortString<15>), {{userNumberSlot(u), kQuotedSlotLength}});
        b.add(settingKey("osoba", u + 1), join({user, "Nazwa"}), SettingKind::Text,
              entry + offsetof(UserEntry, osoba), sizeof(ShortString<30>), {}, SettingHome::Users);
        b.add(settingKey("uwagi", u + 1), join({user, "Uwagi"}), SettingKind::Text,
              entry + offsetof(UserEntry, uwagi), sizeof(ShortString<250>), {}, SettingHome::Users);
    }
}

void addInputsPage(Builder& b)
{
    for (int k = 0; k < kInputs; ++k) {
        const std::string input = join({kInputsPage, "Wejście " + std::to_string(k + 1)});
        const auto ku = static_cast<std::size_t>(k);
        b.byte(settingKey("timerPod", k + 1), join({input, "Czas reakcji [x 0,1s]"}),
               offsetof(SettingsRecord, timerPod) + ku, kTimerPod + ku);
        b.byte(settingKey("timerTorBuf", k + 1),
               join({input, "Blokada wejścia po reakcji [x 10s]"}),
               offsetof(SettingsRecord, timerTorBuf) + ku, kTimerTorBuf + ku);
        for (int r = 0; r < kReactions; ++r)
            addReaction(b, inputReaction(k, r), k + 1, r + 1, join({input, kGround[r]}),
                        {outputReactionMeanings(kInputUnavailableShown, true),
                         notificationMeanings(true, true)});
    }
}

void addSpecialPage(Builder& b)
{
    // Entries 3 and 5 are shown; 4 and 6 live in hidden rows.
    struct Row {
        int entry;
        const char* name;
        std::uint8_t unavailableShown;
        bool shown;
    };
    const Row rows[] = {{3, "Wejście sabotażowe", kTamperUnavailableShown, true},
                        {5, "Wejście blokujące", kBlockingUnavailableShown, true},
                        {4, "Wejscie specjalne 4", 0, false},
                        {6, "Wejscie specjalne 6", 0, false}};
    for (const Row& row : rows) {
        const std::size_t first = b.entries.size();
        for (int r = 0; r < kReactions; ++r)
            addReaction(b, specialReaction(row.entry - 1, r), row.entry, r + 1,
                        join({kSpecialPage, row.name, kGround[r]}),
                        {outputReactionMeanings(row.unavailableShown, row.shown),
                         notificationMeanings(true, row.shown)});
        if (!row.shown)
            b.hideFrom(first);
    }
}

void addOutputsPage(Builder& b)
{
    for (int n = 0; n < kOutputs; ++n) {
        const std::string output = join({kOutputsPage, "Wyjście " + std::to_string(n + 1)});
        const auto nu = static_cast<std::size_t>(n);
        b.add(settingKey("zalWyCode", n + 1), join({output, "Kod załączenia"}), SettingKind::Code,
              offsetof(SettingsRecord, zalWyCode) + 2 * nu, 2, {{kZalWyCode + 2 * nu, 2}});
        b.add(settingKey("wylWyCode", n + 1), join({output, "Kod wyłączenia"}), SettingKind::Code,
              offsetof(SettingsRecord, wylWyCode) + 2 * nu, 2, {{kWylWyCode + 2 * nu, 2}});
        b.byte(settingKey("wyOffTimer", n + 1),
               join({output, "Wyłącz wyjście " + std::to_string(n + 1) + " po czasie [s]"}),
               offsetof(SettingsRecord, wyOffTimer) + nu, kWyOffTimer + nu);
    }
    // Special entries 1 and 2: the confirmations of the outputs' reactions, told by
    // SMS only. No button opens the output-reaction dialog for them.
    for (int k = 0; k < kOutputs; ++k)
        for (int r = 0; r < kReactions; ++r)
            addReaction(b, specialReaction(k, r), k + 1, r + 1,
                        join({kOutputsPage, "Potwierdzenie reakcji wyjścia",
                              "Wyjście " + std::to_string(k + 1), kSwitched[r]}),
                        {outputReactionMeanings(0, false), notificationMeanings(false, true),
                         kConfirmColumn, true});
}

std::vector<SettingEntry> buildCatalogue()
{
    Builder b;
    addBasicPage(b);
    addPhonesPage(b);
    addInputsPage(b);
    addSpecialPage(b);
    addOutputsPage(b);
    return std::move(b.entries);
}

const std::uint8_t* homeBytes(const SettingsRecord& record, const UserDirectory& users,
                              const SettingEntry& entry)
{
    return entry.home == SettingHome::Settings ? reinterpret_cast<const std::uint8_t*>(&record)
                                               : reinterpret_cast<const std::uint8_t*>(&users);
}

// Labels of the image bytes no setting carries.
std::string imagePartLabel(std::size_t offset)
{
    if (offset >= kLeadIn && offset < kLeadIn + kLeadInLength)
        return "Obraz modułu / nagłówek";
    if (offset == kChecksum)
        return "Obraz modułu / suma kontrolna";
    return "Obraz modułu / bajty puste";
}

}  // namespace

const SettingEntry& settingEntry(const std::string& key)
{
    if (const SettingEntry* entry = findSetting(key))
        return *entry;
    throw std::logic_error("no setting " + key);
}

std::string settingKey(const char* field, int i)
{
    return std::string(field) + "[" + std::to_string(i) + "]";
}
std::string settingKey(const char* field, int i, int j)
{
    return settingKey(field, i) + "[" + std::to_string(j) + "]";
}

SettingKeyParts settingKeyParts(const std::string& key)
{
    SettingKeyParts parts;
    const std::size_t open = key.find('[');
    parts.field = key.substr(0, open);
    int* index[] = {&parts.i, &parts.j};
    std::size_t at = open;
    for (int* value : index) {
        if (at == std::string::npos || at >= key.size() || key[at] != '[')
            break;
        const std::size_t close = key.find(']', at);
        if (close == std::string::npos)
            break;
        const std::string digits = key.substr(at + 1, close - at - 1);
        if (digits.empty() || digits.size() > 3 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            break;
        *value = std::stoi(digits);
        at = close + 1;
    }
    return parts;
}

std::vector<std::string> labelParts(const std::string& label)
{
    const std::size_t separator = std::char_traits<char>::length(kLabelSeparator);
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = label.find(kLabelSeparator, from)) != std::string::npos;
         from = at + separator)
        parts.push_back(label.substr(from, at - from));
    parts.push_back(label.substr(from));
    return parts;
}

const std::string& boxPlace(const SettingEntry& entry, const BitMeaning& meaning)
{
    return meaning.place.empty() ? entry.label : meaning.place;
}

std::size_t SettingEntry::maxLength() const
{
    switch (kind) {
    case SettingKind::Text:
        return width - 1;
    case SettingKind::Code:
        return width;
    default:
        return 0;
    }
}

namespace {

// A key without its index: "nrUser[2]" is "nrUser".
std::string_view keyName(std::string_view key)
{
    return key.substr(0, key.find('['));
}

}  // namespace

bool isSecretCode(std::string_view key)
{
    const std::string_view name = keyName(key);
    return name == "pin" || name == "pinMod" || name == "zalWyCode" || name == "wylWyCode";
}

bool isPhoneNumber(std::string_view key)
{
    const std::string_view name = keyName(key);
    return name == "nrUser" || name == "csms";
}

std::span<const SettingEntry> settingsCatalogue()
{
    static const std::vector<SettingEntry> catalogue = buildCatalogue();
    return catalogue;
}

const SettingEntry* findSetting(const std::string& key)
{
    static const std::map<std::string, const SettingEntry*> byKey = [] {
        std::map<std::string, const SettingEntry*> map;
        for (const SettingEntry& entry : settingsCatalogue())
            map.emplace(entry.key, &entry);
        return map;
    }();
    const auto it = byKey.find(key);
    return it == byKey.end() ? nullptr : it->second;
}

SettingValue readSetting(const SettingsRecord& record, const UserDirectory& users,
                         const SettingEntry& entry)
{
    const std::uint8_t* bytes = homeBytes(record, users, entry) + entry.offset;
    switch (entry.kind) {
    case SettingKind::Number:
    case SettingKind::BitSet:
        return int{bytes[0]};
    case SettingKind::Text: {
        std::size_t length = std::min<std::size_t>(bytes[0], entry.maxLength());
        if (entry.receivedLength != 0)
            length = std::min(length, entry.receivedLength);
        const auto* chars = bytes + 1;
        const auto* end = std::find(chars, chars + length, std::uint8_t{0});
        return std::string(reinterpret_cast<const char*>(chars),
                           static_cast<std::size_t>(end - chars));
    }
    case SettingKind::Code: {
        const auto* end = std::find(bytes, bytes + entry.width, std::uint8_t{0});
        return std::string(reinterpret_cast<const char*>(bytes),
                           static_cast<std::size_t>(end - bytes));
    }
    }
    return 0;
}

void writeSetting(SettingsRecord& record, UserDirectory& users, const SettingEntry& entry,
                  const SettingValue& value)
{
    auto* bytes = const_cast<std::uint8_t*>(homeBytes(record, users, entry)) + entry.offset;
    if (const int* number = std::get_if<int>(&value)) {
        if (entry.width == 1)
            bytes[0] = static_cast<std::uint8_t>(*number);
        return;
    }
    const std::string& text = std::get<std::string>(value);
    const std::size_t length = std::min(text.size(), entry.maxLength());
    if (entry.kind == SettingKind::Text) {
        bytes[0] = static_cast<std::uint8_t>(length);
        std::memcpy(bytes + 1, text.data(), length);
    } else if (entry.kind == SettingKind::Code) {
        std::fill_n(bytes, entry.width, std::uint8_t{0});
        std::memcpy(bytes, text.data(), length);
    }
}

std::vector<const SettingEntry*> differingSettings(const SettingsRecord& recordA,
                                                   const UserDirectory& usersA,
                                                   const SettingsRecord& recordB,
                                                   const UserDirectory& usersB)
{
    std::vector<const SettingEntry*> differing;
    for (const SettingEntry& entry : settingsCatalogue())
        if (readSetting(recordA, usersA, entry) != readSetting(recordB, usersB, entry))
            differing.push_back(&entry);
    return differing;
}

std::vector<ImageDifference> differingImageBytes(const DeviceImage& expected,
                                                 const DeviceImage& actual, std::size_t byteCount)
{
    byteCount = std::min(byteCount, expected.size());
    std::vector<ImageDifference> differences;
    std::vector<bool> carried(byteCount, false);
    for (const SettingEntry& entry : settingsCatalogue()) {
        ImageDifference difference{&entry, entry.label, {}};
        for (const ImageSpan& span : entry.image)
            for (std::size_t at = span.offset; at < span.offset + span.width && at < byteCount;
                 ++at) {
                carried[at] = true;
                if (expected[at] != actual[at])
                    difference.offsets.push_back(at);
            }
        if (!difference.offsets.empty())
            differences.push_back(std::move(difference));
    }
    // The checksum follows the header: it tells something of its own only when every
    // header byte is alike.
    bool headerDiffers = false;
    for (std::size_t at = kChecksumFirst; at <= kChecksumLast && at < byteCount; ++at)
        headerDiffers = headerDiffers || expected[at] != actual[at];
    std::map<std::string, std::vector<std::size_t>> parts;
    std::vector<std::string> partOrder;
    for (std::size_t at = 0; at < byteCount; ++at) {
        if (carried[at] || expected[at] == actual[at] || (at == kChecksum && headerDiffers))
            continue;
        const std::string label = imagePartLabel(at);
        if (!parts.contains(label))
            partOrder.push_back(label);
        parts[label].push_back(at);
    }
    for (const std::string& label : partOrder)
        differences.push_back({nullptr, label, parts[label]});
    return differences;
}

}  // namespace tarnik

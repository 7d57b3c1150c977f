#include "file/settings_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "file/json_reader.h"

#include "model/codepage.h"
#include "model/effective_settings.h"
#include "model/phone_numbers.h"
#include "model/polish_plural.h"
#include "model/setting_comparison.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"

namespace tarnik {

namespace {

constexpr const char* kFormatKey = "format";
constexpr const char* kVersionKey = "version";
constexpr const char* kSettingsKey = "settings";
constexpr int kBits = 8;

// One JSON value written compactly (QJsonValue has no writer of its own).
QByteArray jsonText(const QJsonValue& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QJsonValue toJson(const SettingEntry& entry, const SettingValue& value)
{
    if (const int* number = std::get_if<int>(&value)) {
        if (entry.kind == SettingKind::Number)
            return *number;
        return QString::fromStdString(bitSetText(*number));
    }
    return fromCp1250(std::get<std::string>(value));
}

// The faults a refusal lists; a document of thousands of faults ends with one line that
// counts the rest.
constexpr std::size_t kListedFaults = 100;

// The faults of one document, each with the key and the line it concerns.
class Faults {
public:
    void add(int line, const std::string& key, const std::string& reason)
    {
        faults_.emplace_back(line, "wiersz " + std::to_string(line) + ": " + key + ": " + reason);
    }
    bool empty() const { return faults_.empty(); }
    // Throws the faults in the order of their lines.
    [[noreturn]] void raise()
    {
        std::stable_sort(faults_.begin(), faults_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::string all;
        const std::size_t listed = std::min(faults_.size(), kListedFaults);
        for (std::size_t i = 0; i < listed; ++i)
            all += (all.empty() ? "" : "\n") + faults_[i].second;
        if (listed < faults_.size())
            all += "\nwiersz " + std::to_string(faults_[listed].first) + " i dalsze: jeszcze " +
                   countedNoun(static_cast<long long>(faults_.size() - listed), "błąd", "błędy",
                               "błędów") +
                   " (pokazano pierwsze " + std::to_string(listed) + ")";
        throw SettingsJsonError(all);
    }

private:
    std::vector<std::pair<int, std::string>> faults_;
};

// The code page 1250 bytes of `text`: for each character the byte that reads back as
// it (the bytes the code page leaves undefined read as the control character of the
// same number, so those come back too). A character with no such byte is named.
std::optional<std::string> exactCp1250(const QString& text, std::string& badCharacter)
{
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        std::optional<char> byte;
        if (!c.isSurrogate()) {
            const std::string encoded = toCp1250(QString(c));
            if (encoded.size() == 1 && fromCp1250(encoded) == QString(c))
                byte = encoded[0];
            else if (c.unicode() < 256 &&
                     fromCp1250(std::string(1, static_cast<char>(c.unicode()))) == QString(c))
                byte = static_cast<char>(c.unicode());  // a byte the code page leaves undefined
        }
        if (!byte) {
            const qsizetype width =
                c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
            badCharacter = text.mid(i, width).toStdString();
            return std::nullopt;
        }
        bytes.push_back(*byte);
    }
    return bytes;
}

std::string characters(std::size_t n)
{
    return countedNoun(static_cast<long long>(n), "znak", "znaki", "znaków");
}

// The characters a text may hold in the window: a PIN only as many as its edit
// takes and the module receives, any other text its field's width.
std::size_t allowedLength(const SettingEntry& entry)
{
    return entry.receivedLength != 0 ? entry.receivedLength : entry.maxLength();
}

// Why the window cannot hold a bit set, or empty when it can.
std::string bitSetProblem(const SettingEntry& entry, std::uint8_t bits)
{
    if (entry.home != SettingHome::Settings)
        return {};
    if (entry.offset == offsetof(SettingsRecord, flags) && (bits & ~kOptionBitsMask) != 0)
        return "bity 6 i 7 nie mają w oknie pola wyboru (dozwolone 00xxxxxx)";
    if ((entry.offset == offsetof(SettingsRecord, clipVerif) ||
         entry.offset == offsetof(SettingsRecord, clipNotVerif)) &&
        effectiveClipBits(bits) != bits)
        return "dwie akcje tego samego wyjścia naraz (załącz, wyłącz i zmień stan wykluczają "
               "się; okno zostawia jedną)";
    return {};
}

std::optional<SettingValue> fromJson(const SettingEntry& entry, const JsonValue& value,
                                     Faults& faults)
{
    const auto refuse = [&](const std::string& reason) {
        faults.add(value.line, entry.key, reason);
        return std::nullopt;
    };
    switch (entry.kind) {
    case SettingKind::Number: {
        if (value.type != JsonValue::Type::Number || std::floor(value.number) != value.number)
            return refuse("wartość " + jsonValueText(value) + ": oczekiwano liczby całkowitej");
        const SpinLimits* limits = spinLimitsAt(entry.offset);
        const int minimum = limits ? limits->minimum : 0;
        const int maximum = limits ? limits->maximum : 255;
        if (value.number < minimum || value.number > maximum)
            return refuse("wartość " + jsonValueText(value) + " poza zakresem " +
                          std::to_string(minimum) + ".." + std::to_string(maximum));
        return static_cast<int>(value.number);
    }
    case SettingKind::BitSet: {
        // Only eight digits are read: a longer string of any length is refused.
        bool valid = value.type == JsonValue::Type::String && value.text.size() == kBits;
        int byte = 0;
        for (int i = 0; valid && i < kBits; ++i) {
            const char c = value.text[static_cast<std::size_t>(i)];
            valid = c == '0' || c == '1';
            byte = byte * 2 + (c == '1' ? 1 : 0);
        }
        if (!valid)
            return refuse("wartość " + jsonValueText(value) +
                          ": oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)");
        const std::string problem = bitSetProblem(entry, static_cast<std::uint8_t>(byte));
        if (!problem.empty())
            return refuse("wartość " + jsonValueText(value) + ": " + problem);
        return byte;
    }
    case SettingKind::Text:
    case SettingKind::Code: {
        if (value.type != JsonValue::Type::String)
            return refuse("wartość " + jsonValueText(value) + ": oczekiwano tekstu");
        std::string bad;
        const auto bytes = exactCp1250(QString::fromStdString(value.text), bad);
        if (!bytes)
            return refuse("znak \"" + bad + "\" spoza strony kodowej 1250");
        if (bytes->find('\0') != std::string::npos)
            return refuse("znak o kodzie 0 nie mieści się w polu edycji");
        if (isNumberSetting(entry.key) && !isModuleNumber(*bytes))
            return refuse("wartość " + jsonValueText(value) + ": numer telefonu to " +
                          numberRuleText());
        if (entry.kind == SettingKind::Code && !bytes->empty() && bytes->size() != entry.width)
            return refuse("wartość " + jsonValueText(value) + ": kod ma " +
                          characters(entry.width) + " albo jest pusty");
        if (bytes->size() > allowedLength(entry))
            return refuse("wartość " + jsonValueText(value) + ": tekst dłuższy niż " +
                          characters(allowedLength(entry)));
        return *bytes;
    }
    }
    return refuse("nieznany rodzaj ustawienia");
}

// A key as the document wrote it, for a refusal: as it is when it is short and plain,
// otherwise quoted with its control characters escaped and cut, so that it keeps to
// its line of the refusal.
std::string documentKey(const std::string& key)
{
    const bool plain =
        key.size() <= kQuotedValueMax && std::none_of(key.begin(), key.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == '\x7F' || c == '"';
        });
    return plain ? key : quotedText(key, kQuotedValueMax);
}

// Each member's key with the first member that holds it, found by hashing: a document of
// a great many keys is judged in time proportional to its size.
class KeyIndex {
public:
    explicit KeyIndex(const JsonValue& object)
    {
        first_.reserve(object.members.size());
        for (const JsonMember& member : object.members)
            first_.try_emplace(member.key, &member.value);
    }
    const JsonValue* find(const std::string& key) const
    {
        const auto it = first_.find(key);
        return it == first_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<std::string_view, const JsonValue*> first_;
};

// Keys given twice in one object: each later one is a fault.
void findRepeatedKeys(const JsonValue& object, const KeyIndex& index, Faults& faults)
{
    for (const JsonMember& member : object.members) {
        const JsonValue* first = index.find(member.key);
        if (first != &member.value)
            faults.add(member.value.line, documentKey(member.key),
                       "klucz podany drugi raz (pierwszy raz w wierszu " +
                           std::to_string(first->line) + ")");
    }
}

// A text or code the window empties because its option is off must be empty.
void checkOptionalCodes(const SettingsRecord& record, const UserDirectory& users,
                        const std::map<std::string, int>& lines, Faults& faults)
{
    for (const CodeOption& option : codeOptions()) {
        if ((record.flags & option.flagBit) != 0)
            continue;
        const SettingEntry* entry = findSetting(option.key);
        if (!entry || !lines.contains(option.key))
            continue;
        const auto value = readSetting(record, users, *entry);
        if (!std::get<std::string>(value).empty())
            faults.add(lines.at(option.key), option.key,
                       "kod podany, choć opcja \"" + std::string(option.caption) +
                           "\" jest wyłączona (okno go usuwa); podaj \"\" albo włącz opcję");
    }
}

}  // namespace

QByteArray exportSettingsJson(const SettingsRecord& file, const UserDirectory& users)
{
    // The values the file programs, so that every export imports back.
    const SettingsRecord record = effectiveSettings(file).record();
    // Written line by line rather than through QJsonObject, which would sort the keys:
    // page order keeps a diff of two exports in the order the window shows them.
    QByteArray out = "{\n";
    out += "    " + jsonText(QString::fromLatin1(kFormatKey)) + ": " +
           jsonText(QString::fromLatin1(kSettingsJsonFormat)) + ",\n";
    out += "    " + jsonText(QString::fromLatin1(kVersionKey)) + ": " +
           QByteArray::number(kSettingsJsonVersion) + ",\n";
    out += "    " + jsonText(QString::fromLatin1(kSettingsKey)) + ": {\n";
    const auto catalogue = settingsCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const SettingEntry& entry = catalogue[i];
        out += "        " + jsonText(QString::fromStdString(entry.key)) + ": " +
               jsonText(toJson(entry, readSetting(record, users, entry)));
        out += i + 1 < catalogue.size() ? ",\n" : "\n";
    }
    out += "    }\n}\n";
    return out;
}

void importSettingsJson(const QByteArray& json, SettingsRecord& record, UserDirectory& users)
{
    JsonValue document;
    try {
        document = readJson(json.toStdString());
    } catch (const JsonSyntaxError& e) {
        throw SettingsJsonError(e.what());
    }
    if (document.type != JsonValue::Type::Object)
        throw SettingsJsonError("wiersz " + std::to_string(document.line) +
                                ": dokument nie jest obiektem JSON");
    Faults faults;
    const KeyIndex documentKeys(document);
    findRepeatedKeys(document, documentKeys, faults);
    for (const auto& [key, value] : document.members)
        if (key != kFormatKey && key != kVersionKey && key != kSettingsKey)
            faults.add(value.line, documentKey(key), "nieznany klucz");
    const JsonValue* format = documentKeys.find(kFormatKey);
    if (!format || format->type != JsonValue::Type::String || format->text != kSettingsJsonFormat)
        faults.add(format ? format->line : document.line, kFormatKey,
                   std::string("oczekiwano \"") + kSettingsJsonFormat + "\"");
    const JsonValue* version = documentKeys.find(kVersionKey);
    if (!version || version->type != JsonValue::Type::Number ||
        version->number != kSettingsJsonVersion)
        faults.add(version ? version->line : document.line, kVersionKey,
                   "obsługiwana jest tylko wersja " + std::to_string(kSettingsJsonVersion));
    const JsonValue* settings = documentKeys.find(kSettingsKey);
    if (!settings || settings->type != JsonValue::Type::Object) {
        faults.add(settings ? settings->line : document.line, kSettingsKey,
                   "brak obiektu z ustawieniami");
        faults.raise();
    }

    const KeyIndex settingKeys(*settings);
    findRepeatedKeys(*settings, settingKeys, faults);
    for (const auto& [key, value] : settings->members)
        if (!findSetting(key))
            faults.add(value.line, documentKey(key), "nieznany klucz");
    SettingsRecord newRecord{};
    UserDirectory newUsers{};
    std::map<std::string, int> lines;
    for (const SettingEntry& entry : settingsCatalogue()) {
        const JsonValue* value = settingKeys.find(entry.key);
        if (!value) {
            faults.add(settings->line, entry.key, "brak klucza");
            continue;
        }
        if (const auto setting = fromJson(entry, *value, faults)) {
            writeSetting(newRecord, newUsers, entry, *setting);
            lines[entry.key] = value->line;
        }
    }
    if (lines.contains("flags"))
        checkOptionalCodes(newRecord, newUsers, lines, faults);
    if (!faults.empty())
        faults.raise();
    record = newRecord;
    users = newUsers;
}

}  // namespace tarnik

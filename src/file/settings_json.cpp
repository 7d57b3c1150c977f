#include "file/settings_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <optional>

#include "model/codepage.h"
#include "model/polish_plural.h"
#include "model/setting_comparison.h"
#include "model/settings_catalogue.h"

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

[[noreturn]] void refuse(const std::string& key, const std::string& reason)
{
    throw SettingsJsonError(key + ": " + reason);
}

// The code page 1250 bytes of `text`: for each character the byte that reads back as
// it (the bytes the code page leaves undefined read as the control character of the
// same number, so those come back too). A character with no such byte is refused.
std::string exactCp1250(const QString& text, const std::string& key)
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
            refuse(key,
                   "znak \"" + text.mid(i, width).toStdString() + "\" spoza strony kodowej 1250");
        }
        bytes.push_back(*byte);
    }
    return bytes;
}

SettingValue fromJson(const SettingEntry& entry, const QJsonValue& value)
{
    switch (entry.kind) {
    case SettingKind::Number: {
        const double number = value.toDouble(-1);
        if (!value.isDouble() || std::floor(number) != number)
            refuse(entry.key, "oczekiwano liczby całkowitej");
        if (number < 0 || number > 255)
            refuse(entry.key, "wartość " + jsonText(value).toStdString() + " poza zakresem 0..255");
        return static_cast<int>(number);
    }
    case SettingKind::BitSet: {
        const QString bits = value.toString();
        bool valid = value.isString() && bits.size() == kBits;
        int byte = 0;
        for (const QChar c : bits) {
            valid = valid && (c == QLatin1Char('0') || c == QLatin1Char('1'));
            byte = byte * 2 + (c == QLatin1Char('1') ? 1 : 0);
        }
        if (!valid)
            refuse(entry.key, "oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)");
        return byte;
    }
    case SettingKind::Text:
    case SettingKind::Code: {
        if (!value.isString())
            refuse(entry.key, "oczekiwano tekstu");
        const std::string bytes = exactCp1250(value.toString(), entry.key);
        if (bytes.size() > entry.maxLength())
            refuse(entry.key,
                   "tekst dłuższy niż " + countedNoun(static_cast<long long>(entry.maxLength()),
                                                      "znak", "znaki", "znaków"));
        if (entry.kind == SettingKind::Code && bytes.find('\0') != std::string::npos)
            refuse(entry.key, "kod nie może zawierać znaku o kodzie 0");
        return bytes;
    }
    }
    refuse(entry.key, "nieznany rodzaj ustawienia");
}

}  // namespace

QByteArray ExportSettingsJson(const SettingsRecord& record, const UserDirectory& users)
{
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

void ImportSettingsJson(const QByteArray& json, SettingsRecord& record, UserDirectory& users)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw SettingsJsonError("błąd JSON przy znaku " + std::to_string(error.offset) + ": " +
                                error.errorString().toStdString());
    if (!document.isObject())
        throw SettingsJsonError("dokument nie jest obiektem JSON");
    const QJsonObject top = document.object();
    for (auto it = top.begin(); it != top.end(); ++it)
        if (it.key() != QLatin1String(kFormatKey) && it.key() != QLatin1String(kVersionKey) &&
            it.key() != QLatin1String(kSettingsKey))
            refuse(it.key().toStdString(), "nieznany klucz");
    if (top.value(QLatin1String(kFormatKey)).toString() != QLatin1String(kSettingsJsonFormat))
        refuse(kFormatKey, std::string("oczekiwano \"") + kSettingsJsonFormat + "\"");
    if (!top.value(QLatin1String(kVersionKey)).isDouble() ||
        top.value(QLatin1String(kVersionKey)).toDouble() != kSettingsJsonVersion)
        refuse(kVersionKey,
               "obsługiwana jest tylko wersja " + std::to_string(kSettingsJsonVersion));
    if (!top.value(QLatin1String(kSettingsKey)).isObject())
        refuse(kSettingsKey, "brak obiektu z ustawieniami");
    const QJsonObject settings = top.value(QLatin1String(kSettingsKey)).toObject();

    for (auto it = settings.begin(); it != settings.end(); ++it)
        if (!findSetting(it.key().toStdString()))
            refuse(it.key().toStdString(), "nieznany klucz");
    SettingsRecord newRecord{};
    UserDirectory newUsers{};
    for (const SettingEntry& entry : settingsCatalogue()) {
        const QString key = QString::fromStdString(entry.key);
        if (!settings.contains(key))
            refuse(entry.key, "brak klucza");
        writeSetting(newRecord, newUsers, entry, fromJson(entry, settings.value(key)));
    }
    record = newRecord;
    users = newUsers;
}

}  // namespace tarnik

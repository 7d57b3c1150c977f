// The JSON form of a configuration: what an export looks like, and every reason an
// import is refused, with the key it names; a refused import changes nothing.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

#include "file/settings_json.h"
#include "model/codepage.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

QJsonObject exported(const SettingsRecord& record = startupSettings(),
                     const UserDirectory& users = {})
{
    return QJsonDocument::fromJson(ExportSettingsJson(record, users)).object();
}

QByteArray withSetting(const QString& key, const QJsonValue& value)
{
    QJsonObject top = exported();
    QJsonObject settings = top.value(QStringLiteral("settings")).toObject();
    if (value.isUndefined())
        settings.remove(key);
    else
        settings.insert(key, value);
    top.insert(QStringLiteral("settings"), settings);
    return QJsonDocument(top).toJson();
}

std::string refusal(const QByteArray& json)
{
    SettingsRecord record = startupSettings();
    record.spare40 = 0x77;
    UserDirectory users{};
    users.entries[0].osoba.assign("Jan");
    const SettingsRecord recordBefore = record;
    const UserDirectory usersBefore = users;
    try {
        ImportSettingsJson(json, record, users);
    } catch (const SettingsJsonError& e) {
        EXPECT_EQ(0, std::memcmp(&record, &recordBefore, sizeof record));
        EXPECT_EQ(0, std::memcmp(&users, &usersBefore, sizeof users));
        return e.what();
    }
    return "accepted";
}

TEST(SettingsJson, ExportIsOneSettingALineInPageOrderWithUtf8Texts)
{
    SettingsRecord record = startupSettings();
    record.smsWeRe[0][1].assign(toCp1250(QStringLiteral("Zanik masy – wejście 1")));
    const QByteArray json = ExportSettingsJson(record, {});
    const QList<QByteArray> lines = json.split('\n');
    ASSERT_GT(lines.size(), 8);
    EXPECT_EQ(lines[0], "{");
    EXPECT_EQ(lines[1], "    \"format\": \"tarnik-settings\",");
    EXPECT_EQ(lines[2], "    \"version\": 1,");
    EXPECT_EQ(lines[3], "    \"settings\": {");
    EXPECT_EQ(lines[4], "        \"pin\": \"\",");  // the first setting of "Podstawowe"
    EXPECT_TRUE(json.contains("        \"smsWeRe[1][2]\": \"Zanik masy – wejście 1\",\n"));
    EXPECT_TRUE(json.contains("        \"clipVerif\": \"00000000\",\n"));
    EXPECT_TRUE(json.contains("        \"timerPod[8]\": 1,\n"));
    EXPECT_TRUE(json.endsWith("    }\n}\n"));
}

TEST(SettingsJson, ImportTakesBackEveryValue)
{
    SettingsRecord record = startupSettings();
    UserDirectory users{};
    record.flags = 0x21;
    record.zalWyCode[0][0] = 'Z';  // a code of one character keeps a zero after it
    users.entries[2].uwagi.assign(toCp1250(QStringLiteral("brama\r\nżółta")));
    SettingsRecord back{};
    UserDirectory usersBack{};
    ImportSettingsJson(ExportSettingsJson(record, users), back, usersBack);
    EXPECT_EQ(ExportSettingsJson(back, usersBack), ExportSettingsJson(record, users));
    EXPECT_EQ(back.flags, 0x21);
    EXPECT_EQ(back.zalWyCode[0][0], 'Z');
    EXPECT_EQ(back.zalWyCode[0][1], 0);
    EXPECT_EQ(usersBack.entries[2].uwagi.str(), toCp1250(QStringLiteral("brama\r\nżółta")));
    EXPECT_EQ(back.spare40, 0) << "no setting's bytes are 0";
}

TEST(SettingsJson, EveryRefusalNamesTheKeyAndTheReason)
{
    const auto key = [](const char* k) { return QString::fromLatin1(k); };
    EXPECT_EQ(refusal(withSetting(key("timerPod[9]"), 1)), "timerPod[9]: nieznany klucz");
    EXPECT_EQ(refusal(withSetting(key("testOkr"), QJsonValue(QJsonValue::Undefined))),
              "testOkr: brak klucza");
    EXPECT_EQ(refusal(withSetting(key("testOkr"), QJsonValue())),
              "testOkr: oczekiwano liczby całkowitej");
    EXPECT_EQ(refusal(withSetting(key("callTimer"), 256)),
              "callTimer: wartość 256 poza zakresem 0..255");
    EXPECT_EQ(refusal(withSetting(key("callTimer"), -1)),
              "callTimer: wartość -1 poza zakresem 0..255");
    EXPECT_EQ(refusal(withSetting(key("callTimer"), 2.5)),
              "callTimer: oczekiwano liczby całkowitej");
    EXPECT_EQ(refusal(withSetting(key("callTimer"), QStringLiteral("7"))),
              "callTimer: oczekiwano liczby całkowitej");
    EXPECT_EQ(refusal(withSetting(key("flags"), QStringLiteral("0000001"))),
              "flags: oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)");
    EXPECT_EQ(refusal(withSetting(key("flags"), 12)),
              "flags: oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)");
    EXPECT_EQ(refusal(withSetting(key("pin"), QStringLiteral("12345678"))),
              "pin: tekst dłuższy niż 7 znaków");
    EXPECT_EQ(refusal(withSetting(key("uwagi[2]"), QString(251, QLatin1Char('a')))),
              "uwagi[2]: tekst dłuższy niż 250 znaków");
    EXPECT_EQ(refusal(withSetting(key("zalWyCode[1]"), QStringLiteral("ABC"))),
              "zalWyCode[1]: tekst dłuższy niż 2 znaki");
    EXPECT_EQ(refusal(withSetting(key("osoba[1]"), QStringLiteral("Jürgen €"))), "accepted");
    EXPECT_EQ(refusal(withSetting(key("osoba[1]"), QStringLiteral("Ольга"))),
              "osoba[1]: znak \"О\" spoza strony kodowej 1250");
    EXPECT_EQ(refusal(withSetting(key("smsWeRe[1][1]"), QString::fromUtf8("alarm 🔥"))),
              "smsWeRe[1][1]: znak \"🔥\" spoza strony kodowej 1250");
    EXPECT_EQ(refusal(withSetting(key("csms"), 48601)), "csms: oczekiwano tekstu");
    EXPECT_EQ(refusal(withSetting(key("wylWyCode[2]"), QString(QChar(0)))),
              "wylWyCode[2]: kod nie może zawierać znaku o kodzie 0");
}

TEST(SettingsJson, DocumentsThatAreNoExportAreRefused)
{
    QJsonObject top = exported();
    top.insert(QStringLiteral("format"), QStringLiteral("other"));
    EXPECT_EQ(refusal(QJsonDocument(top).toJson()), "format: oczekiwano \"tarnik-settings\"");
    top = exported();
    top.insert(QStringLiteral("version"), 2);
    EXPECT_EQ(refusal(QJsonDocument(top).toJson()), "version: obsługiwana jest tylko wersja 1");
    top = exported();
    top.insert(QStringLiteral("comment"), QStringLiteral("x"));
    EXPECT_EQ(refusal(QJsonDocument(top).toJson()), "comment: nieznany klucz");
    EXPECT_EQ(refusal("[1, 2]"), "dokument nie jest obiektem JSON");
    EXPECT_EQ(refusal("{\"format\": "), "błąd JSON przy znaku 11: unterminated object");
}

}  // namespace
}  // namespace tarnik

// The JSON form of a configuration: what an export looks like, and every reason an
// import is refused, with the key it names; a refused import changes nothing.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>
#include <vector>

#include "file/settings_json.h"
#include "model/codepage.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

QJsonObject exported(const SettingsRecord& record = startupSettings(),
                     const UserDirectory& users = {})
{
    return QJsonDocument::fromJson(exportSettingsJson(record, users)).object();
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
        importSettingsJson(json, record, users);
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
    const QByteArray json = exportSettingsJson(record, {});
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
    record.zalWyCode[0][0] = 'Z';
    record.zalWyCode[0][1] = '1';
    record.wylWyCode[0][0] = 'W';  // one character: the window stores no code
    users.entries[2].uwagi.assign(toCp1250(QStringLiteral("brama\r\nżółta")));
    SettingsRecord back{};
    UserDirectory usersBack{};
    importSettingsJson(exportSettingsJson(record, users), back, usersBack);
    EXPECT_EQ(exportSettingsJson(back, usersBack), exportSettingsJson(record, users));
    EXPECT_EQ(back.flags, 0x21);
    EXPECT_EQ(back.zalWyCode[0][0], 'Z');
    EXPECT_EQ(back.zalWyCode[0][1], '1');
    EXPECT_EQ(back.wylWyCode[0][0], 0);
    EXPECT_EQ(usersBack.entries[2].uwagi.str(), toCp1250(QStringLiteral("brama\r\nżółta")));
    EXPECT_EQ(back.spare40, 0) << "no setting's bytes are 0";
}

// The line a key stands on in a document.
int lineOf(const QByteArray& json, const QString& key)
{
    const qsizetype at = json.indexOf("\"" + key.toUtf8() + "\"");
    return at < 0 ? 0 : static_cast<int>(json.left(at).count('\n')) + 1;
}

TEST(SettingsJson, EveryRefusalNamesTheKeyTheLineTheValueAndWhatIsAllowed)
{
    struct Case {
        const char* key;
        QJsonValue value;  // Undefined: the key left out
        std::string reason;
    };
    const QJsonValue missing(QJsonValue::Undefined);
    const Case cases[] = {
        {"timerPod[9]", 1, "nieznany klucz"},
        {"testOkr", missing, "brak klucza"},
        {"testOkr", QJsonValue(), "wartość null: oczekiwano liczby całkowitej"},
        {"callTimer", 256, "wartość 256 poza zakresem 1..255"},
        {"callTimer", -1, "wartość -1 poza zakresem 1..255"},
        {"callTimer", 0, "wartość 0 poza zakresem 1..255"},
        {"callTimer", 2.5, "wartość 2.5: oczekiwano liczby całkowitej"},
        {"callTimer", QStringLiteral("7"), "wartość \"7\": oczekiwano liczby całkowitej"},
        {"callingTimer", 250, "wartość 250 poza zakresem 1..240"},
        {"smsAttempts", 0, "wartość 0 poza zakresem 1..10"},
        {"smsConfirmTimer", 9, "wartość 9 poza zakresem 10..255"},
        {"testOkr", 25, "wartość 25 poza zakresem 1..24"},
        {"flags", QStringLiteral("0000001"),
         "wartość \"0000001\": oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)"},
        {"flags", 12, "wartość 12: oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)"},
        {"clipVerif", QString(40, QLatin1Char('1')),
         "wartość \"" + std::string(40, '1') + "\": oczekiwano 8 cyfr 0 lub 1 (bit 7 pierwszy)"},
        {"flags", QStringLiteral("01000000"),
         "wartość \"01000000\": bity 6 i 7 nie mają w oknie pola wyboru (dozwolone 00xxxxxx)"},
        {"clipVerif", QStringLiteral("00000101"),
         "wartość \"00000101\": dwie akcje tego samego wyjścia naraz (załącz, wyłącz i zmień "
         "stan wykluczają się; okno zostawia jedną)"},
        {"clipNotVerif", QStringLiteral("00101000"),
         "wartość \"00101000\": dwie akcje tego samego wyjścia naraz (załącz, wyłącz i zmień "
         "stan wykluczają się; okno zostawia jedną)"},
        {"pin", QStringLiteral("12345"), "wartość \"12345\": tekst dłuższy niż 4 znaki"},
        {"pinMod", QStringLiteral("abcde"), "wartość \"abcde\": tekst dłuższy niż 4 znaki"},
        {"uwagi[2]", QString(251, QLatin1Char('a')),
         "wartość \"" + std::string(40, 'a') + "\"…: tekst dłuższy niż 250 znaków"},
        {"smsWeRe[1][1]", QString(37, QLatin1Char('b')),
         "wartość \"" + std::string(37, 'b') + "\": tekst dłuższy niż 36 znaków"},
        {"zalWyCode[1]", QStringLiteral("ABC"), "wartość \"ABC\": kod ma 2 znaki albo jest pusty"},
        {"zalWyCode[1]", QStringLiteral("A"), "wartość \"A\": kod ma 2 znaki albo jest pusty"},
        {"osoba[1]", QStringLiteral("Ольга"), "znak \"О\" spoza strony kodowej 1250"},
        {"smsWeRe[1][1]", QString::fromUtf8("alarm 🔥"), "znak \"🔥\" spoza strony kodowej 1250"},
        {"csms", 48601, "wartość 48601: oczekiwano tekstu"},
        {"wylWyCode[2]", QString(QChar(0)) + QChar(u'x'),
         "znak o kodzie 0 nie mieści się w polu edycji"},
        {"smsSpecWeRe[3][1]", QStringLiteral("a") + QChar(0),
         "znak o kodzie 0 nie mieści się w polu edycji"},
        // Codes of an option that is off: the window empties them.
        {"wylWyCode[2]", QStringLiteral("xy"),
         "kod podany, choć opcja \"załącz/wyłącz wyjście 2 SMSsem\" jest wyłączona (okno go "
         "usuwa); podaj \"\" albo włącz opcję"},
        {"pinMod", QStringLiteral("1234"),
         "kod podany, choć opcja \"Zezwolenie na programowanie sms-em.\" jest wyłączona (okno "
         "go usuwa); podaj \"\" albo włącz opcję"},
    };
    for (const Case& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        const QByteArray json = withSetting(key, c.value);
        const int line =
            c.value.isUndefined() ? lineOf(json, QStringLiteral("settings")) : lineOf(json, key);
        EXPECT_EQ(refusal(json), "wiersz " + std::to_string(line) + ": " + c.key + ": " + c.reason)
            << c.key;
    }
    // Within every limit.
    EXPECT_EQ(refusal(withSetting(QStringLiteral("osoba[1]"), QStringLiteral("Jürgen €"))),
              "accepted");
    EXPECT_EQ(refusal(withSetting(QStringLiteral("callingTimer"), 240)), "accepted");
    EXPECT_EQ(refusal(withSetting(QStringLiteral("clipVerif"), QStringLiteral("11000100"))),
              "accepted");
}

TEST(SettingsJson, EveryFaultOfADocumentIsListedWithItsLine)
{
    QByteArray json = exportSettingsJson(startupSettings(), {});
    json.replace("\"callingTimer\": 1,", "\"callingTimer\": 250,");
    json.replace("\"testOkr\": 1,", "\"testOkr\": 0,");
    json.replace("\"timerPod[2]\": 1,", "\"timerPod[2]\": 1,\n        \"timerPod[2]\": 3,");
    const std::string refused = refusal(json);
    const auto line = [&](const char* text) {
        return "wiersz " + std::to_string(lineOf(json, QString::fromLatin1(text)));
    };
    EXPECT_EQ(refused, line("callingTimer") + ": callingTimer: wartość 250 poza zakresem 1..240\n" +
                           line("testOkr") + ": testOkr: wartość 0 poza zakresem 1..24\n" +
                           "wiersz " +
                           std::to_string(lineOf(json, QStringLiteral("timerPod[2]")) + 1) +
                           ": timerPod[2]: klucz podany drugi raz (pierwszy raz w wierszu " +
                           std::to_string(lineOf(json, QStringLiteral("timerPod[2]"))) + ")")
        << refused;
}

// The export with `members` written first in its settings object, on line 5 onwards.
QByteArray withMembersFirst(const QByteArray& members)
{
    QByteArray json = exportSettingsJson(startupSettings(), {});
    json.replace("\"settings\": {\n", "\"settings\": {\n" + members);
    return json;
}

TEST(SettingsJson, RefusalsEscapeControlCharactersAndQuoteAtMostFortyCharacters)
{
    const std::string x40(40, 'x');
    struct Case {
        QByteArray member;  // one line of the settings object, as the document holds it
        std::string line;   // the refusal's line for it, after "wiersz 5: "
    };
    const Case cases[] = {
        {R"("smsSpecWr\neRe[3][2]": 1,)", R"("smsSpecWr\neRe[3][2]": nieznany klucz)"},
        {R"("k\u0000\u001b[2J": 1,)", R"("k\x00\x1B[2J": nieznany klucz)"},
        {"\"" + QByteArray(100, 'k') + "\": 1,",
         "\"" + std::string(40, 'k') + "\"…: nieznany klucz"},
        {"\"osoba[1]\": \"" + QByteArray(4000, 'x') + "\",",
         "osoba[1]: wartość \"" + x40 + "\"…: tekst dłuższy niż 30 znaków"},
        {R"("osoba[1]": "a\nb\u0001cdefghijklmnopqrstuvwxyz0123456789ABCDEFGH",)",
         R"(osoba[1]: wartość "a\nb\x01cdefghijklmnopqrstuvwxyz0123456789AB"…: tekst dłuższy niż 30 znaków)"},
        {"\"callingTimer\": " + QByteArray(100, '9') + ",",
         "callingTimer: wartość " + std::string(40, '9') + "… poza zakresem 1..240"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member.toStdString().substr(0, 60));
        const std::string refused = refusal(withMembersFirst("        " + c.member + "\n"));
        // The member's own line, whatever else the document's repeated key adds.
        EXPECT_EQ(refused.substr(0, refused.find('\n')), "wiersz 5: " + c.line) << refused;
        EXPECT_LT(refused.size(), 400u) << refused;
    }
}

TEST(SettingsJson, AHundredFaultsAreListedAndTheRestCounted)
{
    QByteArray members;
    for (int i = 0; i < 300; ++i)
        members += "        \"k" + QByteArray::number(i) + "\": 1,\n";
    members += "        \"pin\": \"1\",\n";  // given again below: found among 300 other keys
    const std::string refused = refusal(withMembersFirst(members));
    std::vector<std::string> lines;
    for (std::size_t at = 0; at <= refused.size();) {
        const std::size_t end = std::min(refused.find('\n', at), refused.size());
        lines.push_back(refused.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_EQ(lines.size(), 101u) << refused;
    EXPECT_EQ(lines.front(), "wiersz 5: k0: nieznany klucz");
    EXPECT_EQ(lines[99], "wiersz 104: k99: nieznany klucz");
    EXPECT_EQ(lines.back(), "wiersz 105 i dalsze: jeszcze 201 błędów (pokazano pierwsze 100)");
    // The repeated key is among the counted ones; alone with the unknown keys gone, it is named.
    const std::string repeated = refusal(withMembersFirst("        \"pin\": \"1\",\n"));
    EXPECT_NE(repeated.find(": pin: klucz podany drugi raz (pierwszy raz w wierszu 5)"),
              std::string::npos)
        << repeated;
}

TEST(SettingsJson, DocumentsThatAreNoExportAreRefused)
{
    QJsonObject top = exported();
    top.insert(QStringLiteral("format"), QStringLiteral("other"));
    QByteArray json = QJsonDocument(top).toJson();
    EXPECT_EQ(refusal(json), "wiersz " + std::to_string(lineOf(json, QStringLiteral("format"))) +
                                 ": format: oczekiwano \"tarnik-settings\"");
    top = exported();
    top.insert(QStringLiteral("version"), 2);
    json = QJsonDocument(top).toJson();
    EXPECT_EQ(refusal(json), "wiersz " + std::to_string(lineOf(json, QStringLiteral("version"))) +
                                 ": version: obsługiwana jest tylko wersja 1");
    top = exported();
    top.insert(QStringLiteral("comment"), QStringLiteral("x"));
    json = QJsonDocument(top).toJson();
    EXPECT_EQ(refusal(json), "wiersz " + std::to_string(lineOf(json, QStringLiteral("comment"))) +
                                 ": comment: nieznany klucz");
    EXPECT_EQ(refusal("[1, 2]"), "wiersz 1: dokument nie jest obiektem JSON");
}

TEST(SettingsJson, SyntaxErrorsNameTheirLineAndColumnInPolish)
{
    struct Case {
        QByteArray json;
        std::string expected;
    };
    const Case cases[] = {
        {"{\"format\": ",
         "błąd składni JSON w wierszu 1, kolumnie 12: dokument kończy się przedwcześnie, "
         "oczekiwano wartości"},
        {"{\n  \"a\": 1\n  \"b\": 2\n}", "błąd składni JSON w wierszu 3, kolumnie 3: oczekiwano "
                                         "przecinka lub '}'"},
        // Columns count characters, not bytes.
        {"{\"ó\": ż}", "błąd składni JSON w wierszu 1, kolumnie 7: oczekiwano wartości (liczby, "
                       "tekstu w cudzysłowie, obiektu, tablicy, true, false lub null)"},
        {"{\"a\": \"x\n\"}", "błąd składni JSON w wierszu 1, kolumnie 9: tekst bez zamykającego "
                             "cudzysłowu przed końcem wiersza"},
        {"{\"a\": \"\\q\"}",
         "błąd składni JSON w wierszu 1, kolumnie 9: nieznana sekwencja ucieczki po '\\'"},
        {"{} x",
         "błąd składni JSON w wierszu 1, kolumnie 4: po końcu dokumentu stoi jeszcze tekst"},
        {"{\"a\": 01}", "błąd składni JSON w wierszu 1, kolumnie 8: oczekiwano przecinka lub '}'"},
        {"{\"a\": \"\xff\"}",
         "błąd składni JSON w wierszu 1, kolumnie 8: tekst nie jest poprawnym UTF-8"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(refusal(c.json), c.expected) << c.json.toStdString();
}

}  // namespace
}  // namespace tarnik

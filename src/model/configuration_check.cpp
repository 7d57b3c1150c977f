#include "model/configuration_check.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "model/codepage.h"
#include "model/effective_settings.h"
#include "model/phone_numbers.h"
#include "model/polish_plural.h"
#include "model/reaction_bits.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

constexpr const char* kNoNumber = "brak-numeru";
constexpr const char* kEmptySms = "pusty-sms";
constexpr const char* kReportNoNumber = "raport-bez-numeru";
constexpr const char* kOpenClip = "otwarty-clip";
constexpr const char* kSmsCode = "kod-sms";
constexpr const char* kPin = "pin";
constexpr const char* kContradiction = "sprzeczne-wyjscie";
constexpr const char* kNational = "numer-krajowy";
constexpr const char* kNumberCharacters = "numer-znaki";
constexpr const char* kNumberTooLong = "numer-za-dlugi";
constexpr const char* kSameCodes = "kody-takie-same";
constexpr const char* kPinCharacters = "pin-znaki";

constexpr std::array<CheckRule, 12> kRules{{
    {kNoNumber, "zdarzenie wysyła SMS albo dzwoni do użytkownika bez numeru telefonu"},
    {kEmptySms, "zdarzenie wysyła SMS o pustej treści"},
    {kReportNoNumber, "raport albo nierozpoznane SMS-y idą do użytkownika 1 bez numeru telefonu"},
    {kOpenClip, "połączenie z nieznanego numeru przełącza wyjście"},
    {kSmsCode, "kod dostępu przez SMS albo kod sterujący wyjściem jest niepełny"},
    {kSameCodes, "kody załączenia i wyłączenia jednego wyjścia są takie same"},
    {kPin, "PIN karty ma od 1 do 3 znaków"},
    {kPinCharacters, "PIN karty ma 4 znaki, ale nie same cyfry"},
    {kContradiction,
     "reakcja jednocześnie załącza i wyłącza wyjście albo jest nieaktywna z akcjami"},
    {kNational, "numer użytkownika nie jest w formie międzynarodowej"},
    {kNumberCharacters, "numer telefonu zawiera inne znaki niż cyfry i „+” na początku"},
    {kNumberTooLong, "numer telefonu jest dłuższy, niż przyjmuje moduł"},
}};

// A reaction the window shows: its three catalogue fields share the key's tail.
struct Reaction {
    bool special;       // numberSpecWeRe / workSpecWeRe / smsSpecWeRe
    int entry;          // 1-based
    int reaction;       // 1 or 2
    bool outputsShown;  // the page offers its output-reaction dialog
    bool clipShown;     // its notification dialog shows the CLIP column
};

// Inputs 1..8, the tamper and blocking inputs, and the output confirmations, whose
// dialog has no CLIP column and whose output-reaction buttons are hidden. Special
// entries 4 and 6 are never shown.
std::vector<Reaction> shownReactions()
{
    std::vector<Reaction> reactions;
    for (int r = 1; r <= kReactions; ++r) {
        for (int k = 1; k <= kInputs; ++k)
            reactions.push_back({false, k, r, true, true});
        for (int k : {3, 5})
            reactions.push_back({true, k, r, true, true});
        for (int k = 1; k <= kOutputs; ++k)
            reactions.push_back({true, k, r, false, false});
    }
    return reactions;
}

std::string reactionKey(const char* field, const char* specialField, const Reaction& reaction)
{
    return std::string(reaction.special ? specialField : field) + "[" +
           std::to_string(reaction.entry) + "][" + std::to_string(reaction.reaction) + "]";
}

std::uint8_t outputByte(const SettingsRecord& record, const Reaction& x)
{
    return x.special ? record.numberSpecWeRe[x.entry - 1][x.reaction - 1]
                     : record.numberWeRe[x.entry - 1][x.reaction - 1];
}

std::uint8_t notificationByte(const SettingsRecord& record, const Reaction& x)
{
    return x.special ? record.workSpecWeRe[x.entry - 1][x.reaction - 1]
                     : record.workWeRe[x.entry - 1][x.reaction - 1];
}

const ShortString<36>& smsText(const SettingsRecord& record, const Reaction& x)
{
    return x.special ? record.smsSpecWeRe[x.entry - 1][x.reaction - 1]
                     : record.smsWeRe[x.entry - 1][x.reaction - 1];
}

// A record's text in a sentence: control characters escaped.
std::string utf8(const std::string& cp1250)
{
    return readableText(cp1250);
}

std::string quoted(const std::string& text)
{
    return "„" + text + "”";
}

class Checker {
public:
    // Judges the record the window would program: a file's raw bytes (characters past
    // a zero byte, bits without a box) never raise or hide a warning.
    Checker(const EffectiveSettings& record, const UserDirectory& users)
        : record_(record.record()), users_(effectiveUsers(users))
    {
    }

    std::vector<CheckWarning> run()
    {
        const std::vector<Reaction> reactions = shownReactions();
        for (const Reaction& reaction : reactions) {
            notifiesUserWithoutNumber(reaction);
            sendsEmptySms(reaction);
            contradicts(reaction);
        }
        reportsToUserWithoutNumber();
        unknownCallerSwitches();
        smsCodes();
        pin();
        nationalNumbers();
        moduleNumbers();
        sortInPageOrder();
        return std::move(warnings_);
    }

private:
    void add(const char* id, const std::string& key, std::string sentence, std::uint8_t bits = 0)
    {
        const SettingEntry* entry = findSetting(key);
        if (!entry)
            throw std::logic_error("no setting " + key);
        warnings_.push_back({id, key, entry->label, std::move(sentence), bits});
    }

    bool hasNumber(int user) const { return !record_.nrUser[user - 1].str().empty(); }

    // "użytkownika 2" or "użytkownika 2 („Jan”)" when the user has a name.
    std::string userName(int user) const
    {
        const std::string name = users_.entries[user - 1].osoba.str();
        std::string text = "użytkownika " + std::to_string(user);
        if (!name.empty())
            text += " (" + quoted(utf8(name)) + ")";
        return text;
    }

    void notifiesUserWithoutNumber(const Reaction& reaction)
    {
        const std::uint8_t bits = notificationByte(record_, reaction);
        for (int user = 1; user <= kUsers; ++user) {
            if (hasNumber(user))
                continue;
            const bool sms = (bits & smsBit(user)) != 0;
            const bool clip = reaction.clipShown && (bits & clipBit(user)) != 0;
            if (!sms && !clip)
                continue;
            const std::string what = sms && clip ? "wysyła SMS i dzwoni (CLIP)"
                                     : sms       ? "wysyła SMS"
                                                 : "dzwoni (CLIP)";
            add(kNoNumber, reactionKey("workWeRe", "workSpecWeRe", reaction),
                "Zdarzenie " + what + " do " + userName(user) +
                    ", który nie ma numeru telefonu. Wpisz jego numer na stronie "
                    "„numery telefonów” albo odznacz go w tym powiadomieniu.",
                static_cast<std::uint8_t>((sms ? smsBit(user) : 0) | (clip ? clipBit(user) : 0)));
        }
    }

    void sendsEmptySms(const Reaction& reaction)
    {
        const std::uint8_t bits = notificationByte(record_, reaction);
        bool sms = false;
        for (int user = 1; user <= kUsers; ++user)
            sms = sms || (bits & smsBit(user)) != 0;
        if (sms && smsText(record_, reaction).str().empty())
            add(kEmptySms, reactionKey("smsWeRe", "smsSpecWeRe", reaction),
                "Zdarzenie wysyła SMS, ale jego treść jest pusta: odbiorca dostanie pustą "
                "wiadomość. Wpisz treść wiadomości SMS albo odznacz SMS w powiadomieniu.");
    }

    void contradicts(const Reaction& reaction)
    {
        if (!reaction.outputsShown)
            return;
        const std::uint8_t bits = outputByte(record_, reaction);
        const std::string key = reactionKey("numberWeRe", "numberSpecWeRe", reaction);
        if ((bits & kNoReaction) != 0 && (bits & ~kNoReaction) != 0)
            add(kContradiction, key,
                "Zaznaczone są „Opcje nieaktywne” i zarazem akcje na wyjściach; takiego "
                "ustawienia okno nie tworzy. Otwórz okno reakcji, wybierz akcje albo "
                "„Opcje nieaktywne” i zatwierdź je OK.");
        for (int output = 1; output <= kOutputs; ++output)
            if ((bits & switchOnBit(output)) != 0 && (bits & switchOffBit(output)) != 0)
                add(kContradiction, key,
                    "Reakcja jednocześnie załącza i wyłącza wyjście " + std::to_string(output) +
                        ". Otwórz okno reakcji i zostaw jedną z tych akcji.",
                    static_cast<std::uint8_t>(switchOnBit(output) | switchOffBit(output)));
    }

    void reportsToUserWithoutNumber()
    {
        if (hasNumber(1))
            return;
        const std::string fix = " Wpisz numer użytkownika 1 na stronie „numery telefonów” albo ";
        if ((record_.flags & optionBit(Option::Report)) != 0)
            add(kReportNoNumber, "testOkr",
                "Raport okresowy idzie do użytkownika 1, który nie ma numeru telefonu." + fix +
                    "odznacz „Przyślij raport co:”.");
        const std::pair<const char*, std::uint8_t> groups[] = {
            {"clipVerif", record_.clipVerif}, {"clipNotVerif", record_.clipNotVerif}};
        for (const auto& [key, bits] : groups)
            if ((bits & kClipReport) != 0)
                add(kReportNoNumber, key,
                    "Po połączeniu moduł odsyła raport do użytkownika 1, który nie ma numeru "
                    "telefonu." +
                        fix + "odznacz „Odeślij raport do użytkownika 1”.",
                    kClipReport);
        if ((record_.clipVerif & kForwardUnknownSms) != 0)
            add(kReportNoNumber, "clipVerif",
                "Nierozpoznane SMS-y są odsyłane do użytkownika 1, który nie ma numeru "
                "telefonu." +
                    fix + "odznacz „Odsyłaj nierozpoznane SMSy do Użytkownika 1”.",
                kForwardUnknownSms);
    }

    void unknownCallerSwitches()
    {
        const std::uint8_t bits = record_.clipNotVerif;
        for (int output = 1; output <= kOutputs; ++output) {
            std::vector<std::string> actions;
            const std::uint8_t switching =
                bits & (clipSwitchOnBit(output) | clipSwitchOffBit(output) | clipToggleBit(output));
            if ((bits & clipSwitchOnBit(output)) != 0)
                actions.push_back("załącza");
            if ((bits & clipSwitchOffBit(output)) != 0)
                actions.push_back("wyłącza");
            if ((bits & clipToggleBit(output)) != 0)
                actions.push_back("zmienia stan");
            if (actions.empty())
                continue;
            std::string verbs;
            for (const std::string& action : actions)
                verbs += (verbs.empty() ? "" : " i ") + action;
            const std::string n = std::to_string(output);
            add(kOpenClip, "clipNotVerif",
                "Połączenie z nieznanego numeru " + verbs + " wyjście " + n +
                    ": każdy, kto zadzwoni do modułu, może nim sterować. Przenieś tę akcję do "
                    "„Clip od użytkownika” albo ją odznacz.",
                switching);
        }
    }

    void smsCodes()
    {
        if ((record_.flags & optionBit(Option::SmsProgram)) != 0) {
            const std::size_t length = record_.pinMod.str().size();
            if (length != 4)
                add(kSmsCode, "pinMod",
                    std::string(length == 0 ? "Programowanie przez SMS jest dozwolone, a kod "
                                              "dostępu przez SMS jest pusty."
                                            : "Kod dostępu przez SMS jest krótszy niż 4 znaki; "
                                              "programowanie zostanie odrzucone.") +
                        " Wpisz kod z 4 znaków albo odznacz „Zezwolenie na programowanie "
                        "sms-em.”.");
        }
        for (int output = 1; output <= kOutputs; ++output) {
            if ((record_.flags & optionBit(smsOutputOption(output))) == 0)
                continue;
            const std::string n = std::to_string(output);
            const std::pair<const char*, const char*> codes[] = {{"zalWyCode", "załączenia"},
                                                                 {"wylWyCode", "wyłączenia"}};
            for (const auto& [field, name] : codes) {
                const std::string key = std::string(field) + "[" + n + "]";
                const SettingValue value = readSetting(record_, users_, *findSetting(key));
                const std::size_t length = std::get<std::string>(value).size();
                if (length == 2)
                    continue;
                add(kSmsCode, key,
                    "Wyjście " + n + " można przełączać SMS-em, a jego kod " + name +
                        (length == 0 ? " jest pusty" : " ma tylko jeden znak") +
                        ". Wpisz kod z dwóch znaków albo odznacz „załącz/wyłącz wyjście " + n +
                        " SMSsem”.");
            }
            // The module could not tell the two commands apart.
            const std::string on(reinterpret_cast<const char*>(record_.zalWyCode[output - 1]), 2);
            const std::string off(reinterpret_cast<const char*>(record_.wylWyCode[output - 1]), 2);
            if (on == off && on.find('\0') == std::string::npos)
                add(kSameCodes, "wylWyCode[" + n + "]",
                    "Kody załączenia i wyłączenia wyjścia " + n +
                        " są takie same: moduł nie odróżni, czy wyjście ma załączyć, czy "
                        "wyłączyć. Wpisz dwa różne kody.");
        }
    }

    void pin()
    {
        const std::size_t length = record_.pin.str().size();
        if (length >= 1 && length <= 3)
            add(kPin, "pin",
                "PIN karty ma mniej niż 4 znaki; programowanie zostanie odrzucone. Wpisz cały "
                "PIN karty SIM albo zostaw pole puste, gdy karta nie ma PIN-u.");
        const std::string pin = record_.pin.str();
        if (pin.size() == 4 && pin.find_first_not_of("0123456789") != std::string::npos)
            add(kPinCharacters, "pin",
                "PIN karty SIM składa się z cyfr, a ten zawiera inne znaki; karta go nie "
                "przyjmie. Wpisz 4 cyfry PIN-u.");
    }

    void nationalNumbers()
    {
        for (int user = 1; user <= kUsers; ++user) {
            const std::string number = record_.nrUser[user - 1].str();
            if (isInternationalNumber(number))
                continue;
            // "0048..." is international already, only written as dialled: one change fixes it.
            const bool doubleZero = number.rfind("00", 0) == 0 && number.size() > 2;
            add(kNational, "nrUser[" + std::to_string(user) + "]",
                "Numer " + quoted(utf8(number)) +
                    " nie jest w formie międzynarodowej; programowanie zostanie odrzucone. " +
                    (doubleZero ? "Zamień 00 na +: " + quoted(utf8("+" + number.substr(2))) + "."
                                : std::string("Zacznij go od „+” i numeru kierunkowego kraju, "
                                              "np. +48.")));
        }
    }

    void moduleNumbers()
    {
        std::vector<std::pair<std::string, std::string>> numbers{{"csms", record_.csms.str()}};
        for (int user = 1; user <= kUsers; ++user)
            numbers.emplace_back("nrUser[" + std::to_string(user) + "]",
                                 record_.nrUser[user - 1].str());
        for (const auto& [key, number] : numbers) {
            if (!hasNumberCharacters(number))
                add(kNumberCharacters, key,
                    "Numer " + quoted(utf8(number)) +
                        " zawiera niedozwolone znaki; programowanie zostanie odrzucone. Numer to " +
                        numberRuleText() + ".");
            if (!fitsNumberLength(number))
                add(kNumberTooLong, key,
                    "Numer " + quoted(utf8(number)) + " ma " +
                        countedNoun(static_cast<long long>(number.size()), "znak", "znaki",
                                    "znaków") +
                        ", a moduł przyjmuje najwyżej " + std::to_string(kNumberMaxLength) +
                        "; programowanie zostanie odrzucone. Skróć numer.");
        }
    }

    // Page order of the places; one place's warnings keep the rules' order.
    void sortInPageOrder()
    {
        const auto position = [](const CheckWarning& warning) {
            return findSetting(warning.key) - settingsCatalogue().data();
        };
        const auto rank = [](const CheckWarning& warning) {
            return std::find_if(kRules.begin(), kRules.end(),
                                [&](const CheckRule& rule) { return warning.id == rule.id; }) -
                   kRules.begin();
        };
        std::stable_sort(warnings_.begin(), warnings_.end(),
                         [&](const CheckWarning& a, const CheckWarning& b) {
                             const auto pa = position(a);
                             const auto pb = position(b);
                             return pa != pb ? pa < pb : rank(a) < rank(b);
                         });
    }

    const SettingsRecord record_;
    const UserDirectory users_;
    std::vector<CheckWarning> warnings_;
};

}  // namespace

std::span<const CheckRule> checkRules()
{
    return kRules;
}

std::vector<CheckWarning> checkConfiguration(const EffectiveSettings& record,
                                             const UserDirectory& users)
{
    return Checker(record, users).run();
}

std::string warningLine(const CheckWarning& warning)
{
    return warning.place + ": " + warning.sentence + " [" + warning.id + "]";
}

}  // namespace tarnik

#include "cli/cli_args.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <string_view>

#include "cli/cli_sites.h"
#include "config/tarnik_config.h"
#include "model/configuration_check.h"

namespace tarnik::cli {

namespace {

std::vector<std::string> toStd(const QStringList& list)
{
    std::vector<std::string> result;
    for (const QString& item : list)
        result.push_back(item.toStdString());
    return result;
}

// Columns a UTF-8 text takes: its characters, not its bytes.
std::size_t columns(std::string_view text)
{
    return static_cast<std::size_t>(std::ranges::count_if(
        text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// One check rule for the help: its id in a column of its own, then its summary,
// wrapped at blanks so that no line reaches the 80th column.
std::string ruleLine(const CheckRule& rule)
{
    constexpr std::size_t kSummaryColumn = 22;
    constexpr std::size_t kWidth = 79;
    const std::string indent(kSummaryColumn, ' ');
    std::string line = "  " + std::string(rule.id);
    line += std::string(kSummaryColumn - std::min(kSummaryColumn - 1, line.size()), ' ');
    std::string text;
    std::size_t used = columns(line);
    std::string_view summary(rule.summary);
    bool first = true;
    while (!summary.empty()) {
        const std::size_t blank = summary.find(' ');
        const std::string_view word = summary.substr(0, blank);
        summary = blank == std::string_view::npos ? std::string_view() : summary.substr(blank + 1);
        if (!first && used + 1 + columns(word) > kWidth) {
            text += line + "\n";
            line = indent;
            used = kSummaryColumn;
            first = true;
        }
        if (!first) {
            line += ' ';
            ++used;
        }
        line += word;
        used += columns(word);
        first = false;
    }
    return text + line + "\n";
}

}  // namespace

namespace {

// The options, one table each by the kind of value they take. The short name is "" when an
// option has none. The usage texts describe them; the parser only needs their names.
struct TextOption {
    const char* shortName;
    const char* name;
    std::optional<std::string> Arguments::*field;
};
constexpr TextOption kTextOptions[] = {
    {"o", "output", &Arguments::output},  {"", "base", &Arguments::base},
    {"", "trace", &Arguments::trace},     {"", "site", &Arguments::site},
    {"", "address", &Arguments::address}, {"", "installer", &Arguments::installer},
    {"", "library", &Arguments::library}, {"", "contact", &Arguments::contact},
    {"", "notes", &Arguments::notes},     {"", "serial", &Arguments::serial},
    {"", "phone", &Arguments::phone},     {"", "name", &Arguments::name},
};

struct FlagOption {
    const char* shortName;
    const char* name;
    bool Arguments::*field;
};
constexpr FlagOption kFlagOptions[] = {
    {"h", "help", &Arguments::help},
    {"", "version", &Arguments::version},
    {"", "verify", &Arguments::verify},
    {"", "defaults", &Arguments::defaults},
    {"", "long", &Arguments::longListing},
    {"", "trace-secrets", &Arguments::traceSecrets},
    {"", "show-secrets", &Arguments::showSecrets},
    {"", "json", &Arguments::json},
    {"", "yes", &Arguments::yes},
};

QStringList optionNames(const char* shortName, const char* name)
{
    QStringList names;
    if (*shortName)
        names << QString::fromLatin1(shortName);
    return names << QString::fromLatin1(name);
}

// A whole positive number, or UsageError with `problem`.
long long positiveNumber(const QString& value, const char* problem)
{
    const std::string text = value.toStdString();
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number <= 0)
        throw UsageError(problem);
    return number;
}

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QString value = QStringLiteral("VALUE");
    QList<QCommandLineOption> options;
    for (const TextOption& option : kTextOptions)
        options << QCommandLineOption(optionNames(option.shortName, option.name), {}, value);
    for (const FlagOption& option : kFlagOptions)
        options << QCommandLineOption(optionNames(option.shortName, option.name));
    const QCommandLineOption port(optionNames("p", "port"), {}, value);
    const QCommandLineOption timeout(optionNames("", "timeout-ms"), {}, value);
    const QCommandLineOption entry(optionNames("", "entry"), {}, value);
    options << port << timeout << entry;
    parser.addOptions(options);

    QStringList line{QStringLiteral("tarnik-cli")};
    for (const std::string& arg : args)
        line << QString::fromStdString(arg);
    if (!parser.parse(line))
        throw UsageError(parser.errorText().toStdString());

    Arguments parsed;
    std::vector<std::string> plain = toStd(parser.positionalArguments());
    if (!plain.empty()) {
        parsed.command = plain.front();
        plain.erase(plain.begin());
    }
    parsed.positional = std::move(plain);
    for (const TextOption& option : kTextOptions)
        if (const QString name = QString::fromLatin1(option.name); parser.isSet(name))
            parsed.*option.field = parser.value(name).toStdString();
    for (const FlagOption& option : kFlagOptions)
        parsed.*option.field = parser.isSet(QString::fromLatin1(option.name));
    parsed.ports = toStd(parser.values(port));
    if (parser.isSet(timeout)) {
        constexpr const char* kProblem = "--timeout-ms wymaga dodatniej liczby milisekund";
        const long long ms = positiveNumber(parser.value(timeout), kProblem);
        if (ms > std::numeric_limits<int>::max())
            throw UsageError(kProblem);
        parsed.timeoutMs = static_cast<int>(ms);
    }
    if (parser.isSet(entry))
        parsed.entry =
            positiveNumber(parser.value(entry), "--entry wymaga numeru wpisu historii (1, 2, ...)");
    for (const QCommandLineOption& option : options)
        if (parser.isSet(option))
            parsed.given.push_back(option.names().constLast().toStdString());
    return parsed;
}

void refuseForeignOptions(const Arguments& args)
{
    struct Accepted {
        const char* command;
        std::vector<std::string_view> options;
    };
    static const Accepted kAccepted[] = {
        {"ports", {"long"}},
        {"program", {"port", "verify", "defaults", "timeout-ms", "site"}},
        {"verify", {"port", "timeout-ms", "site"}},
        {"read", {"port", "output", "base", "timeout-ms", "site"}},
        {"serial", {"port", "timeout-ms"}},
        {"image", {"output"}},
        {"diff", {}},
        {"export", {"output"}},
        {"import", {"output"}},
        {"check", {"json"}},
        {"report", {"output", "show-secrets", "site", "address", "installer"}},
        {"sites", sitesOptions()},
    };
    static constexpr std::string_view kEveryCommand[] = {"help", "version", "trace",
                                                         "trace-secrets", "library"};
    for (const Accepted& accepted : kAccepted) {
        if (args.command != accepted.command)
            continue;
        for (const std::string& option : args.given) {
            if (std::ranges::find(kEveryCommand, option) != std::end(kEveryCommand) ||
                std::ranges::find(accepted.options, option) != accepted.options.end())
                continue;
            const std::string shortName = option == "output" ? "-o/"
                                          : option == "port" ? "-p/"
                                                             : "";
            throw UsageError("polecenie " + args.command + " nie przyjmuje opcji " + shortName +
                             "--" + option);
        }
    }
}

std::string usageText(const std::string& command)
{
    if (command == "sites")
        return sitesUsageText();
    if (command == "ports")
        return "Użycie: tarnik-cli ports [--long]\n"
               "Wypisuje porty szeregowe komputera, po jednym w wierszu. Z --long każdy\n"
               "wiersz ma postać ŚCIEŻKA<TAB>OPIS: producent, produkt i numer seryjny\n"
               "adaptera USB, jego identyfikatory producenta i produktu oraz nazwa w\n"
               "/dev/serial/by-id (by-path, gdy adapter nie ma numeru seryjnego), a dla\n"
               "portu wbudowanego \"wbudowany port szeregowy (STEROWNIK)\".\n";
    if (command == "program")
        return "Użycie: tarnik-cli program --port PORT [--port PORT ...] [--verify] PLIK\n"
               "        tarnik-cli program --port PORT [--port PORT ...] [--verify] --defaults\n"
               "Zapisuje w module ustawienia z PLIKU (pliku ustawień .zvn) albo, z opcją\n"
               "--defaults, ustawienia fabryczne, z którymi startuje okno (bez numerów\n"
               "użytkowników), i wypisuje na bieżąco wiersze informacji. Trzeba podać\n"
               "jedno z dwojga.\n"
               "Z --verify ustawienia są potem odczytywane z modułu i porównywane jak\n"
               "w poleceniu verify. Gdy programowanie się udało, a odczyt kontrolny nie,\n"
               "mówi o tym osobny wiersz.\n"
               "Z kilkoma opcjami --port programuje wszystkie moduły naraz: każdy wiersz\n"
               "zaczyna się od \"PORT: \", a na końcu jest po jednym wierszu podsumowania\n"
               "na port. Port podany dwa razy (także przez dowiązanie) jest odrzucany,\n"
               "zanim zostanie otwarty którykolwiek port.\n"
               "Kod wyjścia: 0 zaprogramowano, 1 brak odpowiedzi, 2 błąd wywołania albo\n"
               "odrzucone ustawienia, 3 błąd portu, 4 błąd pliku, 5 moduł różni się po\n"
               "--verify; przy kilku portach kod pierwszego nieudanego portu w podanej\n"
               "kolejności.\n"
               "Z --site NAZWA (z jednym --port) programuje ustawienia obiektu z biblioteki\n"
               "i zapisuje wymianę w jego historii (zob. sites --help).\n";
    if (command == "verify")
        return "Użycie: tarnik-cli verify --port PORT [--port PORT ...] PLIK\n"
               "Odczytuje ustawienia z modułu i porównuje je bajt po bajcie z tym, co\n"
               "zapisałoby programowanie PLIKU. Wypisuje po wierszu na każde różniące się\n"
               "ustawienie: \"ETYKIETA: plik: WARTOŚĆ_PLIKU, moduł: WARTOŚĆ_MODUŁU\"; przy\n"
               "polach wyboru różniące się pola modułu: \"ETYKIETA: moduł: + zaznaczone,\n"
               "− niezaznaczone\". Kilka portów jak w poleceniu program.\n"
               "Gdy nic się nie różni, wypisuje \"Moduł zawiera ustawienia z pliku.\".\n"
               "Kod wyjścia: 0 moduł zawiera PLIK, 5 moduł się różni, 1 brak odpowiedzi,\n"
               "2 błąd wywołania, 3 błąd portu, 4 błąd pliku.\n"
               "Z --site NAZWA (z jednym --port) zamiast PLIKU porównuje z ustawieniami\n"
               "obiektu z biblioteki i zapisuje wynik w jego historii (zob. sites --help).\n";
    if (command == "read")
        return "Użycie: tarnik-cli read --port PORT -o WYJŚCIE [--base PLIK]\n"
               "Odczytuje ustawienia z modułu i zapisuje je jako plik ustawień WYJŚCIE\n"
               "(\"-\": standardowe wyjście; wiersze informacji idą wtedy na standardowe\n"
               "wyjście błędów). Pola, których moduł nie przechowuje, pochodzą z PLIKU\n"
               "(bez PLIKU: ustawienia fabryczne i pusty spis użytkowników).\n"
               "Kod wyjścia: 0 zapisano, 1 brak odpowiedzi (WYJŚCIE nie jest zapisywane),\n"
               "2 błąd wywołania, 3 błąd portu, 4 błąd pliku.\n"
               "Z --site NAZWA -o jest nieobowiązkowe: odczyt trafia do historii obiektu,\n"
               "a wypisane są zmiany od ostatniego programowania (kod 1, gdy są).\n";
    if (command == "serial")
        return "Użycie: tarnik-cli serial --port PORT\n"
               "Pyta moduł o numer seryjny i wypisuje \"serial: X\".\n"
               "Kod wyjścia: 0 moduł odpowiedział, 1 brak odpowiedzi w ciągu 6 s, 2 błąd\n"
               "wywołania, 3 błąd portu.\n";
    if (command == "image")
        return "Użycie: tarnik-cli image PLIK [-o WYJŚCIE]\n"
               "Zapisuje 2048-bajtowy obraz pamięci, który moduł dostałby z PLIKU (ustawienia\n"
               "tak, jak programuje je okno, a nie surowe bajty pliku), do WYJŚCIA albo na\n"
               "standardowe wyjście (także z -o -).\n"
               "Kod wyjścia: 0 zapisano, 2 błąd wywołania, 4 błąd pliku.\n";
    if (command == "diff")
        return "Użycie: tarnik-cli diff A.zvn B.zvn\n"
               "Wypisuje po wierszu na każde różniące się ustawienie, \"ETYKIETA: A:\n"
               "WARTOŚĆ_A, B: WARTOŚĆ_B\", w kolejności stron okna; przy polach wyboru\n"
               "różniące się pola pliku B, \"ETYKIETA: B: + zaznaczone, − niezaznaczone\",\n"
               "po wierszu na każde miejsce w oknie.\n"
               "Kod wyjścia: 0 pliki są równe, 1 pliki się różnią, 2 błąd wywołania, 4 błąd\n"
               "pliku.\n";
    if (command == "export")
        return "Użycie: tarnik-cli export PLIK.zvn [-o WYJŚCIE.json]\n"
               "Zapisuje wszystkie ustawienia z PLIKU jako dokument JSON (UTF-8, jedno\n"
               "ustawienie w wierszu, w kolejności stron) do WYJŚCIA albo na standardowe\n"
               "wyjście (także z -o -).\n"
               "Kod wyjścia: 0 zapisano, 2 błąd wywołania, 4 błąd pliku.\n";
    if (command == "import")
        return "Użycie: tarnik-cli import WEJŚCIE.json -o PLIK.zvn\n"
               "Tworzy plik ustawień PLIK (\"-\": standardowe wyjście) z dokumentu zapisanego\n"
               "przez export. Dokument z nieznanym albo brakującym kluczem, wartością spoza\n"
               "zakresu, za długim tekstem albo znakiem spoza strony kodowej 1250 jest\n"
               "odrzucany z nazwą klucza; nic nie jest wtedy zapisywane. Dokument większy\n"
               "niż 1 MiB jest odrzucany bez czytania.\n"
               "Kod wyjścia: 0 zapisano, 2 błąd wywołania albo odrzucony dokument, 4 błąd\n"
               "pliku.\n";
    if (command == "check") {
        std::string text =
            "Użycie: tarnik-cli check [--json] PLIK...\n"
            "Sprawdza konfigurację w każdym pliku ustawień i wypisuje po wierszu na każdą\n"
            "uwagę, \"PLIK: MIEJSCE: ZDANIE [REGUŁA]\", w kolejności stron okna; MIEJSCE\n"
            "to etykieta ustawienia w oknie. Na koniec na standardowe wyjście błędów\n"
            "trafia \"Sprawdzono N plików: M uwag.\". Z --json uwagi tworzą zamiast tego\n"
            "jeden dokument JSON: tablicę \"findings\" obiektów z polami file, place, key,\n"
            "rule i sentence. Sprawdzenie niczego nie zmienia i nigdy nie wstrzymuje\n"
            "programowania. Reguły:\n";
        for (const CheckRule& rule : checkRules())
            text += ruleLine(rule);
        return text + "Kod wyjścia: 0 brak uwag, 1 są uwagi, 2 błąd wywołania, 4 nie udało się\n"
                      "odczytać pliku (pozostałe pliki są sprawdzane dalej).\n";
    }
    if (command == "report")
        return "Użycie: tarnik-cli report PLIK.zvn -o WYJŚCIE.pdf|WYJŚCIE.html\n"
               "         [--show-secrets] [--site NAZWA] [--address TEKST] [--installer NAZWA]\n"
               "Zapisuje protokół przekazania ustawień z PLIKU (A4, po polsku): nagłówek\n"
               "z obiektem, jego adresem, instalatorem oraz nazwą i datą PLIKU, ustawienia\n"
               "podstawowe, użytkowników, wejścia i wyjścia, reakcje, wszystkie treści SMS,\n"
               "uwagi polecenia check, pozostałe ustawienia różne od fabrycznych, próby\n"
               "odbiorcze (po wierszu na każde zdarzenie, które coś robi), kto może\n"
               "przełączać które wyjście, oraz miejsce na podpisy. Bez --site, --address\n"
               "albo --installer ich wiersze zostają do wypełnienia ręcznie. Format wynika\n"
               "z rozszerzenia WYJŚCIA. PIN karty SIM, kod dostępu przez SMS i kody wyjść\n"
               "są pokazywane jako ****, chyba że podano --show-secrets; nowy plik z nimi\n"
               "może czytać tylko jego właściciel (0600).\n"
               "Kod wyjścia: 0 zapisano, 2 błąd wywołania, 4 błąd pliku.\n";
    return "Użycie: tarnik-cli POLECENIE [opcje]\n"
           "Polecenia:\n"
           "  ports [--long]                     wypisz porty szeregowe\n"
           "  program --port PORT... [--verify] PLIK|--defaults\n"
           "                                     zapisz ustawienia w modułach\n"
           "  verify --port PORT... PLIK         porównaj moduły z plikiem ustawień\n"
           "  read --port PORT -o WYJŚCIE [--base PLIK]\n"
           "                                     odczytaj ustawienia modułu do pliku\n"
           "  serial --port PORT                 pokaż numer seryjny modułu\n"
           "  image PLIK [-o WYJŚCIE]            zapisz obraz pamięci z pliku ustawień\n"
           "  diff A.zvn B.zvn                   wypisz różniące się ustawienia\n"
           "  export PLIK.zvn [-o WYJŚCIE.json]  zapisz ustawienia jako JSON\n"
           "  import WEJŚCIE.json -o PLIK.zvn    utwórz plik ustawień z JSON\n"
           "  check [--json] PLIK...             znajdź typowe błędy konfiguracji\n"
           "  report PLIK.zvn -o WYJŚCIE.pdf [--show-secrets] [--site NAZWA]\n"
           "         [--address TEKST] [--installer NAZWA]\n"
           "                                     protokół przekazania (albo .html)\n"
           "  sites POLECENIE ... [--library LIB]  biblioteka obiektów (sites --help)\n"
           "Opcje: --help, --version, --library LIB (biblioteka obiektów: plik SQLite\n"
           "albo postgresql://UŻYTKOWNIK@HOST/BAZA; domyślnie $TARNIK_LIBRARY, potem\n"
           "~/.local/share/Tarnik/obiekty.sqlite). Nazwa portu bez ukośnika oznacza\n"
           "plik w /dev.\n"
           "Wyjście (-o, --trace), które jest jednym z wejść, jest odrzucane, zanim\n"
           "cokolwiek zostanie zapisane; do urządzenia albo potoku (FIFO) dane są\n"
           "zapisywane wprost, -o - to standardowe wyjście; plik tylko do odczytu jest\n"
           "odrzucany. --trace nie przyjmuje istniejącego pliku, chyba że jest to zapis\n"
           "transmisji.\n"
           "--trace PLIK z dowolnym poleceniem zapisuje do PLIKU każdy bajt na linii,\n"
           "a także otwarcia, zamknięcia, ustawienia i błędy portu. PIN, kod dostępu\n"
           "przez SMS, kody sterujące wyjściami i numery telefonów są tam zastąpione\n"
           "gwiazdkami (*), więc plik można wysłać do działu technicznego. Gdy pliku\n"
           "zapisu nie da się zapisać, mówi o tym standardowe wyjście błędów, zapis\n"
           "zostaje porzucony, a polecenie działa dalej i jego kod wyjścia się nie\n"
           "zmienia.\n"
           "--trace-secrets pokazuje te kody i numery jawnie (nowy plik może wtedy czytać\n"
           "tylko jego właściciel). NIEBEZPIECZNE: z kodem dostępu przez SMS każdy może\n"
           "przeprogramować alarm; takiego zapisu nigdy nie przekazuj dalej.\n"
           "POLECENIE --help mówi więcej.\n";
}

}  // namespace tarnik::cli

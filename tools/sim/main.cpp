// tarnik-sim: runs the module simulator on a pseudo-terminal until killed. Prints the
// device path to give the tool as its port.

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "config/tarnik_config.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace {

void usage(std::ostream& out)
{
    out << "Użycie: tarnik-sim [opcje]\n"
           "Symuluje moduł GSM na pseudoterminalu i wypisuje ścieżkę jego urządzenia.\n"
           "  --delay-ms N            czekaj N ms przed każdą odpowiedzią\n"
           "  --baud N                nadawaj z prędkością N bit/s (10 bitów na bajt)\n"
           "  --pieces N              wysyłaj każdą odpowiedź w N częściach\n"
           "  --piece-bytes N         wysyłaj odpowiedzi w częściach po najwyżej N bajtów\n"
           "  --piece-gap-ms N        przerwa między częściami (domyślnie 20)\n"
           "  --silent-after N        odpowiadaj tylko na pierwsze N ramek\n"
           "  --star-one-only         odpowiadaj na każdą ramkę samym \"*1\"\n"
           "  --last-chunk-star-one   odpowiedz na ostatnią część obrazu samym \"*1\"\n"
           "  --chunks-star-one       odpowiadaj na każdą część obrazu samym \"*1\"\n"
           "  --read-back-length N    bajty obrazu w odpowiedzi na odczyt (domyślnie 1700)\n"
           "  --garbage               odpowiadaj bajtami bez znaczenia\n"
           "  --before-read-back TEKST\n"
           "                          wyślij TEKST przed odpowiedzią na odczyt (znaki\n"
           "                          specjalne \\r, \\n i \\xHH; np. \\r\\nRING\\r\\n modemu)\n"
           "  --hang-up-after N       rozłącz linię, gdy nadejdzie N-ta ramka\n"
           "  --hang-up-after-answer  z --hang-up-after: najpierw odpowiedz na tę ramkę\n"
           "  --serial TEKST          zgłaszany numer seryjny (domyślnie A123)\n"
           "  --lead-byte N           pierwszy bajt odpowiedzi na odczyt (domyślnie 0)\n"
           "  --memory PLIK           początkowa pamięć konfiguracji (2048 surowych\n"
           "                          bajtów); domyślnie obraz ustawień startowych\n"
           "  --help                  ten tekst\n"
           "  --version               nazwa i wersja programu\n";
}

int toInt(const char* text, const char* option)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < -1 || value > 100'000'000) {
        std::cerr << "tarnik-sim: nieprawidłowa liczba dla " << option << ": " << text << "\n";
        std::exit(2);
    }
    return static_cast<int>(value);
}

// The misbehaviours asked for, applied in one fixed order whatever the order of the
// options.
struct Misbehaviours {
    bool starOneOnly = false;
    bool chunksStarOne = false;
    bool lastChunkStarOne = false;
    bool garbage = false;
    int silentAfter = -1;
    int hangUpAfter = -1;
    bool hangUpAfterAnswer = false;
    std::string readBackAhead;

    void addTo(tarnik::SimulatorOptions& options) const
    {
        namespace behaviour = tarnik::behaviour;
        if (starOneOnly)
            options.behaviours.push_back(behaviour::StarOneAnswers());
        if (chunksStarOne)
            options.behaviours.push_back(behaviour::StarOneForChunks());
        if (lastChunkStarOne)
            options.behaviours.push_back(behaviour::StarOneForLastChunk());
        if (garbage)
            options.behaviours.push_back(behaviour::GarbageAnswers());
        if (silentAfter >= 0)
            options.behaviours.push_back(behaviour::SilentAfter(silentAfter));
        if (hangUpAfter >= 0)
            options.behaviours.push_back(behaviour::HangUpAt(hangUpAfter, hangUpAfterAnswer));
        if (!readBackAhead.empty())
            options.behaviours.push_back(behaviour::BytesAhead('3', readBackAhead));
    }
};

// `text` with "\r", "\n" and "\xHH" read as the bytes they stand for.
std::string unescaped(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
        } else if (text[i + 1] == 'r' || text[i + 1] == 'n') {
            bytes += text[i + 1] == 'r' ? '\r' : '\n';
            ++i;
        } else if (text[i + 1] == 'x' && i + 3 < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// The configuration memory in `file`: 2048 raw bytes. Ends the program when it is shorter.
tarnik::DeviceImage readMemory(const char* file)
{
    std::ifstream in(file, std::ios::binary);
    tarnik::DeviceImage memory{};
    in.read(reinterpret_cast<char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
    if (!in) {
        std::cerr << "tarnik-sim: nie można odczytać 2048 bajtów z " << file << "\n";
        std::exit(2);
    }
    return memory;
}

// Reads the command line into `options`. Returns the exit status when the program ends
// here (--help, or an option it does not know); a bad value ends it at once.
std::optional<int> parseArguments(int argc, char** argv, tarnik::SimulatorOptions& options)
{
    Misbehaviours misbehaviours;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::cerr << "tarnik-sim: " << arg << " wymaga wartości\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help") {
            usage(std::cout);
            return 0;
        } else if (arg == "--version") {
            std::cout << tarnik::config::kSimVersionLine << "\n";
            return 0;
        } else if (arg == "--delay-ms") {
            options.pacing.answerDelay = std::chrono::milliseconds(toInt(value(), "--delay-ms"));
        } else if (arg == "--baud") {
            options.pacing.baudRate = toInt(value(), "--baud");
        } else if (arg == "--pieces") {
            options.pacing.answerPieces = toInt(value(), "--pieces");
        } else if (arg == "--piece-bytes") {
            options.pacing.pieceBytes =
                static_cast<std::size_t>(std::max(0, toInt(value(), "--piece-bytes")));
        } else if (arg == "--piece-gap-ms") {
            options.pacing.pieceGap = std::chrono::milliseconds(toInt(value(), "--piece-gap-ms"));
        } else if (arg == "--silent-after") {
            misbehaviours.silentAfter = toInt(value(), "--silent-after");
        } else if (arg == "--star-one-only") {
            misbehaviours.starOneOnly = true;
        } else if (arg == "--last-chunk-star-one") {
            misbehaviours.lastChunkStarOne = true;
        } else if (arg == "--chunks-star-one") {
            misbehaviours.chunksStarOne = true;
        } else if (arg == "--read-back-length") {
            options.identity.readBackLength =
                static_cast<std::size_t>(std::max(0, toInt(value(), "--read-back-length")));
        } else if (arg == "--garbage") {
            misbehaviours.garbage = true;
        } else if (arg == "--before-read-back") {
            misbehaviours.readBackAhead = unescaped(value());
        } else if (arg == "--hang-up-after") {
            misbehaviours.hangUpAfter = toInt(value(), "--hang-up-after");
        } else if (arg == "--hang-up-after-answer") {
            misbehaviours.hangUpAfterAnswer = true;
        } else if (arg == "--serial") {
            options.identity.serialNumber = value();
        } else if (arg == "--lead-byte") {
            options.identity.leadByte = static_cast<std::uint8_t>(toInt(value(), "--lead-byte"));
        } else if (arg == "--memory") {
            options.memory = readMemory(value());
        } else {
            std::cerr << "tarnik-sim: nieznana opcja " << arg << "\n";
            usage(std::cerr);
            return 2;
        }
    }
    misbehaviours.addTo(options);
    return std::nullopt;
}

// Runs the simulator until SIGINT, SIGTERM or SIGHUP; returns the exit status.
int runUntilStopped(const tarnik::SimulatorOptions& options)
{
    // Block the stop signals before any thread starts, then wait for one of them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    tarnik::ModuleSimulator simulator(options);
    try {
        simulator.start();
    } catch (const std::exception& e) {
        std::cerr << "tarnik-sim: " << e.what() << "\n";
        return 3;
    }
    std::cout << simulator.devicePath() << std::endl;
    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    tarnik::SimulatorOptions options;
    // A fresh module holds what the tool shows at start-up, so a first read-back
    // shows sensible settings.
    tarnik::DeviceImage factory{};
    tarnik::SettingsToImage(tarnik::startupSettings(), factory);
    options.memory = factory;
    if (const std::optional<int> status = parseArguments(argc, argv, options))
        return *status;
    return runUntilStopped(options);
}

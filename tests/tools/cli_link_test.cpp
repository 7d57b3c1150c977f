// tarnik-cli's exchanges on a line that misbehaves: an answer the link refuses is a
// failed exchange (status 1) with the line that says what came, and nothing is written
// or claimed from it.

#include "cli_fixture.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "simulator/module_behaviours.h"

namespace tarnik {
namespace {

// A module whose read-back answer comes behind one stray byte.
SimulatorOptions strayByteAheadOfTheReadBack()
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::BytesAhead('3', std::string(1, '\0')));
    return options;
}

TEST_F(Cli, ARefusedReadBackIsAFailedExchangeAndWritesNothing)
{
    const std::string refused = "Odpowiedź modułu ma nieprawidłową długość (1704 bajty zamiast "
                                "1703); ustawień nie wczytano. Spróbuj ponownie.\n";
    auto& module = simulator(strayByteAheadOfTheReadBack());
    const std::string kept = saveSettings("kept.zvn", startupSettings());
    const std::string keptBytes = readFile(kept);

    const CliResult read = run({"read", "--port", module.devicePath(), "-o", path("new.zvn")});
    EXPECT_EQ(read.status, 1) << read.err;
    EXPECT_EQ(read.out, refused);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("new.zvn"))));

    const CliResult over = run({"read", "--port", module.devicePath(), "-o", kept});
    EXPECT_EQ(over.status, 1);
    EXPECT_EQ(readFile(kept), keptBytes) << "the output file must stay as it was";

    // verify never says the module holds the file on an answer it refused.
    const CliResult verify = run({"verify", "--port", module.devicePath(), kept});
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out.find("Moduł zawiera"), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find(refused), std::string::npos) << verify.out;

    // Programmed, then refused on the read-back: programming did not fail, the check did.
    const CliResult program = run({"program", "--verify", "--port", module.devicePath(), kept});
    EXPECT_EQ(program.status, 1);
    EXPECT_NE(program.out.find("Programowanie zakończone pomyślnie."), std::string::npos);
    EXPECT_NE(program.out.find("Weryfikacja: odczyt nie powiódł się"), std::string::npos)
        << program.out;
}

}  // namespace
}  // namespace tarnik

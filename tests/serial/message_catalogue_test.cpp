// Message lookup through a real catalogue. Runs in a process of its own because the
// C library caches translations per process.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "serial/com_error.h"
#include "serial/messages.h"

namespace tarnik {
namespace {

namespace fs = std::filesystem;

// Compiles a catalogue for language "pl" under `root` with msgfmt.
void buildCatalogue(const fs::path& root, const std::string& suffixTranslation)
{
    const fs::path dir = root / "pl" / "LC_MESSAGES";
    fs::create_directories(dir);
    const fs::path po = root / "serial.po";
    std::ofstream(po)
        << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        << "msgid \"Unable to open com port\"\nmsgstr \"Nie można otworzyć portu\"\n\n"
        << "msgid \" (win error code: %d)\"\nmsgstr \"" << suffixTranslation << "\"\n";
    const std::string cmd =
        "msgfmt -o '" + (dir / "serial.mo").string() + "' '" + po.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

class MessageCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LANGUAGE", "pl", 1);
        ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    }
    fs::path Root(const char* name)
    {
        const fs::path root =
            fs::temp_directory_path() / ("tarnik_catalogue_" + std::to_string(getpid())) / name;
        fs::remove_all(root);
        return root;
    }
};

TEST_F(MessageCatalogue, TextsAndSuffixAreTranslated)
{
    const fs::path root = Root("good");
    buildCatalogue(root, " (kod błędu: %d)");
    initSerialMessages(root.string());
    EXPECT_STREQ(EComPort(errOpenPort, 2).what(), "Nie można otworzyć portu (kod błędu: 2)");
    // Texts the catalogue lacks stay as written.
    EXPECT_STREQ(EComPort(errLinkRegistration).what(), "Link (un)registration failed");
}

TEST_F(MessageCatalogue, SuffixWithAForeignConversionIsNotUsed)
{
    const fs::path root = Root("bad");
    buildCatalogue(root, " (%s %d)");
    initSerialMessages(root.string());
    EXPECT_STREQ(EComPort(errOpenPort, 2).what(), "Nie można otworzyć portu (win error code: 2)");
}

}  // namespace
}  // namespace tarnik

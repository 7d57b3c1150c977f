// Which folder the message catalogues are taken from: beside the program first,
// then the installed one, for the user's language in any of its forms.

#include "serial/message_catalogue_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using tarnik::messageCatalogueFolder;

namespace {

class MessageCatalogueFolderTest : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() /
                    ("tarnik-catalogues-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path beside = root / "bin" / "locale";
    fs::path installed = root / "share" / "locale";

    void SetUp() override
    {
        fs::create_directories(beside);
        fs::create_directories(installed);
    }
    void TearDown() override { fs::remove_all(root); }
    static void putCatalogue(const fs::path& folder, const std::string& language)
    {
        fs::create_directories(folder / language / "LC_MESSAGES");
        std::ofstream(folder / language / "LC_MESSAGES" / "serial.mo") << "mo";
    }
};

}  // namespace

TEST_F(MessageCatalogueFolderTest, BesideTheProgramComesFirst)
{
    putCatalogue(beside, "pl");
    putCatalogue(installed, "pl");
    EXPECT_EQ(messageCatalogueFolder(beside, installed, "serial", {"pl_PL", "pl"}), beside);
}

TEST_F(MessageCatalogueFolderTest, TheInstalledFolderServesWhenNothingIsBeside)
{
    putCatalogue(installed, "pl");
    EXPECT_EQ(messageCatalogueFolder(beside, installed, "serial", {"pl_PL.UTF-8", "pl_PL", "pl"}),
              installed);
    // another domain's or another language's catalogue does not count
    putCatalogue(beside, "de");
    EXPECT_EQ(messageCatalogueFolder(beside, installed, "serial", {"pl"}), installed);
    EXPECT_EQ(messageCatalogueFolder(beside, installed, "default", {"pl"}), beside);
}

TEST_F(MessageCatalogueFolderTest, WithoutAnyCatalogueTheFolderBesideIsKept)
{
    EXPECT_EQ(messageCatalogueFolder(beside, installed, "serial", {"pl"}), beside);
    EXPECT_EQ(messageCatalogueFolder(beside, root / "missing", "serial", {}), beside);
}

TEST(UserLanguagesTest, LanguageListFirstThenTheLocaleWithItsShorterForms)
{
    ::setenv("LANGUAGE", "de_AT:fr", 1);
    ::setenv("LC_ALL", "pl_PL.UTF-8@euro", 1);
    EXPECT_EQ(tarnik::userLanguages(),
              (std::vector<std::string>{"de_AT", "de", "fr", "pl_PL.UTF-8@euro", "pl_PL.UTF-8",
                                        "pl_PL", "pl"}));
    ::unsetenv("LANGUAGE");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_TRUE(tarnik::userLanguages().empty());
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "pl_PL.UTF-8", 1);
    EXPECT_EQ(tarnik::userLanguages(), (std::vector<std::string>{"pl_PL.UTF-8", "pl_PL", "pl"}));
}

// The window's title names the settings file last opened or saved.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "file/settings_file.h"
#include "model/value_ranges.h"
#include "window_fixture.h"

TEST(WindowTitleTest, NamesTheFileAfterOpeningOrSaving)
{
    const QString kCaption = QStringLiteral("Tarnik v 1.1");
    QTemporaryDir folder;
    auto settingsFile = [&folder](const QString& name) {
        const QString path = folder.filePath(name);
        tarnik::UserDirectory users{};
        tarnik::SaveSettingsFile(tarnik::startupSettings(), users, path);
        return path;
    };
    WindowFixture f;
    EXPECT_EQ(f.window().windowTitle(), kCaption);
    f.window().openSettingsFile(settingsFile(QStringLiteral("dom.zvn")));
    EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — dom.zvn"));
    f.chooser->answers << folder.filePath(QStringLiteral("biuro.zvn"));
    f.window().Button1Click();
    EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — biuro.zvn"));
    // a file that fails to open leaves the title as it was
    EXPECT_ANY_THROW(f.window().openSettingsFile(folder.filePath(QStringLiteral("nie.zvn"))));
    EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — biuro.zvn"));
}

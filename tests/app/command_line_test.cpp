// The window program's command line, parsed as main() parses it.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/command_line.h"
#include "config/tarnik_config.h"

using tarnik::parseCommandLine;

namespace {

tarnik::CommandLine parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("tarnik"));
    return parseCommandLine(arguments);
}

}  // namespace

TEST(CommandLineTest, OptionsAndTheFile)
{
    const auto line = parse({"--demo", "--screenshots", "/tmp/p", "dom.zvn"});
    EXPECT_TRUE(line.error.isEmpty());
    EXPECT_TRUE(line.demo);
    EXPECT_FALSE(line.measureStartup);
    EXPECT_EQ(line.screenshotFolder, QStringLiteral("/tmp/p"));
    EXPECT_EQ(line.settingsFile, QStringLiteral("dom.zvn"));
    EXPECT_TRUE(parse({"--measure-startup"}).measureStartup);
    EXPECT_FALSE(line.overview);
    const auto overview = parse({"--overview", "dom.zvn"});
    EXPECT_TRUE(overview.overview);
    EXPECT_EQ(overview.settingsFile, QStringLiteral("dom.zvn"));
    EXPECT_EQ(parse({"--screenshots=/x"}).screenshotFolder, QStringLiteral("/x"));
    const auto nothing = parse({});
    EXPECT_TRUE(nothing.error.isEmpty());
    EXPECT_FALSE(nothing.demo || nothing.help || nothing.version);
    EXPECT_TRUE(nothing.settingsFile.isEmpty());
}

TEST(CommandLineTest, HelpAndVersion)
{
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    EXPECT_EQ(QString::fromLatin1(tarnik::config::kVersionLine), QStringLiteral("tarnik 1.1"));
    const QString usage = parse({}).usage;
    for (const char* option :
         {"--demo", "--overview", "--screenshots <dir>", "--help", "--version", "FILE.zvn"})
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
}

TEST(CommandLineTest, WhatIsNotUnderstoodIsAnError)
{
    EXPECT_FALSE(parse({"--no-such-option"}).error.isEmpty());
    EXPECT_FALSE(parse({"--screenshots"}).error.isEmpty());  // needs its folder
    EXPECT_FALSE(parse({"a.zvn", "b.zvn"}).error.isEmpty());
    // a file name that merely looks odd is still a file name
    EXPECT_EQ(parse({"--", "-dom.zvn"}).settingsFile, QStringLiteral("-dom.zvn"));
}

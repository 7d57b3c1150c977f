// The window program's command line, parsed as main() parses it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

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
    // The library of sites, as given: the library judges it when it is first used.
    EXPECT_FALSE(nothing.library.has_value());
    const struct {
        QStringList arguments;
        const char* library;
    } libraries[] = {{{"--library", "/srv/obiekty.sqlite"}, "/srv/obiekty.sqlite"},
                     {{"--library=postgresql://jan@serwer/obiekty", "dom.zvn"},
                      "postgresql://jan@serwer/obiekty"},
                     {{"--library="}, ""}};
    for (const auto& c : libraries)
        EXPECT_EQ(parse(c.arguments).library, QString::fromUtf8(c.library)) << c.library;
    EXPECT_FALSE(parse({"--library"}).error.isEmpty());  // needs its library
}

TEST(CommandLineTest, HelpAndVersion)
{
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--help-all"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    EXPECT_TRUE(parse({"-v"}).version);
    EXPECT_EQ(QString::fromLatin1(tarnik::config::kVersionLine), QStringLiteral("tarnik 1.1"));
    const QString usage = parse({}).usage;
    for (const char* option :
         {"--demo", "--overview", "--screenshots <folder>", "--help", "--version", "PLIK.zvn"})
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
    // --help-all is taken but says nothing more than --help, so the help does not offer it.
    EXPECT_FALSE(usage.contains(QLatin1String("--help-all")));
}

TEST(CommandLineTest, WhatIsNotUnderstoodIsAnError)
{
    EXPECT_FALSE(parse({"--no-such-option"}).error.isEmpty());
    EXPECT_FALSE(parse({"--screenshots"}).error.isEmpty());  // needs its folder
    EXPECT_FALSE(parse({"a.zvn", "b.zvn"}).error.isEmpty());
    // a file name that merely looks odd is still a file name
    EXPECT_EQ(parse({"--", "-dom.zvn"}).settingsFile, QStringLiteral("-dom.zvn"));
}

TEST(CommandLineTest, ATraceNeverOverwritesTheSettingsFileOrAFileThatIsNoTrace)
{
    QTemporaryDir dir;
    const auto file = [&](const char* name, const QByteArray& content) {
        QFile out(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return out.fileName();
    };
    const QString zvn = file("dom.zvn", QByteArray("x\x9c\x01\x02", 4));
    const QString notes = file("notes.txt", "Notatki\n");
    const QString trace =
        file("old.trace", "# Tarnik wire trace, started 2026-12-08T10:00:00+01:00\n");
    const QString empty = file("empty.txt", "");
    ASSERT_TRUE(QFile::link(zvn, dir.filePath(QStringLiteral("link.zvn"))));
    const QString link = dir.filePath(QStringLiteral("link.zvn"));
    const QString absent = dir.filePath(QStringLiteral("t.zvn"));
    struct Case {
        QStringList arguments;
        const char* refusal;  // nullptr: taken
    };
    const Case cases[] = {
        {{"--trace", zvn, zvn}, "to ten sam plik, który program wczytuje"},
        {{"--trace", link, zvn}, "to ten sam plik, który program wczytuje"},
        {{"--trace", absent, absent}, "to ten sam plik, który program wczytuje"},
        {{"--trace", zvn}, "nie jest zapisem transmisji Tarnika"},
        {{"--trace", notes, zvn}, "nie jest zapisem transmisji Tarnika"},
        {{"--trace", trace, zvn}, nullptr},
        {{"--trace", empty, zvn}, nullptr},
        {{"--trace", QStringLiteral("/dev/null"), zvn}, nullptr},
        {{"--trace", absent}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const auto line = parse(c.arguments);
        if (c.refusal) {
            EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.refusal)))
                << line.error.toStdString();
        } else {
            EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
        }
    }
}

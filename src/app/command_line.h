#pragma once

// The window program's command line:
//   tarnik [--demo] [--overview] [--measure-startup] [--screenshots DIR] [--trace FILE]
//          [--library LIB] [FILE.zvn]
//   tarnik --help | --version

#include <QString>
#include <QStringList>
#include <optional>

namespace tarnik {

struct CommandLine {
    bool demo = false;               // start the built-in module simulator
    bool overview = false;           // open "Przegląd konfiguracji" at start
    bool measureStartup = false;     // print the start-up time once shown, then exit
    bool help = false;               // print `usage` and exit
    bool version = false;            // print "tarnik 1.1" and exit
    QString settingsFile;            // opened as "Odczytaj ..." would
    QString screenshotFolder;        // not empty: save pictures of the pages there, then exit
    QString traceFile;               // not empty: the wire trace is written there too
    std::optional<QString> library;  // the library of sites: a file or a postgresql:// URI
    QString error;                   // not empty: the arguments were not understood
    QString usage;                   // the options, for --help and after an error
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace tarnik

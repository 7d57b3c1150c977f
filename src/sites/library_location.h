#pragma once

// Where the library of sites lives: a SQLite file (the default, in the user's data
// folder) or a PostgreSQL database named by a libpq URI. The engine is chosen by the
// text alone, so the same code serves both.

#include <QString>
#include <optional>

namespace tarnik::sites {

struct LibraryLocation {
    enum class Engine { SQLite, PostgreSQL };
    Engine engine = Engine::SQLite;
    QString path;      // SQLite: the file (absolute)
    QString host;      // PostgreSQL: a host name, or a Unix-socket folder (starts with '/')
    int port = -1;     // PostgreSQL: -1 for libpq's default
    QString user;      // PostgreSQL: empty for libpq's default (the login name)
    QString database;  // PostgreSQL: empty for libpq's default (the user's name)
    QString options;   // PostgreSQL: other URI parameters, as QPSQL's connect options

    // For messages: the file's path, or the URI without any password.
    QString display() const;
};

// The environment variable that names the library for every command and the window.
inline constexpr const char* kLibraryVariable = "TARNIK_LIBRARY";

// "postgresql://USER@HOST:PORT/DB?host=DIR" (also "postgres://"), or a file path.
// Throws LibraryError(BadLocation) for a URI that holds a password (passwords come only
// through PostgreSQL's own means, such as ~/.pgpass) or cannot be read.
LibraryLocation parseLibraryLocation(const QString& text);

// $XDG_DATA_HOME/Tarnik/obiekty.sqlite, ~/.local/share/Tarnik/obiekty.sqlite when unset.
QString defaultLibraryPath();

// The library to use: `given` (--library) first, then TARNIK_LIBRARY, then `setting`
// (the window's), then the default file.
LibraryLocation chooseLibraryLocation(const std::optional<QString>& given,
                                      const QString& setting = {});

}  // namespace tarnik::sites

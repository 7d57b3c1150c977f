#pragma once

// tarnik-cli's side of the library of sites: which library a command opens, what a
// settings file puts into it, the exit status of each library error, and how values
// take a line of their own.

#include <QDateTime>
#include <QString>

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_args.h"
#include "sites/library_error.h"
#include "sites/site_library.h"

namespace tarnik::cli {

// The library --library names, else TARNIK_LIBRARY, else the default file; opened (and
// created on first use). Throws LibraryError.
std::unique_ptr<sites::SiteLibrary> openLibrary(const Arguments& args);

// The settings site `name` is meant to hold, which program and verify --site use: those of
// its latest save or programming. A read-back or a verification records what a module
// held, which is no order for it: else a module changed behind the library's back would
// verify as right once it was read, and be programmed back with the change. Throws
// NoSuchSite.
sites::StoredSettings configuredSettings(const sites::SiteLibrary& library, const QString& name);

// Throws UsageError when `output` (-o) names the library's own file.
void refuseOutputOverLibrary(const sites::SiteLibrary& library,
                             const std::optional<std::string>& output);

// The exit status of a library error: 2 for what the command line asked wrongly (an
// unknown site or entry, a name taken or not allowed, a location that names no library),
// 4 for the library itself (unreachable, damaged, newer, read-only, changed meanwhile).
int libraryExitStatus(sites::LibraryError::Kind kind);

// What the module receives from a settings file, as the library stores it: the record
// programming sends and the user directory as the window collects it.
sites::StoredSettings storedSettingsOf(const SettingsRecord& record, const UserDirectory& users);

// Reads `file` for the library. A file that cannot be read (status 4) or whose settings
// programming would refuse (status 2) is told on `err`; `status` then holds the exit status.
std::optional<sites::StoredSettings> loadForLibrary(const std::string& file, std::ostream& err,
                                                    int& status);

// A value inside a tab-separated line: tabs, line breaks and other control characters
// escaped as \t, \n, \xHH, so that no value can break the line or add a column.
std::string lineValue(const QString& text);

// yyyy-MM-dd in local time, or "-".
std::string localDate(const std::optional<QDateTime>& time);
// ISO 8601 in local time with its offset ("2026-12-08T17:10:04+01:00").
std::string localTime(const QDateTime& time);

// "„NAME”": a site's name in a sentence, escaped as lineValue.
std::string quotedName(const QString& name);

// What a save into site `name` did: "Bez zmian: ..." naming `file` when nothing was added,
// otherwise the entry's number and its changes, one an indented line.
void printSaved(std::ostream& out, const QString& name, const std::string& file,
                const std::optional<sites::RecordedEntry>& entry);

}  // namespace tarnik::cli

#pragma once

// The settings file: one zlib stream whose content is the Settings record
// followed by the User directory, byte for byte.

#include <QString>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "model/settings_record.h"

namespace tarnik {

inline constexpr std::size_t kSettingsFileContentSize =
    sizeof(SettingsRecord) + sizeof(UserDirectory);

// what() is the message shown to the user, in UTF-8.
class SettingsFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file could not be opened: what() is the window's "Cannot open file "PATH". reason";
// path() and error() (the errno) let another program say it in its own words.
class SettingsFileOpenError : public SettingsFileError {
public:
    SettingsFileOpenError(const std::string& message, std::string path, int error)
        : SettingsFileError(message), path_(std::move(path)), error_(error)
    {
    }
    const std::string& path() const { return path_; }
    int error() const { return error_; }

private:
    std::string path_;
    int error_;
};

// The file was read but is no settings file: not a zlib stream, the wrong
// length, or damaged fields. what() is the same "Error" the window shows.
class SettingsFileContentError : public SettingsFileError {
public:
    SettingsFileContentError();
};

// The bytes of the file holding `record` and `users`: the zlib stream SaveSettingsFile writes.
std::vector<std::uint8_t> settingsFileBytes(const SettingsRecord& record,
                                            const UserDirectory& users);

// Writes the file, replacing any file of that name. The new file is written
// beside the old one and put in its place only once complete, so a failed save
// leaves an existing file as it was.
void SaveSettingsFile(const SettingsRecord& record, const UserDirectory& users,
                      const QString& fileName);

// Reads the bytes settingsFileBytes makes (a whole settings file held elsewhere, such as in
// the library of sites) into `record` and `users`, with the checks LoadSettingsFile makes.
// Both change only when the content is sound; otherwise SettingsFileContentError.
void settingsFromFileBytes(std::span<const std::uint8_t> bytes, SettingsRecord& record,
                           UserDirectory& users);

// Reads the file into `record` and `users`. Both change only when the whole
// content was read and is sound; otherwise they keep what they held.
void LoadSettingsFile(const QString& fileName, SettingsRecord& record, UserDirectory& users);

}  // namespace tarnik

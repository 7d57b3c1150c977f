#include "file/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "file/input_file.h"
#include "file/replace_file.h"
#include "file/zlib_stream.h"
#include "model/string_lengths.h"
#include "posix/unique_fd.h"

namespace tarnik {

namespace {

constexpr std::size_t kReadPiece = 65536;
constexpr const char* kContentError = "Error";

std::string errorText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

[[noreturn]] void throwFileError(const char* what, const QString& fullPath, int error)
{
    throw SettingsFileError(std::string(what) + " \"" + fullPath.toStdString() + "\". " +
                            errorText(error));
}

[[noreturn]] void throwCannotCreate(const QString& fullPath, int error)
{
    throwFileError("Cannot create file", fullPath, error);
}

[[noreturn]] void throwCannotOpen(const QString& fullPath, int error)
{
    throw SettingsFileOpenError("Cannot open file \"" + fullPath.toStdString() + "\". " +
                                    errorText(error),
                                fullPath.toStdString(), error);
}

using Content = std::array<std::uint8_t, kSettingsFileContentSize>;

// Fills `content` from the file's zlib stream; false when the stream is not
// valid zlib, is damaged or holds too little.
bool readContent(const QString& fullPath, Content& content)
{
    UniqueFd file;
    try {
        file = openInputFile(QFile::encodeName(fullPath).toStdString());
    } catch (const std::system_error& e) {
        throwCannotOpen(fullPath, e.code().value());
    } catch (const InputFileError& e) {
        throw SettingsFileError(e.what());
    }

    ZlibReader reader(content);
    std::vector<std::uint8_t> piece(kReadPiece);
    ZlibReader::State state = ZlibReader::State::NeedInput;
    while (state == ZlibReader::State::NeedInput) {
        const ssize_t n = ::read(file.get(), piece.data(), piece.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwCannotOpen(fullPath, errno);
        }
        state = n == 0 ? reader.finish() : reader.feed({piece.data(), static_cast<std::size_t>(n)});
    }
    return state == ZlibReader::State::Complete;
}

// The record and the directory of a whole content, once every length byte is within its
// field: a length past its field's maximum means a damaged or foreign file.
void takeContent(const Content& content, SettingsRecord& record, UserDirectory& users)
{
    SettingsRecord newRecord;
    UserDirectory newUsers;
    std::memcpy(&newRecord, content.data(), sizeof newRecord);
    std::memcpy(&newUsers, content.data() + sizeof newRecord, sizeof newUsers);
    if (!stringLengthsValid(newRecord) || !stringLengthsValid(newUsers))
        throw SettingsFileContentError();
    record = newRecord;
    users = newUsers;
}

}  // namespace

SettingsFileContentError::SettingsFileContentError() : SettingsFileError(kContentError)
{
}

std::vector<std::uint8_t> settingsFileBytes(const SettingsRecord& record,
                                            const UserDirectory& users)
{
    Content content;
    std::memcpy(content.data(), &record, sizeof record);
    std::memcpy(content.data() + sizeof record, &users, sizeof users);

    std::vector<std::uint8_t> stream;
    if (!zlibCompress(content, stream))
        throw SettingsFileError(kContentError);
    return stream;
}

void SaveSettingsFile(const SettingsRecord& record, const UserDirectory& users,
                      const QString& fileName)
{
    const QString fullPath = QFileInfo(fileName).absoluteFilePath();
    const std::vector<std::uint8_t> stream = settingsFileBytes(record, users);
    try {
        replaceFileContent(QFile::encodeName(fullPath).toStdString(), stream);
    } catch (const std::system_error& e) {
        throwCannotCreate(fullPath, e.code().value());
    }
}

void LoadSettingsFile(const QString& fileName, SettingsRecord& record, UserDirectory& users)
{
    const QString fullPath = QFileInfo(fileName).absoluteFilePath();
    Content content;
    if (!readContent(fullPath, content))
        throw SettingsFileContentError();
    takeContent(content, record, users);
}

void settingsFromFileBytes(std::span<const std::uint8_t> bytes, SettingsRecord& record,
                           UserDirectory& users)
{
    Content content;
    ZlibReader reader(content);
    ZlibReader::State state = reader.feed(bytes);
    if (state == ZlibReader::State::NeedInput)
        state = reader.finish();
    if (state != ZlibReader::State::Complete)
        throw SettingsFileContentError();
    takeContent(content, record, users);
}

}  // namespace tarnik

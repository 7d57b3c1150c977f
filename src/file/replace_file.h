#pragma once

// Writing a file so that it is either wholly replaced or left as it was.

#include <cstdint>
#include <span>
#include <string>
#include <system_error>

namespace tarnik {

// Who may read a file that a write creates (an existing file keeps its own mode).
enum class NewFileAccess {
    Usual,      // 0666 less the umask, as any program creates a file
    OwnerOnly,  // 0600: the file holds codes or numbers in clear
};

// An existing file without write permission, which a replacement would have put aside
// all the same (a rename needs only the folder's permission). The code is EACCES.
class ReadOnlyFileError : public std::system_error {
public:
    ReadOnlyFileError();
};

// Writes `content` to a new file beside `path`, flushes it to disk and renames
// it over `path`. On failure the temporary file is removed, anything at `path`
// is untouched, and std::system_error carries the errno. A path that names a
// directory fails with EISDIR. A symbolic link is followed: its target is replaced,
// or made when the link dangles, and the link stays. An existing file that may not be
// written is left as it is (ReadOnlyFileError): by its mode bits for the superuser, who
// passes every permission check, by the permission check for anyone else.
void replaceFileContent(const std::string& path, std::span<const std::uint8_t> content,
                        NewFileAccess access = NewFileAccess::Usual);

// Writes `content` as a command's output. A path that exists and is neither a regular file
// nor a directory (a character device, a FIFO, or a link to one) is opened and written
// through: the node stays what it is. Anything else is replaced as by replaceFileContent.
// Failures throw std::system_error as there.
void writeOutputFile(const std::string& path, std::span<const std::uint8_t> content,
                     NewFileAccess access = NewFileAccess::Usual);

}  // namespace tarnik

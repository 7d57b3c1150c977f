#pragma once

// Writing a file so that it is either wholly replaced or left as it was.

#include <cstdint>
#include <span>
#include <string>

namespace tarnik {

// Writes `content` to a new file beside `path`, flushes it to disk and renames
// it over `path`. On failure the temporary file is removed, anything at `path`
// is untouched, and std::system_error carries the errno. A path that names a
// directory fails with EISDIR. A symbolic link is followed: its target is replaced.
void replaceFileContent(const std::string& path, std::span<const std::uint8_t> content);

// Writes `content` as a command's output. A path that exists and is neither a regular file
// nor a directory (a character device, a FIFO, or a link to one) is opened and written
// through: the node stays what it is. Anything else is replaced as by replaceFileContent.
// Failures throw std::system_error as there.
void writeOutputFile(const std::string& path, std::span<const std::uint8_t> content);

}  // namespace tarnik

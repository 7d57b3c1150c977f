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

}  // namespace tarnik

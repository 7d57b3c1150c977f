#pragma once

// Opening a file the tools read (a settings file, a JSON document): a FIFO, a device or
// a folder given by mistake is refused at once instead of holding the program (a FIFO
// without a writer blocks an open, a device such as /dev/zero never ends a read).

#include <cstddef>
#include <stdexcept>
#include <string>

#include "posix/unique_fd.h"

namespace tarnik {

// A file that exists but cannot be read as a document: not a regular file, or too
// large. what() is the Polish message, naming the file.
class InputFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opens `path` for reading. Only a regular file (a link to one included) is opened: its
// type is looked at before the open, and checked again on the opened descriptor (the
// open never blocks: O_NONBLOCK, and never makes a terminal the controlling one).
// Throws InputFileError for any other kind of file and std::system_error carrying the
// errno when the file cannot be opened at all.
UniqueFd openInputFile(const std::string& path);

// The whole content of the regular file `path`, opened as by openInputFile. A file of
// more than `maxBytes` is refused (InputFileError) before it is read whole, also one that
// grows while it is read. A read error throws std::system_error.
std::string readInputFile(const std::string& path, std::size_t maxBytes);

}  // namespace tarnik

#pragma once

// A file descriptor that closes itself. Move-only; an empty one holds -1.
//
// close() reports the result of ::close for the callers that must know whether buffered
// data reached the file (a settings save); the destructor closes silently.

#include <unistd.h>

#include <utility>

namespace tarnik {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) { }
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) { }
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without closing.
    int release() { return std::exchange(fd_, -1); }

    // Closes the held descriptor (if any) and takes fd.
    void reset(int fd = -1)
    {
        const int old = std::exchange(fd_, fd);
        if (old >= 0)
            ::close(old);
    }

    // Closes now and returns ::close's result (0 when nothing was held).
    int close()
    {
        const int old = release();
        return old >= 0 ? ::close(old) : 0;
    }

private:
    int fd_ = -1;
};

}  // namespace tarnik

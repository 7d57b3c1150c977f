#pragma once

// A wire trace kept in memory, as a trace file would hold it (without the header), for
// tests that look at what a trace shows.

#include <mutex>
#include <string>
#include <string_view>

#include "serial/trace.h"

namespace tarnik::test {

class MemoryTraceSink : public TraceSink {
public:
    std::string Text()
    {
        std::lock_guard lock(mutex_);
        return text_;
    }

protected:
    void TraceLine(std::string_view, const std::string& line) noexcept override
    {
        try {
            std::lock_guard lock(mutex_);
            text_.append(line).append(1, '\n');
        } catch (...) {
        }
    }

private:
    std::mutex mutex_;
    std::string text_;
};

}  // namespace tarnik::test

#pragma once

// The information list's rule, shared by every host of the link engine: before a line
// is added the oldest line goes when 7 or more are shown, one line per addition; the
// serial-number line is the one line added without that trimming.

#include <cstddef>
#include <string>
#include <vector>

namespace tarnik {

class InfoList {
public:
    // Lines kept before an addition that trims; one more makes the limit of 7.
    static constexpr std::size_t kTrimAbove = 6;

    // TrimInfoList: deletes the first line when more than 6 are held. Returns whether
    // a line was deleted (a host mirroring the list in a widget deletes its first row then).
    bool trim();

    // Appends a line, after trim() when `trimFirst` is set; returns the new line's index.
    int add(std::string line, bool trimFirst = true);

    // Replaces the line at `index`; an index that no longer names a line is ignored.
    void replace(int index, std::string line);

    const std::vector<std::string>& lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    void clear() { lines_.clear(); }

private:
    std::vector<std::string> lines_;
};

}  // namespace tarnik

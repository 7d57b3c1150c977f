#include "link/info_list.h"

#include <utility>

namespace tarnik {

bool InfoList::trim()
{
    if (lines_.size() <= kTrimAbove)
        return false;
    lines_.erase(lines_.begin());
    return true;
}

int InfoList::add(std::string line, bool trimFirst)
{
    if (trimFirst)
        trim();
    lines_.push_back(std::move(line));
    return static_cast<int>(lines_.size()) - 1;
}

void InfoList::replace(int index, std::string line)
{
    if (index < 0 || static_cast<std::size_t>(index) >= lines_.size())
        return;
    lines_[static_cast<std::size_t>(index)] = std::move(line);
}

}  // namespace tarnik

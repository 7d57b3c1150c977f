#pragma once

// How every line a person reads shows the bytes that would break or steer it: the wire
// trace, the comparisons, the refusals of an import, the check, the overview, the report
// and the command line's tab-separated lines all share this one rule.

#include <string>
#include <string_view>

namespace tarnik {

// Line breaks, tabs and other control characters as \n, \r, \t and \xHH (DEL too), so that
// a text takes one line and cannot add a column or steer a terminal.
std::string escapeControlCharacters(std::string_view text);

}  // namespace tarnik

#pragma once

// Every text of the module, the records and the settings file is 8-bit text in
// the Windows code page 1250.

#include <QString>
#include <string>
#include <string_view>

namespace tarnik {

// One byte per character; a character the code page lacks becomes '?'.
std::string toCp1250(const QString& text);

// Every byte gives one character (bytes the code page leaves undefined give the
// control character of the same number).
QString fromCp1250(std::string_view bytes);

}  // namespace tarnik

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

// A record's text (code page 1250) as UTF-8 for a line a person reads: line breaks,
// tabs and other control characters as \n, \r, \t and \xHH, escaped as the wire
// trace escapes them, so that no byte of a record can break or steer a line.
std::string readableText(std::string_view cp1250);

}  // namespace tarnik

#pragma once

// The readable form of a configuration: the values the settings program (the
// effective record), a JSON document of every setting of the
// catalogue, texts in UTF-8, keys in page order and one setting a line, so that two
// exports compare line by line under version control.

#include <QByteArray>
#include <cstddef>
#include <stdexcept>

#include "model/settings_record.h"

namespace tarnik {

inline constexpr const char* kSettingsJsonFormat = "tarnik-settings";
inline constexpr int kSettingsJsonVersion = 1;
// The largest document an import reads: an export is about 12 KiB, so a larger file is
// something else, and is refused before it is read whole.
inline constexpr std::size_t kSettingsJsonMaxBytes = 1024 * 1024;

// what() lists every fault, one a line: "wiersz 12: callingTimer: wartość 250 poza
// zakresem 1..240", in UTF-8; a syntax error names its line and column.
class SettingsJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QByteArray exportSettingsJson(const SettingsRecord& record, const UserDirectory& users);

// Builds both records from a document: every setting of the catalogue must be there
// once, nothing else, each value one the window can hold (numbers within their
// controls' ranges, option bits with a check box, codes and texts their edits take).
// Fields no setting covers (the spare bytes) are 0. Throws SettingsJsonError listing
// every fault; `record` and `users` are then untouched.
void importSettingsJson(const QByteArray& json, SettingsRecord& record, UserDirectory& users);

}  // namespace tarnik

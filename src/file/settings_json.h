#pragma once

// The readable form of a configuration: a JSON document of every setting of the
// catalogue, texts in UTF-8, keys in page order and one setting a line, so that two
// exports compare line by line under version control.

#include <QByteArray>
#include <stdexcept>

#include "model/settings_record.h"

namespace tarnik {

inline constexpr const char* kSettingsJsonFormat = "tarnik-settings";
inline constexpr int kSettingsJsonVersion = 1;

// what() names the key and the reason, in UTF-8.
class SettingsJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QByteArray ExportSettingsJson(const SettingsRecord& record, const UserDirectory& users);

// Builds both records from a document: every setting of the catalogue must be there,
// nothing else, each value of its kind and within its limits. Fields no setting covers
// (the spare bytes) are 0. Throws SettingsJsonError at the first fault; `record` and
// `users` are then untouched.
void ImportSettingsJson(const QByteArray& json, SettingsRecord& record, UserDirectory& users);

}  // namespace tarnik

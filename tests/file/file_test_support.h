#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/settings_record.h"

namespace tarnik::test {

using Bytes = std::vector<std::uint8_t>;

// Random bytes everywhere, spare bytes and bytes past each length included,
// with every length byte within its field's maximum.
struct Settings {
    SettingsRecord record;
    UserDirectory users;
};
Settings randomSettings(std::mt19937& random);

// Record then directory, as the file's content holds them.
Bytes contentOf(const SettingsRecord& record, const UserDirectory& users);

Bytes readBytes(const QString& path);
void writeBytes(const QString& path, const Bytes& bytes);
void writeText(const QString& path, const std::string& text);

// Runs python3 with `script` and `args`; fails the test if it does not exit 0.
void runPython(const std::string& script, const QStringList& args);

// The file names directly inside `dir`, hidden ones included.
QStringList entriesOf(const QString& dir);

}  // namespace tarnik::test

// The JSON import on arbitrary text. Either the document is refused, every line of the
// refusal naming a line of the document (and the records keep every byte), or the
// records it gives export to a document that imports back to the very same records
// and exports to the same bytes again.

#include <QByteArray>

#include <cstring>
#include <string>

#include "file/settings_json.h"
#include "fuzz_checks.h"

namespace tarnik::fuzz {
namespace {

bool startsWith(const std::string& text, std::size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// Each line of a refusal says where: "wiersz N: key: ..." or a syntax error's
// "błąd składni JSON w wierszu N, kolumnie M: ...".
bool namesItsPlace(const std::string& refusal)
{
    if (refusal.empty())
        return false;
    std::size_t at = 0;
    while (at <= refusal.size()) {
        if (!startsWith(refusal, at, "wiersz ") &&
            !startsWith(refusal, at, "błąd składni JSON w wierszu "))
            return false;
        const std::size_t end = refusal.find('\n', at);
        if (end == std::string::npos)
            return true;
        at = end + 1;
    }
    return true;
}

void run(const std::uint8_t* data, std::size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Guarded<SettingsRecord> record;
    Guarded<UserDirectory> users;
    std::memset(&record.value, 0x3C, sizeof record.value);
    std::memset(&users.value, 0x4D, sizeof users.value);
    const SettingsRecord recordBefore = record.value;
    const UserDirectory usersBefore = users.value;
    try {
        importSettingsJson(json, record.value, users.value);
    } catch (const SettingsJsonError& e) {
        require(record.intact() && users.intact(), "write outside the records");
        require(namesItsPlace(e.what()), "refusal that names no line");
        require(std::memcmp(&recordBefore, &record.value, sizeof recordBefore) == 0,
                "refused document changed the record");
        require(std::memcmp(&usersBefore, &users.value, sizeof usersBefore) == 0,
                "refused document changed the users");
        return;
    }
    require(record.intact() && users.intact(), "write outside the records");
    require(lengthsWithinFields(record.value) && lengthsWithinFields(users.value),
            "imported a length byte past its field");

    const QByteArray exported = exportSettingsJson(record.value, users.value);
    SettingsRecord back{};
    UserDirectory usersBack{};
    try {
        importSettingsJson(exported, back, usersBack);
    } catch (const SettingsJsonError&) {
        fail("an export of imported settings is refused");
    }
    require(std::memcmp(&back, &record.value, sizeof back) == 0,
            "the export imports back to another record");
    require(std::memcmp(&usersBack, &users.value, sizeof usersBack) == 0,
            "the export imports back to other users");
    require(exportSettingsJson(back, usersBack) == exported, "a second export differs");
}

}  // namespace
}  // namespace tarnik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarnik::fuzz::run(data, size);
    return 0;
}

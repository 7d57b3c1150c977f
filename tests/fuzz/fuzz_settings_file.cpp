// The settings-file reader on arbitrary files. Built twice:
//  - as given: the input is the file's bytes;
//  - with TARNIK_FUZZ_COMPRESS: the input is the content, compressed into a valid zlib
//    stream first, so the fuzzer reaches past zlib's own check.
// Either the file is refused and both records keep every byte, or the records take the
// content and every length byte lies within its field.

#include <QString>

#include <array>
#include <cstring>
#include <span>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "file/settings_file.h"
#include "file/zlib_stream.h"
#include "fuzz_checks.h"

namespace tarnik::fuzz {
namespace {

// One in-memory file for every run, reached through /proc so the reader opens it by
// name like any other file.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("settings.zvn", 0))
    {
        require(fd_ >= 0, "memfd_create");
        name_ = QString("/proc/self/fd/%1").arg(fd_);
    }
    void set(std::span<const std::uint8_t> bytes)
    {
        require(::ftruncate(fd_, 0) == 0, "ftruncate");
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            require(n > 0, "pwrite");
            done += static_cast<std::size_t>(n);
        }
    }
    const QString& name() const { return name_; }

private:
    int fd_;
    QString name_;
};

void run(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    std::vector<std::uint8_t> fileBytes(data, data + size);
#ifdef TARNIK_FUZZ_COMPRESS
    require(zlibCompress(std::span<const std::uint8_t>(data, size), fileBytes),
            "zlibCompress failed");
#endif
    file.set(fileBytes);

    Guarded<SettingsRecord> record;
    Guarded<UserDirectory> users;
    std::memset(&record.value, 0x3C, sizeof record.value);
    std::memset(&users.value, 0x4D, sizeof users.value);
    const SettingsRecord recordBefore = record.value;
    const UserDirectory usersBefore = users.value;

    bool loaded = true;
    try {
        LoadSettingsFile(file.name(), record.value, users.value);
    } catch (const SettingsFileError& e) {
        loaded = false;
        require(std::strcmp(e.what(), "Error") == 0, "refusal with an unexpected message");
    }
    require(record.intact() && users.intact(), "write outside the records");

    if (!loaded) {
        require(std::memcmp(&recordBefore, &record.value, sizeof recordBefore) == 0,
                "refused file changed the record");
        require(std::memcmp(&usersBefore, &users.value, sizeof usersBefore) == 0,
                "refused file changed the users");
    } else {
        require(lengthsWithinFields(record.value) && lengthsWithinFields(users.value),
                "loaded a length byte past its field");
    }

#ifdef TARNIK_FUZZ_COMPRESS
    // The content is known here: a long enough sound content opens and is taken byte
    // for byte (extra bytes ignored); anything shorter is refused.
    SettingsRecord expectRecord;
    UserDirectory expectUsers;
    const bool longEnough = size >= kSettingsFileContentSize;
    if (longEnough) {
        std::memcpy(&expectRecord, data, sizeof expectRecord);
        std::memcpy(&expectUsers, data + sizeof expectRecord, sizeof expectUsers);
    }
    const bool sound =
        longEnough && lengthsWithinFields(expectRecord) && lengthsWithinFields(expectUsers);
    require(loaded == sound, "sound content refused, or unsound content taken", size);
    if (loaded) {
        require(std::memcmp(&expectRecord, &record.value, sizeof expectRecord) == 0,
                "record differs from the content");
        require(std::memcmp(&expectUsers, &users.value, sizeof expectUsers) == 0,
                "users differ from the content");
    }
#endif
}

}  // namespace
}  // namespace tarnik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarnik::fuzz::run(data, size);
    return 0;
}

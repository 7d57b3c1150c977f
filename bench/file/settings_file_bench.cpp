// Time to save and to open a settings file with realistic content: start-up
// settings, every text filled, names and notes written; and the time the JSON import
// takes to refuse a document of 300,000 unknown keys (each key looked up once, repeated
// keys found by hashing).

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "file/settings_file.h"
#include "file/settings_json.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

struct Sample {
    SettingsRecord record = startupSettings();
    UserDirectory users{};
    Sample()
    {
        for (int u = 0; u < kUsers; ++u) {
            record.nrUser[u].assign("+4860012345" + std::to_string(u));
            users.entries[u].osoba.assign("Użytkownik " + std::to_string(u + 1));
            users.entries[u].uwagi.assign(std::string(200, static_cast<char>('a' + u)));
        }
        for (auto& row : record.smsWeRe)
            for (auto& text : row)
                text.assign("Alarm: wejscie naruszone, sprawdz!");
    }
};

void BM_SaveSettingsFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const Sample sample;
    const QString path = dir.filePath("bench.zvn");
    for (auto _ : state)
        SaveSettingsFile(sample.record, sample.users, path);
}
BENCHMARK(BM_SaveSettingsFile)->Unit(benchmark::kMicrosecond);

void BM_LoadSettingsFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const Sample sample;
    const QString path = dir.filePath("bench.zvn");
    SaveSettingsFile(sample.record, sample.users, path);
    SettingsRecord record;
    UserDirectory users;
    for (auto _ : state) {
        LoadSettingsFile(path, record, users);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_LoadSettingsFile)->Unit(benchmark::kMicrosecond);

void BM_ImportRefusesManyUnknownKeys(benchmark::State& state)
{
    const QByteArray exported = exportSettingsJson(startupSettings(), {});
    QByteArray members;
    for (int i = 0; i < 300000; ++i)
        members += "\"k" + QByteArray::number(i) + "\": 0,\n";
    QByteArray document = exported;
    document.replace("\"settings\": {\n", "\"settings\": {\n" + members);
    for (auto _ : state) {
        SettingsRecord record{};
        UserDirectory users{};
        try {
            importSettingsJson(document, record, users);
            state.SkipWithError("the document was taken");
        } catch (const SettingsJsonError& e) {
            benchmark::DoNotOptimize(e.what());
        }
    }
}
BENCHMARK(BM_ImportRefusesManyUnknownKeys)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnik

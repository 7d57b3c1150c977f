#include "file_test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstring>
#include <gtest/gtest.h>

namespace tarnik::test {

namespace {
template <std::size_t N>
void randomLength(ShortString<N>& s, std::mt19937& random)
{
    s.len = static_cast<std::uint8_t>(random() % (N + 1));
}
}  // namespace

Settings randomSettings(std::mt19937& random)
{
    Settings s;
    auto fill = [&random](void* p, std::size_t n) {
        auto* b = static_cast<std::uint8_t*>(p);
        for (std::size_t i = 0; i < n; ++i)
            b[i] = static_cast<std::uint8_t>(random() & 0xFF);
    };
    fill(&s.record, sizeof s.record);
    fill(&s.users, sizeof s.users);
    SettingsRecord& r = s.record;
    randomLength(r.pinMod, random);
    randomLength(r.pin, random);
    randomLength(r.csms, random);
    for (auto& n : r.nrUser)
        randomLength(n, random);
    for (auto& row : r.smsWeRe)
        for (auto& t : row)
            randomLength(t, random);
    for (auto& row : r.smsSpecWeRe)
        for (auto& t : row)
            randomLength(t, random);
    for (auto& e : s.users.entries) {
        randomLength(e.osoba, random);
        randomLength(e.uwagi, random);
    }
    return s;
}

Bytes contentOf(const SettingsRecord& record, const UserDirectory& users)
{
    Bytes content(sizeof record + sizeof users);
    std::memcpy(content.data(), &record, sizeof record);
    std::memcpy(content.data() + sizeof record, &users, sizeof users);
    return content;
}

Bytes readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    const QByteArray data = f.readAll();
    return Bytes(data.begin(), data.end());
}

void writeBytes(const QString& path, const Bytes& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())),
        static_cast<qint64>(bytes.size()));
}

void writeText(const QString& path, const std::string& text)
{
    writeBytes(path, Bytes(text.begin(), text.end()));
}

void runPython(const std::string& script, const QStringList& args)
{
    QProcess python;
    python.start("python3", QStringList{"-c", QString::fromStdString(script)} + args);
    ASSERT_TRUE(python.waitForFinished(30000))
        << "python3 did not run: " << python.errorString().toStdString();
    ASSERT_EQ(python.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

}  // namespace tarnik::test

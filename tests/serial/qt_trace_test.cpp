// The Qt side of the wire trace: categories per layer, the trace file with its header,
// the newest lines, and a trace file that cannot be written.

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "serial/qt/qt_trace.h"

namespace tarnik {
namespace {

std::vector<std::pair<std::string, std::string>> logged;  // category, message

void recordMessage(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    logged.emplace_back(context.category, message.toStdString());
}

// The text after the time.
std::string afterTime(const std::string& line)
{
    return line.substr(line.find_first_not_of("0123456789 ") - 0);
}

TEST(QtTrace, EachLayerHasItsCategoryOffUntilTheRulesTurnItOn)
{
    QtTraceSink sink;
    logged.clear();
    const auto previous = qInstallMessageHandler(recordMessage);
    sink.Trace("", trace_tag::kSent, "2A");
    EXPECT_TRUE(logged.empty()) << "debug output is off by default";

    QLoggingCategory::setFilterRules(QStringLiteral("tarnik.*.debug=true"));
    sink.Trace("", trace_tag::kSent, "2A");
    sink.Trace("", trace_tag::kLink, "programming requested");
    // With ports named, the tag is no longer where it was: the category still follows it.
    sink.SetNamePorts(true);
    sink.Trace("ttyUSB1", trace_tag::kLink, "read-back requested");
    sink.Trace("ttyUSB1", trace_tag::kSent, "2A");
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);

    ASSERT_EQ(logged.size(), 4u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"tarnik.serial", "TX    2A"},
        {"tarnik.link", "LINK  programming requested"},
        {"tarnik.link", "ttyUSB1 LINK  read-back requested"},
        {"tarnik.serial", "ttyUSB1 TX    2A"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(logged[i].first, expected[i].first) << i;
        EXPECT_EQ(afterTime(logged[i].second), expected[i].second) << i;
    }
}

QList<QByteArray> linesOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_TRUE(lines.back().isEmpty()) << "the last line ends";
    lines.removeLast();
    return lines;
}

TEST(QtTrace, TheFileGetsTheHeaderAndEveryLineAndTheMemoryKeepsTheNewestThousand)
{
    QTemporaryDir dir;
    const QString tracePath = dir.filePath("trace.txt");
    QtTraceSink sink;
    sink.setHeader({"# Tarnik wire trace", "# program: tarnik 1.1"});
    QString error;
    ASSERT_TRUE(sink.writeTo(tracePath, &error)) << error.toStdString();
    for (int i = 0; i < 1005; ++i)
        sink.Trace("", trace_tag::kReceived, std::to_string(i));

    const QList<QByteArray> fileLines = linesOf(tracePath);
    ASSERT_EQ(fileLines.size(), 1007);
    EXPECT_EQ(fileLines[0], "# Tarnik wire trace");
    EXPECT_EQ(fileLines[1], "# program: tarnik 1.1");
    EXPECT_EQ(afterTime(fileLines[2].toStdString()), "RX    0");

    const QStringList kept = sink.keptLines();
    ASSERT_EQ(kept.size(), QtTraceSink::kKeptLines);
    EXPECT_EQ(afterTime(kept.front().toStdString()), "RX    5");
    EXPECT_EQ(afterTime(kept.back().toStdString()), "RX    1004");

    // A saved copy opens with the same header.
    const QString savedPath = dir.filePath("saved.txt");
    ASSERT_TRUE(sink.saveKeptLines(savedPath, &error)) << error.toStdString();
    const QList<QByteArray> saved = linesOf(savedPath);
    ASSERT_EQ(saved.size(), QtTraceSink::kKeptLines + 2);
    EXPECT_EQ(saved[0], "# Tarnik wire trace");
    EXPECT_EQ(saved[2].toStdString(), kept.front().toStdString());

    EXPECT_FALSE(sink.saveKeptLines(dir.filePath("no/such/folder/x.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QtTraceSink().writeTo(dir.filePath("no/such/folder/t.txt"), &error));
}

// A full disk: the failure is told once, the file is given up, the other outlets go on.
TEST(QtTrace, AFileThatCannotBeWrittenIsReportedOnceAndGivenUp)
{
    for (const bool withHeader : {true, false}) {
        SCOPED_TRACE(withHeader ? "the header fails" : "a line fails");
        QtTraceSink sink;
        if (withHeader)
            sink.setHeader({"# Tarnik wire trace"});
        QStringList reports;
        sink.setWriteErrorHandler([&](const QString& message) { reports << message; });
        QString error;
        ASSERT_TRUE(sink.writeTo(QStringLiteral("/dev/full"), &error)) << error.toStdString();
        EXPECT_EQ(reports.size(), withHeader ? 1 : 0);
        for (int i = 0; i < 3; ++i)
            sink.Trace("", trace_tag::kSent, "2A");
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].startsWith("/dev/full: ")) << reports[0].toStdString();
        EXPECT_GT(reports[0].size(), QStringLiteral("/dev/full: ").size()) << "the system's reason";
        EXPECT_EQ(sink.keptLines().size(), 3);
    }
}

}  // namespace
}  // namespace tarnik

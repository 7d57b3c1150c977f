// The Qt side of the wire trace: categories per layer, the trace file, the newest lines.

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

void Record(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    logged.emplace_back(context.category, message.toStdString());
}

std::string Line(int micros, std::string_view tag, const std::string& text)
{
    return FormatTraceLine(micros, tag, text);
}

TEST(QtTrace, EachLayerHasItsCategoryOffUntilTheRulesTurnItOn)
{
    QtTraceSink sink;
    logged.clear();
    const auto previous = qInstallMessageHandler(Record);
    sink.TraceLine(Line(1, trace_tag::kSent, "2A"));
    EXPECT_TRUE(logged.empty()) << "debug output is off by default";

    QLoggingCategory::setFilterRules(QStringLiteral("tarnik.*.debug=true"));
    sink.TraceLine(Line(2, trace_tag::kSent, "2A"));
    sink.TraceLine(Line(3, trace_tag::kLink, "programming requested"));
    // Past 1000 s since the open the time is wider than its column.
    sink.TraceLine(FormatTraceLine(1'234'567'890LL, trace_tag::kLink, "read-back requested"));
    sink.TraceLine(FormatTraceLine(1'234'567'891LL, trace_tag::kSent, "2A"));
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);

    ASSERT_EQ(logged.size(), 4u);
    EXPECT_EQ(logged[2].first, "tarnik.link");
    EXPECT_EQ(logged[3].first, "tarnik.serial");
    EXPECT_EQ(logged[0], std::make_pair(std::string("tarnik.serial"), Line(2, "TX", "2A")));
    EXPECT_EQ(logged[1],
              std::make_pair(std::string("tarnik.link"), Line(3, "LINK", "programming requested")));
}

TEST(QtTrace, TheFileGetsEveryLineAndTheMemoryKeepsTheNewestThousand)
{
    QTemporaryDir dir;
    const QString tracePath = dir.filePath("trace.txt");
    QtTraceSink sink;
    QString error;
    ASSERT_TRUE(sink.writeTo(tracePath, &error)) << error.toStdString();
    for (int i = 0; i < 1005; ++i)
        sink.TraceLine(Line(i, trace_tag::kReceived, std::to_string(i)));

    QFile file(tracePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> fileLines = file.readAll().split('\n');
    ASSERT_EQ(fileLines.size(), 1006);  // and the empty text after the last line end
    EXPECT_EQ(fileLines[0].toStdString(), Line(0, "RX", "0"));

    const QStringList kept = sink.keptLines();
    ASSERT_EQ(kept.size(), QtTraceSink::kKeptLines);
    EXPECT_EQ(kept.front().toStdString(), Line(5, "RX", "5"));
    EXPECT_EQ(kept.back().toStdString(), Line(1004, "RX", "1004"));

    const QString savedPath = dir.filePath("saved.txt");
    ASSERT_TRUE(sink.saveKeptLines(savedPath, &error)) << error.toStdString();
    QFile saved(savedPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().count('\n'), QtTraceSink::kKeptLines);

    EXPECT_FALSE(sink.saveKeptLines(dir.filePath("no/such/folder/x.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QtTraceSink().writeTo(dir.filePath("no/such/folder/t.txt"), &error));
}

}  // namespace
}  // namespace tarnik

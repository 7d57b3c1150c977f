#pragma once

// The wire trace on the Qt side: each line goes to the logging category of its layer
// ("tarnik.link" for the module link's lines, "tarnik.serial" for the rest; debug level,
// off unless QT_LOGGING_RULES turns it on), to a trace file when one is given, and to a
// memory of the newest lines that the window can save for support.

#include <QFile>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "serial/qt/log_categories.h"
#include "serial/trace.h"

namespace tarnik {

class QtTraceSink : public TraceSink {
public:
    static constexpr int kKeptLines = 1000;

    // Lines that open the trace file and every saved copy of the newest lines.
    void setHeader(const QStringList& lines);
    // Called once, with the file's name and the system's error, when the trace file
    // cannot be written any more; the file is then given up (the other outlets go on).
    // Called on the thread of the line that failed.
    void setWriteErrorHandler(std::function<void(const QString& message)> handler);

    // Also writes every line to `path` (replacing the file) after the header, flushed
    // line by line so that a crash keeps what came before. False, with `error` set, when
    // the file cannot be made; a failure to write it, the header included, goes to the
    // write-error handler instead.
    bool writeTo(const QString& path, QString* error);

    // The newest lines, oldest first (at most kKeptLines).
    QStringList keptLines() const;
    // Saves the header and keptLines() to `path`; false, with `error` set, when it cannot
    // be written.
    bool saveKeptLines(const QString& path, QString* error) const;

protected:
    void TraceLine(std::string_view tag, const std::string& line) noexcept override;

private:
    // Writes one line to the file; on failure reports it and gives the file up.
    // Called with mutex_ held.
    void writeLine(const QByteArray& line);

    mutable std::mutex mutex_;
    QStringList header_;
    std::deque<QString> kept_;
    std::unique_ptr<QFile> file_;
    std::function<void(const QString&)> onWriteError_;
};

// Makes a QtTraceSink the default for ports created from now on and returns it.
std::shared_ptr<QtTraceSink> installQtTrace();

}  // namespace tarnik

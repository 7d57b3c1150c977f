#pragma once

// The wire trace on the Qt side: each line goes to the logging category of its layer
// ("tarnik.link" for the module link's lines, "tarnik.serial" for the rest; debug level,
// off unless QT_LOGGING_RULES turns it on), to a trace file when one is given, and to a
// memory of the newest lines that the window can save for support.

#include <QFile>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <mutex>

#include "serial/qt/log_categories.h"
#include "serial/trace.h"

namespace tarnik {

class QtTraceSink : public TraceSink {
public:
    static constexpr int kKeptLines = 1000;

    // Also writes every line to `path` (replacing the file), flushed line by line so that
    // a crash keeps what came before. False, with `error` set, when it cannot be made.
    bool writeTo(const QString& path, QString* error);

    void TraceLine(const std::string& line) noexcept override;

    // The newest lines, oldest first (at most kKeptLines).
    QStringList keptLines() const;
    // Saves keptLines() to `path`; false, with `error` set, when it cannot be written.
    bool saveKeptLines(const QString& path, QString* error) const;

private:
    mutable std::mutex mutex_;
    std::deque<QString> kept_;
    std::unique_ptr<QFile> file_;
};

// Makes a QtTraceSink the default for ports created from now on and returns it.
std::shared_ptr<QtTraceSink> InstallQtTrace();

}  // namespace tarnik

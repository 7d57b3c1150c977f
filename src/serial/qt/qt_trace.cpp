#include "serial/qt/qt_trace.h"

#include <QSaveFile>

namespace tarnik {

namespace {

// The tag sits after the 9-digit time and a blank.
// The tag follows the time, which is right-aligned but grows past its width after
// 1000 s: skip the blanks, the digits and the one blank after them.
bool IsLinkLine(const std::string& line)
{
    const auto timeStart = line.find_first_not_of(' ');
    if (timeStart == std::string::npos)
        return false;
    const auto timeEnd = line.find(' ', timeStart);
    if (timeEnd == std::string::npos)
        return false;
    return line.compare(timeEnd + 1, trace_tag::kLink.size(), trace_tag::kLink) == 0;
}

}  // namespace

bool QtTraceSink::writeTo(const QString& path, QString* error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = file->errorString();
        return false;
    }
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    return true;
}

void QtTraceSink::TraceLine(const std::string& line) noexcept
{
    try {
        const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        if (IsLinkLine(line))
            qCDebug(lcTarnikLink).noquote() << text;
        else
            qCDebug(lcTarnikSerial).noquote() << text;
        std::lock_guard lock(mutex_);
        kept_.push_back(text);
        while (kept_.size() > static_cast<std::size_t>(kKeptLines))
            kept_.pop_front();
        if (file_) {
            file_->write(line.data(), static_cast<qint64>(line.size()));
            file_->write("\n", 1);
            file_->flush();
        }
    } catch (...) {
        // Out of memory: the trace loses this line.
    }
}

QStringList QtTraceSink::keptLines() const
{
    std::lock_guard lock(mutex_);
    return QStringList(kept_.begin(), kept_.end());
}

bool QtTraceSink::saveKeptLines(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        for (const QString& line : keptLines()) {
            file.write(line.toUtf8());
            file.write("\n", 1);
        }
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

std::shared_ptr<QtTraceSink> InstallQtTrace()
{
    auto sink = std::make_shared<QtTraceSink>();
    SetDefaultTraceSink(sink);
    return sink;
}

}  // namespace tarnik

#include "serial/qt/qt_trace.h"

#include <QSaveFile>

namespace tarnik {

void QtTraceSink::setHeader(const QStringList& lines)
{
    std::lock_guard lock(mutex_);
    header_ = lines;
}

void QtTraceSink::setWriteErrorHandler(std::function<void(const QString&)> handler)
{
    std::lock_guard lock(mutex_);
    onWriteError_ = std::move(handler);
}

bool QtTraceSink::writeTo(const QString& path, QString* error)
{
    auto file = std::make_unique<QFile>(path);
    // A trace with the codes in clear is made readable by its owner alone; an existing
    // file keeps its mode.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text;
    const bool opened = ShowsSecrets()
                            ? file->open(mode, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
                            : file->open(mode);
    if (!opened) {
        if (error)
            *error = file->errorString();
        return false;
    }
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    for (const QString& line : header_)
        writeLine(line.toUtf8());
    return true;
}

void QtTraceSink::writeLine(const QByteArray& line)
{
    if (!file_)
        return;
    if (file_->write(line) == line.size() && file_->write("\n", 1) == 1 && file_->flush())
        return;
    const QString message = QStringLiteral("%1: %2").arg(file_->fileName(), file_->errorString());
    file_.reset();
    if (onWriteError_) {
        try {
            onWriteError_(message);
        } catch (...) {
            // The report failed too; the trace file is given up all the same.
        }
    }
}

void QtTraceSink::TraceLine(std::string_view tag, const std::string& line) noexcept
{
    try {
        const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        if (tag == trace_tag::kLink)
            qCDebug(lcTarnikLink).noquote() << text;
        else
            qCDebug(lcTarnikSerial).noquote() << text;
        std::lock_guard lock(mutex_);
        kept_.push_back(text);
        while (kept_.size() > static_cast<std::size_t>(kKeptLines))
            kept_.pop_front();
        writeLine(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
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
    QStringList header;
    {
        std::lock_guard lock(mutex_);
        header = header_;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        for (const QString& line : header + keptLines()) {
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

std::shared_ptr<QtTraceSink> installQtTrace()
{
    auto sink = std::make_shared<QtTraceSink>();
    setDefaultTraceSink(sink);
    return sink;
}

}  // namespace tarnik

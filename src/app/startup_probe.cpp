#include "app/startup_probe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace tarnik {

namespace {

class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(QWidget& window, const QElapsedTimer& sinceStart)
        : QObject(&window), sinceStart_(sinceStart)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // Report after the paint has been completed.
            QTimer::singleShot(0, qApp, [this] {
                std::printf("startup_ms=%lld\npeak_rss_mb=%.1f\n",
                            static_cast<long long>(sinceStart_.elapsed()), peakResidentMegabytes());
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& sinceStart_;
    bool reported_ = false;
};

}  // namespace

void reportStartupWhenPainted(QWidget& window, const QElapsedTimer& sinceStart)
{
    window.installEventFilter(new FirstPaintWatcher(window, sinceStart));
}

double peakResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

}  // namespace tarnik

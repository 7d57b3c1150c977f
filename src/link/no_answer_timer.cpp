#include "link/no_answer_timer.h"

#include "serial/qt/log_categories.h"

#include <QTimer>

#include <exception>
#include <utility>

namespace tarnik {

NoAnswerTimer::NoAnswerTimer(std::function<void()> onTimeout, int intervalMs)
    : timer_(std::make_unique<QTimer>()), onTimeout_(std::move(onTimeout))
{
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(intervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { fire(); });
}

NoAnswerTimer::~NoAnswerTimer() = default;

void NoAnswerTimer::arm()
{
    if (!timer_->isActive())
        timer_->start();
}

void NoAnswerTimer::disarm()
{
    timer_->stop();
}

bool NoAnswerTimer::isArmed() const
{
    return timer_->isActive();
}

int NoAnswerTimer::intervalMs() const
{
    return timer_->interval();
}

void NoAnswerTimer::setIntervalMs(int ms)
{
    timer_->setInterval(ms);
}

int NoAnswerTimer::remainingMs() const
{
    return timer_->remainingTime();
}

void NoAnswerTimer::setOnTimeout(std::function<void()> onTimeout)
{
    onTimeout_ = std::move(onTimeout);
}

void NoAnswerTimer::setOnError(std::function<void(const std::exception&)> onError)
{
    onError_ = std::move(onError);
}

void NoAnswerTimer::fire()
{
    // Called from the Qt event loop: this is the boundary for the timeout's errors.
    try {
        if (onTimeout_)
            onTimeout_();
    } catch (const std::exception& e) {
        if (onError_) {
            try {
                onError_(e);
            } catch (...) {
                qCWarning(lcTarnikLink, "no-answer timeout: its error report failed: %s", e.what());
            }
        }
    } catch (...) {
        qCWarning(lcTarnikLink, "no-answer timeout failed with an unknown error");
    }
}

}  // namespace tarnik

#pragma once

// The module link's no-answer timer (the main window's Timer1): single-shot, 6000 ms.
// Arming a timer that already runs keeps its first deadline (QTimer::start would restart
// it); disarming and arming again starts a fresh period. Lives on the thread that
// creates it and must be armed from that thread.

#include <functional>
#include <memory>

class QTimer;

namespace tarnik {

class NoAnswerTimer {
public:
    static constexpr int kDefaultIntervalMs = 6000;

    // `onTimeout` runs on expiry, after the timer has stopped. An exception it throws is
    // passed to `onError` (or dropped when none is set); it never reaches the event loop.
    explicit NoAnswerTimer(std::function<void()> onTimeout, int intervalMs = kDefaultIntervalMs);
    ~NoAnswerTimer();
    NoAnswerTimer(const NoAnswerTimer&) = delete;
    NoAnswerTimer& operator=(const NoAnswerTimer&) = delete;

    void arm();     // starts a period only when not running
    void disarm();  // stops; nothing fires afterwards
    bool isArmed() const;

    int intervalMs() const;
    void setIntervalMs(int ms);  // takes effect at the next fresh period

    // Milliseconds left in the running period, -1 when not armed.
    int remainingMs() const;

    void setOnTimeout(std::function<void()> onTimeout);
    void setOnError(std::function<void(const std::exception&)> onError);

private:
    void fire();

    std::unique_ptr<QTimer> timer_;
    std::function<void()> onTimeout_;
    std::function<void(const std::exception&)> onError_;
};

}  // namespace tarnik

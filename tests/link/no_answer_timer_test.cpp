#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <stdexcept>

#include "event_loop.h"
#include "link/no_answer_timer.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::pumpFor;
using test::pumpUntil;

// Only a guard against a hang: every wait below ends with the event it waits for.
constexpr auto kHangGuard = 5s;

// A 200 ms timer that notes when it fired, counted from the first arming.
struct TimedTimer {
    int fired = 0;
    qint64 firedAt = -1;
    QElapsedTimer clock;
    NoAnswerTimer timer{[this] {
                            ++fired;
                            firedAt = clock.elapsed();
                        },
                        200};

    void armFirst()
    {
        clock.start();
        timer.arm();
    }
    bool waitForFiring()
    {
        return pumpUntil([&] { return fired == 1; }, kHangGuard);
    }
};

TEST(NoAnswerTimer, ArmingARunningTimerKeepsItsFirstDeadline)
{
    TimedTimer t;
    EXPECT_EQ(t.timer.intervalMs(), 200);
    t.armFirst();
    pumpFor(120ms);
    t.timer.arm();  // must not restart the period
    EXPECT_TRUE(t.timer.isArmed());
    // The timer's own deadline: at least 120 ms of the 200 are gone. A restarted period
    // would have about 200 ms left; a slow machine only leaves less.
    EXPECT_LE(t.timer.remainingMs(), 200 - 120 + 1) << "re-arming restarted the period";
    ASSERT_TRUE(t.waitForFiring());
    EXPECT_GE(t.firedAt, 195);
    EXPECT_FALSE(t.timer.isArmed());
}

TEST(NoAnswerTimer, DisarmingThenArmingStartsAFreshPeriod)
{
    TimedTimer t;
    t.armFirst();
    pumpFor(120ms);
    t.timer.disarm();
    t.timer.arm();
    ASSERT_TRUE(t.waitForFiring());
    EXPECT_GE(t.firedAt, 315);
}

TEST(NoAnswerTimer, DisarmedTimerNeverFires)
{
    int fired = 0;
    NoAnswerTimer timer([&] { ++fired; }, 50);
    timer.arm();
    timer.disarm();
    EXPECT_EQ(timer.remainingMs(), -1);
    pumpFor(120ms);
    EXPECT_EQ(fired, 0);
}

TEST(NoAnswerTimer, DefaultsToSixSecondsAndTakesANewInterval)
{
    NoAnswerTimer timer(nullptr);
    EXPECT_EQ(timer.intervalMs(), 6000);
    QElapsedTimer sinceArm;
    sinceArm.start();
    timer.arm();
    const int remaining = timer.remainingMs();
    // A whole period from the arming on, however long the machine took to get here.
    EXPECT_LE(remaining, 6000);
    EXPECT_GE(remaining, 6000 - sinceArm.elapsed() - 1);
    timer.disarm();
    timer.setIntervalMs(40);
    int fired = 0;
    timer.setOnTimeout([&] { ++fired; });
    timer.arm();
    EXPECT_LE(timer.remainingMs(), 40);
    EXPECT_TRUE(pumpUntil([&] { return fired == 1; }, kHangGuard));
}

TEST(NoAnswerTimer, AnErrorInTheTimeoutGoesToTheErrorHandlerNotTheEventLoop)
{
    NoAnswerTimer timer([] { throw std::runtime_error("host failed"); }, 10);
    std::string reported;
    timer.setOnError([&](const std::exception& e) { reported = e.what(); });
    timer.arm();
    ASSERT_TRUE(pumpUntil([&] { return !reported.empty(); }, kHangGuard));
    EXPECT_EQ(reported, "host failed");
    // Without an error handler the error is dropped, still inside the timer.
    NoAnswerTimer silent([] { throw std::runtime_error("dropped"); }, 10);
    silent.arm();
    EXPECT_TRUE(pumpUntil([&] { return !silent.isArmed(); }, kHangGuard));
}

}  // namespace
}  // namespace tarnik

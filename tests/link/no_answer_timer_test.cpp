#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <stdexcept>

#include "link/no_answer_timer.h"

namespace tarnik {
namespace {

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(NoAnswerTimer, ArmingARunningTimerKeepsItsFirstDeadline)
{
    int fired = 0;
    QElapsedTimer clock;
    qint64 firedAt = -1;
    NoAnswerTimer timer(
        [&] {
            ++fired;
            firedAt = clock.elapsed();
        },
        200);
    EXPECT_EQ(timer.intervalMs(), 200);
    clock.start();
    timer.arm();
    runFor(120);
    timer.arm();  // must not restart the period
    EXPECT_TRUE(timer.isArmed());
    runFor(250);
    EXPECT_EQ(fired, 1);
    EXPECT_GE(firedAt, 195);
    EXPECT_LT(firedAt, 300) << "re-arming restarted the period";
    EXPECT_FALSE(timer.isArmed());
}

TEST(NoAnswerTimer, DisarmingThenArmingStartsAFreshPeriod)
{
    int fired = 0;
    QElapsedTimer clock;
    qint64 firedAt = -1;
    NoAnswerTimer timer(
        [&] {
            ++fired;
            firedAt = clock.elapsed();
        },
        200);
    clock.start();
    timer.arm();
    runFor(120);
    timer.disarm();
    timer.arm();
    runFor(300);
    EXPECT_EQ(fired, 1);
    EXPECT_GE(firedAt, 315);
}

TEST(NoAnswerTimer, DisarmedTimerNeverFires)
{
    int fired = 0;
    NoAnswerTimer timer([&] { ++fired; }, 50);
    timer.arm();
    timer.disarm();
    EXPECT_EQ(timer.remainingMs(), -1);
    runFor(120);
    EXPECT_EQ(fired, 0);
}

TEST(NoAnswerTimer, DefaultsToSixSecondsAndTakesANewInterval)
{
    NoAnswerTimer timer(nullptr);
    EXPECT_EQ(timer.intervalMs(), 6000);
    timer.arm();
    EXPECT_GT(timer.remainingMs(), 5900);
    timer.disarm();
    timer.setIntervalMs(40);
    int fired = 0;
    timer.setOnTimeout([&] { ++fired; });
    timer.arm();
    runFor(100);
    EXPECT_EQ(fired, 1);
}

TEST(NoAnswerTimer, AnErrorInTheTimeoutGoesToTheErrorHandlerNotTheEventLoop)
{
    NoAnswerTimer timer([] { throw std::runtime_error("host failed"); }, 10);
    std::string reported;
    timer.setOnError([&](const std::exception& e) { reported = e.what(); });
    timer.arm();
    runFor(60);
    EXPECT_EQ(reported, "host failed");
    // Without an error handler the error is dropped, still inside the timer.
    NoAnswerTimer silent([] { throw std::runtime_error("dropped"); }, 10);
    silent.arm();
    runFor(60);
    SUCCEED();
}

}  // namespace
}  // namespace tarnik

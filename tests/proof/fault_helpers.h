#pragma once

// Small helpers shared by the fault tests.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "event_loop.h"
#include "link/protocol.h"
#include "link_rig.h"
#include "model/conversion.h"
#include "module_image.h"
#include "simulator/module_simulator.h"
#include "thread_activity.h"

namespace tarnik::proof {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::holdsProgrammedImage;
using test::imageOf;
using test::LinkRig;
using test::processWakeUps;
using test::pumpFor;
using test::pumpUntil;
using test::residentKiB;
using test::threadsNeverAsleep;

// Settings that survive the trip to the module and back: every carried field random,
// texts without quote or zero bytes, numbers of at most 12 characters, PINs of 4.
SettingsRecord randomModuleSettings(unsigned seed);

using protocol::kReadBackImageBytes;
using protocol::kSentImageBytes;

// A module that runs `script` for every command it takes, after its own answer is set.
inline SimulatorOptions scripted(CommandHook script)
{
    SimulatorOptions options;
    options.behaviours.push_back(std::move(script));
    return options;
}

// A record full of one byte: a failed read-back must leave every byte of it.
inline SettingsRecord patternRecord()
{
    SettingsRecord r;
    std::memset(&r, 0x5C, sizeof r);
    return r;
}

inline bool sameBytes(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// One stable port name for the module, as a USB adapter keeps its name when it is
// plugged back: a link that the test points at each new pseudo-terminal.
class StablePortName {
public:
    std::string path() const { return dir_.filePath("ttyModule").toStdString(); }
    void pointAt(const std::string& device)
    {
        std::filesystem::remove(path());
        std::filesystem::create_symlink(device, path());
    }

private:
    QTemporaryDir dir_;
};

// The most bytes the link's packet framer held, looked at between the window thread's
// events while noise pours in. Each piece of noise costs the window work in proportion
// to what the framer holds, so a framer that stays small keeps the window responsive
// however long the noise goes on; one that keeps everything grows without bound.
class FramerWatch {
public:
    explicit FramerWatch(const TComDataPacket& framer) : framer_(framer)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { largest_ = std::max(largest_, framer_.Buffer().size()); });
        timer_.start();
    }
    std::size_t largestBuffer() const { return largest_; }

private:
    const TComDataPacket& framer_;
    QTimer timer_;
    std::size_t largest_ = 0;
};

// Watches a running no-answer timer's own deadline from start() on: it must only come
// nearer. A period restarted by what the module sends would move it later.
class DeadlineWatch {
public:
    explicit DeadlineWatch(const NoAnswerTimer& watched) : watched_(watched)
    {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { look(); });
    }
    void start()
    {
        look();
        poll_.start();
    }
    bool moved() const { return moved_; }

private:
    void look()
    {
        if (!watched_.isArmed()) {
            last_ = -1;
            return;
        }
        const int remaining = watched_.remainingMs();
        // 2 ms for the rounding of the remaining time
        if (last_ >= 0 && remaining > last_ + 2)
            moved_ = true;
        last_ = remaining;
    }

    const NoAnswerTimer& watched_;
    QTimer poll_;
    int last_ = -1;
    bool moved_ = false;
};

inline void expectIdle(const LinkRig& rig)
{
    EXPECT_FALSE(rig.host.busy);
    EXPECT_FALSE(rig.host.timer.isArmed());
    EXPECT_EQ(rig.engine.programmingState(), ProgrammingState::Idle);
    EXPECT_EQ(rig.engine.readBackState(), ReadBackState::Idle);
}

}  // namespace tarnik::proof

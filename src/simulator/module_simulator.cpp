#include "simulator/module_simulator.h"

#include "link/protocol.h"
#include "model/conversion.h"
#include "model/image_layout.h"

namespace tarnik {

bool CommandTurn::isLastChunk() const
{
    return frame.command == protocol::kChunkCommand &&
           frame.imageOffset + frame.chunkBytes() == protocol::kSentImageBytes;
}

struct ModuleSimulator::Session {
    explicit Session(const ModuleIdentity& identity) : protocol(identity) { }
    ModuleProtocol protocol;
    std::vector<std::uint8_t> received;  // arrived, not yet taken as a frame
    int frames = 0;
};

ModuleSimulator::ModuleSimulator(SimulatorOptions options) : options_(std::move(options))
{
    if (options_.memory) {
        memory_ = *options_.memory;
    } else {
        // An empty memory as a module keeps it: with its header checksum right.
        memory_[image::kChecksum] = headerChecksum(memory_);
    }
}

ModuleSimulator::~ModuleSimulator()
{
    stop();
}

void ModuleSimulator::start()
{
    std::lock_guard lifecycle(lifecycle_);
    if (thread_.joinable())
        return;
    auto line = std::make_unique<PacedLine>(options_.pacing);
    line->open();
    {
        std::lock_guard lock(mutex_);
        path_ = line->devicePath();
    }
    line_ = std::move(line);
    thread_ = std::thread([this, line = line_.get()] {
        Session session(options_.identity);
        line->run([&](const std::vector<std::uint8_t>& bytes, PacedLine::Clock::time_point at) {
            arrived(session, bytes, at);
        });
    });
}

void ModuleSimulator::stop()
{
    std::lock_guard lifecycle(lifecycle_);
    if (!thread_.joinable())
        return;
    line_->requestStop();
    thread_.join();
    line_.reset();
}

void ModuleSimulator::hangUp()
{
    std::lock_guard lifecycle(lifecycle_);
    if (thread_.joinable())
        line_->requestHangUp();
}

void ModuleSimulator::arrived(Session& session, const std::vector<std::uint8_t>& bytes,
                              PacedLine::Clock::time_point arrivedAt)
{
    PacedLine& line = *line_;
    session.received.insert(session.received.end(), bytes.begin(), bytes.end());
    while (!line.closing()) {
        ModuleProtocol::Step step;
        {
            std::lock_guard lock(mutex_);
            step = session.protocol.next(session.received, memory_);
            if (!step.complete)
                return;
            session.received.erase(session.received.begin(),
                                   session.received.begin() +
                                       static_cast<std::ptrdiff_t>(step.consumed));
            if (!step.isFrame) {
                skipped_ += step.consumed;
                continue;
            }
            if (frames_.size() == kFramesKept)
                frames_.erase(frames_.begin(), frames_.begin() + kFramesKept / 2);
            frames_.push_back(step.frame);
            ++frameCount_;
        }
        framesChanged_.notify_all();
        // The hooks run without the lock: a script may hold the line for seconds while
        // the test looks at the frames.
        CommandTurn turn(step.frame, session.frames++, std::move(step.answer), line);
        for (const CommandHook& hook : options_.behaviours)
            hook(turn);
        if (turn.hangUp == CommandTurn::HangUp::BeforeAnswer) {
            line.hangUpNow();
            return;
        }
        if (turn.answer)
            line.answer(*turn.answer, arrivedAt);
        if (turn.hangUp == CommandTurn::HangUp::AfterAnswer)
            line.hangUpWhenSent();
    }
}

std::string ModuleSimulator::devicePath() const
{
    std::lock_guard lock(mutex_);
    return path_;
}

bool ModuleSimulator::running() const
{
    std::lock_guard lifecycle(lifecycle_);
    return line_ && line_->alive();
}

std::vector<SimulatorFrame> ModuleSimulator::frames() const
{
    std::lock_guard lock(mutex_);
    return frames_;
}

int ModuleSimulator::frameCount() const
{
    std::lock_guard lock(mutex_);
    return frameCount_;
}

bool ModuleSimulator::waitForFrames(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return framesChanged_.wait_for(lock, timeout, [&] { return frameCount_ >= count; });
}

std::size_t ModuleSimulator::skippedBytes() const
{
    std::lock_guard lock(mutex_);
    return skipped_;
}

DeviceImage ModuleSimulator::memory() const
{
    std::lock_guard lock(mutex_);
    return memory_;
}

}  // namespace tarnik

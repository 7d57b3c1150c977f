#pragma once

// The per-command hook: every frame the simulated module takes is handed, with the
// module's own answer, to the hooks in turn on the simulator's thread. A hook may change
// the answer, withhold it, drop the line before or after it, or take the line over for a
// while (write, stream). Ready-made hooks are in module_behaviours.h.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "simulator/module_protocol.h"
#include "simulator/paced_line.h"

namespace tarnik {

class CommandTurn {
public:
    enum class HangUp { No, BeforeAnswer, AfterAnswer };

    CommandTurn(const SimulatorFrame& taken, int takenBefore, std::string ownAnswer,
                PacedLine& line)
        : frame(taken), index(takenBefore), answer(std::move(ownAnswer)), line_(line)
    {
    }

    const SimulatorFrame& frame;
    // Frames the module took before this one since it started.
    const int index;
    // What the module answers, paced and split as the line is set; empty: no answer.
    std::optional<std::string> answer;
    HangUp hangUp = HangUp::No;

    char command() const { return frame.command; }
    // True for the chunk that completes the image bytes a programming run sends.
    bool isLastChunk() const;

    // Writes straight onto the line now, unpaced.
    void write(const std::string& bytes) { line_.write(bytes); }
    // Writes bytes chosen by `next` at the line speed for `duration`.
    void stream(std::chrono::milliseconds duration, const std::function<char()>& next)
    {
        line_.stream(duration, next);
    }

private:
    PacedLine& line_;
};

using CommandHook = std::function<void(CommandTurn& turn)>;

}  // namespace tarnik

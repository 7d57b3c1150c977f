#include "simulator/module_behaviours.h"

#include <string>

#include "link/protocol.h"

namespace tarnik::behaviour {

namespace {

const std::string kStarOne(protocol::kTerminator);
// Bytes without an asterisk or "OK": nothing the tool waits for.
const std::string kGarbage = std::string("\x15?no\xff", 5) + std::string(1, '\0') + "#";

}  // namespace

CommandHook StarOneAnswers()
{
    return [](CommandTurn& turn) {
        if (turn.answer)
            turn.answer = kStarOne;
    };
}

CommandHook StarOneForChunks()
{
    return [](CommandTurn& turn) {
        if (turn.answer && turn.command() == protocol::kChunkCommand)
            turn.answer = kStarOne;
    };
}

CommandHook StarOneForLastChunk()
{
    return [](CommandTurn& turn) {
        if (turn.answer && turn.isLastChunk())
            turn.answer = kStarOne;
    };
}

CommandHook GarbageAnswers()
{
    return [](CommandTurn& turn) {
        if (turn.answer)
            turn.answer = kGarbage;
    };
}

CommandHook SilentAfter(int answered)
{
    return [answered](CommandTurn& turn) {
        if (turn.index >= answered)
            turn.answer.reset();
    };
}

CommandHook SilentTo(char command)
{
    return [command](CommandTurn& turn) {
        if (turn.command() == command)
            turn.answer.reset();
    };
}

CommandHook BytesAhead(char command, std::string bytes)
{
    return [command, bytes = std::move(bytes)](CommandTurn& turn) {
        if (turn.command() == command && turn.answer)
            turn.answer = bytes + *turn.answer;
    };
}

CommandHook HangUpAt(int frame, bool afterAnswer)
{
    return [frame, afterAnswer](CommandTurn& turn) {
        if (turn.index + 1 >= frame)
            turn.hangUp =
                afterAnswer ? CommandTurn::HangUp::AfterAnswer : CommandTurn::HangUp::BeforeAnswer;
    };
}

}  // namespace tarnik::behaviour

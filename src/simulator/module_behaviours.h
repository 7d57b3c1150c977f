#pragma once

// Ready-made ways for the simulated module to misbehave, built on the per-command hook.
// They run in the order given; each leaves a withheld answer withheld.

#include <cstddef>
#include <string>

#include "simulator/command_turn.h"

namespace tarnik::behaviour {

// Every answer is "*1" alone.
CommandHook StarOneAnswers();
// Every image chunk is answered "*1" alone (the tool must not advance).
CommandHook StarOneForChunks();
// The chunk that completes the 1195 image bytes is answered "*1" alone, so the tool
// finishes with "*5*1".
CommandHook StarOneForLastChunk();
// Answers are replaced by bytes that match nothing the tool looks for.
CommandHook GarbageAnswers();
// Frames after the first `answered` get no answer.
CommandHook SilentAfter(int answered);
// Frames of one command ('3' the read-back, '7' the serial number) get no answer.
CommandHook SilentTo(char command);
// The answers to one command come behind `bytes`: what a line may carry ahead of an
// answer (a 0x00 from an adapter waking up, a modem's "\r\nRING\r\n", a late answer).
CommandHook BytesAhead(char command, std::string bytes);
// The line drops when the `frame`-th frame (counted from 1) arrives, before its answer
// or, when asked, once the answer has been taken.
CommandHook HangUpAt(int frame, bool afterAnswer = false);

}  // namespace tarnik::behaviour

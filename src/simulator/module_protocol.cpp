#include "simulator/module_protocol.h"

#include <algorithm>

#include "link/protocol.h"

namespace tarnik {

std::size_t SimulatorFrame::chunkBytes() const
{
    return command == protocol::kChunkCommand ? bytes.size() - protocol::kChunkFrameOverhead : 0;
}

ModuleProtocol::Step ModuleProtocol::next(const std::vector<std::uint8_t>& received,
                                          DeviceImage& memory)
{
    Step step;
    if (received.empty())
        return step;
    if (received[0] != '*') {
        step.complete = true;
        step.consumed = 1;
        return step;
    }
    if (received.size() < 2)
        return step;
    const char command = static_cast<char>(received[1]);
    std::size_t length = 0;
    switch (command) {
    case protocol::kChunkCommand:
        length = (chunkIndex_ == 0 ? protocol::kFirstChunkBytes : protocol::kChunkBytes) +
                 protocol::kChunkFrameOverhead;
        break;
    case protocol::kStartCommand:
    case protocol::kReadCommand:
    case protocol::kFinishCommand:
    case protocol::kSerialCommand:
        length = protocol::kCommandFrameBytes;
        break;
    default:
        step.complete = true;
        step.consumed = 1;
        return step;
    }
    if (received.size() < length)
        return step;
    step.complete = true;
    if (!std::equal(protocol::kTerminator.begin(), protocol::kTerminator.end(),
                    received.begin() + static_cast<std::ptrdiff_t>(length - 2))) {
        step.consumed = 1;  // not a frame after all: skip the asterisk and look again
        return step;
    }
    step.consumed = length;
    step.isFrame = true;
    step.frame.command = command;
    step.frame.bytes.assign(received.begin(),
                            received.begin() + static_cast<std::ptrdiff_t>(length));
    switch (command) {
    case protocol::kStartCommand:
        chunkIndex_ = 0;
        writeOffset_ = 0;
        step.answer = protocol::kOk;
        break;
    case protocol::kChunkCommand: {
        step.frame.imageOffset = writeOffset_;
        const std::size_t n = step.frame.chunkBytes();
        for (std::size_t i = 0; i < n && writeOffset_ < memory.size(); ++i)
            memory[writeOffset_++] = received[2 + i];
        ++chunkIndex_;
        step.answer = protocol::kOk;
        break;
    }
    case protocol::kFinishCommand:
        step.answer = protocol::kOk;
        break;
    case protocol::kReadCommand:
        step.answer.push_back(static_cast<char>(identity_.leadByte));
        step.answer.append(reinterpret_cast<const char*>(memory.data()),
                           std::min(identity_.readBackLength, memory.size()));
        step.answer += protocol::kTerminator;
        break;
    case protocol::kSerialCommand:
        step.answer = identity_.serialNumber;
        step.answer += protocol::kSerialEnd;
        break;
    }
    return step;
}

}  // namespace tarnik

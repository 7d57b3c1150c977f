#pragma once

// The module's side of the command protocol, without the line: cuts frames off the front
// of the received bytes, stores image chunks in the configuration memory and gives the
// module's own answer to each frame. Chunks are framed by their known length (25 data
// bytes after "*2*1", then 45), so data holding 2A 31 is stored unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/protocol.h"
#include "model/settings_record.h"

namespace tarnik {

struct SimulatorFrame {
    char command = '?';               // '0', '2', '3', '5', '7'
    std::vector<std::uint8_t> bytes;  // the whole frame as received
    std::size_t imageOffset = 0;      // chunks: where the data was stored

    // Image bytes a chunk carries (0 for the other commands).
    std::size_t chunkBytes() const;
};

// What the module reports of itself.
struct ModuleIdentity {
    std::string serialNumber = "A123";
    std::uint8_t leadByte = 0x00;
    // Image bytes in the read-back answer; fewer than 1700 makes a short answer.
    std::size_t readBackLength = protocol::kReadBackImageBytes;
};

class ModuleProtocol {
public:
    struct Step {
        bool complete = false;  // a frame or a skipped byte was taken off the front
        bool isFrame = false;
        SimulatorFrame frame;
        std::string answer;  // the module's own answer to the frame
        std::size_t consumed = 0;
    };

    explicit ModuleProtocol(ModuleIdentity identity) : identity_(std::move(identity)) { }

    // Looks at the front of `received`; more bytes are needed when the step is not
    // complete. A chunk is stored into `memory`, a read-back answered from it.
    Step next(const std::vector<std::uint8_t>& received, DeviceImage& memory);

private:
    ModuleIdentity identity_;
    std::size_t chunkIndex_ = 0;
    std::size_t writeOffset_ = 0;
};

}  // namespace tarnik

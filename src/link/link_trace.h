#pragma once

// What the module link adds to the wire trace. Which bytes on the wire are secret, so
// that a trace can be handed to anybody: the SIM PIN, the SMS access code (it lets
// anyone reprogram the alarm by SMS), the output switch codes, the SMS-centre number and
// the user phone numbers, taken from the settings catalogue, the one place that says
// where each setting lies in the image. And the header of a trace file.

#include <cstddef>
#include <string>
#include <vector>

#include "serial/trace.h"

namespace tarnik {

// The Device image bytes that carry those settings, in image order.
const ByteRanges& secretImageBytes();

// The secret bytes of a programming chunk frame ("*0", image bytes from `imageOffset`,
// "*1") with `dataBytes` image bytes, as offsets into the frame.
ByteRanges secretChunkBytes(std::size_t imageOffset, std::size_t dataBytes);

// The secret bytes of a read-back answer (a lead byte, the image, "*1"), as offsets
// into the answer.
ByteRanges secretReadBackBytes();

// The header of a trace of the module link run by `program` ("tarnik-cli 1.1") on
// `ports` (as the user named them): each port with the machine's description of it, the
// module's line settings, and whether secrets are shown.
TraceHeader moduleTraceHeader(const std::string& program, const std::vector<std::string>& ports,
                              bool secretsShown);

}  // namespace tarnik

#pragma once

// Thin wrappers over the terminal ioctls the port and its event thread share.

#include <cstdint>
#include <optional>

namespace tarnik::detail {

// Interrupt counters of a UART (TIOCGICOUNT). Pseudo-terminals and many USB adapters
// keep none; then readLineCounters answers false.
struct LineCounters {
    std::uint32_t cts = 0, dsr = 0, rng = 0, dcd = 0;
    std::uint32_t frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
};
bool readLineCounters(int fd, LineCounters& out);

// Bytes waiting in the driver's input / output queue; -1 with errno on failure.
int queuedInput(int fd);
int queuedOutput(int fd);

// Turns the driver's low-latency mode on (TIOCSSERIAL, ASYNC_LOW_LATENCY), so that a
// USB adapter passes short answers on at once instead of holding them for its latency
// timer. Returns the flags to restore on close, or nothing when the driver has no such
// ioctl, refuses it, or had the mode on already.
std::optional<int> enableLowLatency(int fd);
// Puts back the flags enableLowLatency returned; a failure is of no consequence.
void restoreSerialFlags(int fd, int flags);

// True when errno from a transfer or a driver query means the device went away
// (a hang-up, an unplugged adapter).
bool deviceGoneError(int error);
// True when the descriptor reports a hang-up or an error condition.
bool hungUp(int fd);

// True when errno after a modem-line ioctl means "this device has no modem lines".
bool noModemLines(int error);

}  // namespace tarnik::detail

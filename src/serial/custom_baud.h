#pragma once

// Line speeds that have no B-constant, through the kernel's termios2 (BOTHER). Kept
// apart because <asm/termbits.h> cannot share a file with <termios.h>.

namespace tarnik::detail {

// Sets both directions to `rate` bits per second; -1 with errno on failure.
int setArbitrarySpeed(int fd, int rate);
// Reads the output speed in bits per second; -1 with errno on failure.
int readSpeed(int fd);

}  // namespace tarnik::detail

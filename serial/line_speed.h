#pragma once
// Line speed through the kernel's termios2 interface, which also takes rates
// that have no B-constant (14400, 56000, 128000, 256000). Kept apart from
// <termios.h>, whose definitions clash with the kernel's.

#include <cstdint>

namespace tarnwick {

// Sets input and output speed; 0 on success, else the errno value.
int setLineSpeed(int fd, std::int32_t rate);

// The output speed the driver holds, or -1 with errno set.
std::int64_t readLineSpeed(int fd);

}  // namespace tarnwick

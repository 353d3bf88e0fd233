#include "serial/line_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace tarnwick {

namespace {

// The B-constant of a standard rate, or BOTHER.
tcflag_t speedCode(std::int32_t rate) {
  switch (rate) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return BOTHER;
  }
}

}  // namespace

int setLineSpeed(int fd, std::int32_t rate) {
  if (rate <= 0) return EINVAL;
  struct termios2 tio;
  if (::ioctl(fd, TCGETS2, &tio) != 0) return errno;
  const tcflag_t code = speedCode(rate);
  // The input speed follows the output speed when its own field is zero.
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= code;
  tio.c_ispeed = static_cast<speed_t>(rate);
  tio.c_ospeed = static_cast<speed_t>(rate);
  if (::ioctl(fd, TCSETS2, &tio) != 0) return errno;
  return 0;
}

std::int64_t readLineSpeed(int fd) {
  struct termios2 tio;
  if (::ioctl(fd, TCGETS2, &tio) != 0) return -1;
  return tio.c_ospeed;
}

}  // namespace tarnwick

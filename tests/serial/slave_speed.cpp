// Apart from pty_pair.cpp: the kernel's termios2 header clashes with <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "pty_pair.h"

namespace tarnwick::testing {

long slaveSpeed(int master) {
  struct termios2 tio;
  if (::ioctl(master, TCGETS2, &tio) != 0) return -1;
  return static_cast<long>(tio.c_ospeed);
}

}  // namespace tarnwick::testing

// Apart from the simulator: the kernel's termios2 and glibc's termios do
// not share a translation unit.
#include "sim/controller_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace tarnwick::sim {

long controllerSpeed(int fd) {
  struct termios2 tio {};
  if (fd < 0 || ::ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return static_cast<long>(tio.c_ospeed);
}

}  // namespace tarnwick::sim

#pragma once
// The speed the controller has set on its end of the pseudo-terminal.

namespace tarnwick::sim {

// The output speed of the terminal behind `fd` in baud; 0 when unknown.
long controllerSpeed(int fd);

}  // namespace tarnwick::sim

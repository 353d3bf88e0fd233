#pragma once
// Tells a second window on the same settings that another one runs: a lock
// file beside the settings holding the process id of the window that has it,
// locked (flock) for as long as that window runs. The kernel lets go of it
// when the process ends, however it ends.

#include <string>

namespace tarnwick {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock() { release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock at `path`. False when another process holds it (its
  // process id is then in holder(), 0 when unknown) or the file cannot be
  // made: no lock is then held and nothing is claimed.
  bool acquire(const std::string& path);
  void release();
  bool held() const { return fd_ >= 0; }
  long holder() const { return holder_; }

 private:
  int fd_ = -1;
  long holder_ = 0;
};

}  // namespace tarnwick

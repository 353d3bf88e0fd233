#pragma once
// The lock file that serial programs use to see a port as busy:
// <directory>/LCK..<device name>, holding the owner's process id.

#include <string>

namespace tarnwick {

inline constexpr const char* kDefaultLockDirectory = "/run/lock";

class PortLock {
 public:
  PortLock() = default;
  ~PortLock() { release(); }
  PortLock(PortLock&& other) noexcept;
  PortLock& operator=(PortLock&& other) noexcept;
  PortLock(const PortLock&) = delete;
  PortLock& operator=(const PortLock&) = delete;

  // Creates the lock file for `device`. A lock of a live process, or a lock
  // name taken by anything but a plain file, throws SerialOpenError (EBUSY);
  // one whose process is gone is taken over. When the
  // directory cannot be written the result holds nothing and the open goes on:
  // the device's own exclusive lock still protects it.
  static PortLock acquire(const std::string& directory, const std::string& device);

  // "LCK..ttyUSB0" for /dev/ttyUSB0 or a link to it, "LCK..pts_3" for /dev/pts/3.
  static std::string fileName(const std::string& device);

  // The process id that the lock file of `device` in `directory` names, live
  // or not; 0 when there is none to read; kForeignLock when the name is taken
  // by something that is not a plain file (a FIFO, a link, a folder), which
  // acquire treats as a lock held by someone else.
  static constexpr long kForeignLock = -1;
  static long holder(const std::string& directory, const std::string& device);

  bool held() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // Removes the file if this object created it.
  void release();

 private:
  explicit PortLock(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

}  // namespace tarnwick

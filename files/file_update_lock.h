#pragma once
// The advisory lock that every program of ours takes to read a shared file,
// change it and write it back, so that two of them never write over each
// other. It is a flock on ".NAME.lock" beside the file rather than on the
// file itself: a save replaces the file by rename, and a lock on the old
// file would lock nothing for the next one. The lock file lives only while
// the lock is held.

#include <chrono>
#include <string>

namespace tarnwick {

inline constexpr std::chrono::milliseconds kFileLockWait{5000};

class FileUpdateLock {
 public:
  FileUpdateLock() = default;
  ~FileUpdateLock() { unlock(); }
  FileUpdateLock(FileUpdateLock&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
  }
  FileUpdateLock& operator=(FileUpdateLock&& other) noexcept;
  FileUpdateLock(const FileUpdateLock&) = delete;
  FileUpdateLock& operator=(const FileUpdateLock&) = delete;

  // Takes the lock of `path`, waiting up to `wait` for another holder to let
  // go; false with the reason when it cannot.
  bool lock(const std::string& path, std::chrono::milliseconds wait, std::string& reason);
  void unlock();
  bool locked() const { return fd_ >= 0; }

  // ".NAME.lock" beside the file a link leads to, so that every path to one
  // file shares one lock.
  static std::string lockFileName(const std::string& path);

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace tarnwick

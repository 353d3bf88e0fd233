#include "files/file_update_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "files/file_paths.h"

namespace tarnwick {

FileUpdateLock& FileUpdateLock::operator=(FileUpdateLock&& other) noexcept {
  if (this != &other) {
    unlock();
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

std::string FileUpdateLock::lockFileName(const std::string& path) {
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (real) target = real.get();
  }
  const SplitPath parts = splitPath(target);
  return parts.folder + "." + parts.name + ".lock";
}

namespace {

// The lock file was removed or replaced by its last holder while this
// process waited on it: the lock is on a file nobody else will see.
bool stillNamed(int fd, const std::string& lockPath) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::stat(lockPath.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

bool FileUpdateLock::lock(const std::string& path, std::chrono::milliseconds wait,
                          std::string& reason) {
  unlock();
  const std::string lockPath = lockFileName(path);
  // The holder only reads, merges and writes one file: a few seconds are
  // far beyond what that takes.
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    // Read-only is enough for flock, so that others sharing the file can lock it too.
    const int fd =
        ::open(lockPath.c_str(),
               O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
      reason = std::strerror(errno);
      return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      reason = lockPath + " is not a plain lock file";
      return false;
    }
    for (;;) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
      if (errno != EWOULDBLOCK && errno != EINTR) {
        reason = std::strerror(errno);
        ::close(fd);
        return false;
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        ::close(fd);
        const long long seconds = std::max<long long>(1, (wait.count() + 999) / 1000);
        reason = "Another program is saving it: still locked after " + std::to_string(seconds) +
                 (seconds == 1 ? " second (" : " seconds (") + lockPath + ")";
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (stillNamed(fd, lockPath)) {
      fd_ = fd;
      path_ = lockPath;
      return true;
    }
    ::close(fd);
  }
}

void FileUpdateLock::unlock() {
  if (fd_ < 0) return;
  // Removed while still held, so that a waiter that then gets the lock on
  // the removed file sees it is gone and starts again; no lock file stays.
  ::unlink(path_.c_str());
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
  path_.clear();
}

}  // namespace tarnwick

#include "serial/port_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "serial/serial_errors.h"

namespace tarnwick {

namespace {

constexpr pid_t kForeignLock = static_cast<pid_t>(PortLock::kForeignLock);

// The process id in a lock file, 0 when there is none to read, or
// kForeignLock when the name is taken by something other than a plain file:
// a FIFO would block the open or the read, a link could point anywhere.
pid_t readLockPid(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? 0 : kForeignLock;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return kForeignLock;
  }
  char buf[32] = {};
  const ssize_t n = ::read(fd, buf, sizeof buf - 1);
  ::close(fd);
  if (n <= 0) return 0;
  const long pid = std::strtol(buf, nullptr, 10);
  return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool processAlive(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

PortLock::PortLock(PortLock&& other) noexcept : path_(std::move(other.path_)) {
  other.path_.clear();
}

PortLock& PortLock::operator=(PortLock&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::move(other.path_);
    other.path_.clear();
  }
  return *this;
}

std::string PortLock::fileName(const std::string& device) {
  std::string path = device;
  if (char* real = ::realpath(device.c_str(), nullptr)) {
    path = real;
    std::free(real);
  }
  std::string name;
  constexpr std::string_view dev = "/dev/";
  if (path.starts_with(dev)) {
    name = path.substr(dev.size());
    for (char& c : name) {
      if (c == '/') c = '_';
    }
  } else {
    name = path.substr(path.find_last_of('/') + 1);
  }
  return "LCK.." + name;
}

long PortLock::holder(const std::string& directory, const std::string& device) {
  return readLockPid(directory + "/" + fileName(device));
}

PortLock PortLock::acquire(const std::string& directory, const std::string& device) {
  const std::string path = directory + "/" + fileName(device);
  // Two rounds: the second after removing a stale lock.
  for (int round = 0; round < 2; ++round) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      char text[16];
      const int len = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
      const bool written = ::write(fd, text, len) == len;
      ::close(fd);
      if (!written) {
        ::unlink(path.c_str());
        return PortLock();
      }
      return PortLock(path);
    }
    if (errno != EEXIST) return PortLock();  // no lock directory we may write to
    const pid_t holder = readLockPid(path);
    // Our own process holds it through another port object; the device lock decides.
    if (holder == ::getpid()) return PortLock();
    if (holder == kForeignLock || (holder > 0 && processAlive(holder))) {
      throw SerialOpenError(device, EBUSY);
    }
    ::unlink(path.c_str());
  }
  return PortLock();
}

void PortLock::release() {
  if (path_.empty()) return;
  // Only remove what is still ours: another program may have taken over a
  // lock it found stale.
  if (readLockPid(path_) == ::getpid()) ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace tarnwick

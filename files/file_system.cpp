#include "files/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace tarnwick {
namespace {

// Closes the descriptor and removes the temporary file unless released.
class TempFile {
 public:
  TempFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void release() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A link is followed so that the rename replaces its target, not the link.
std::string resolveLink(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

// A new, hidden file in the target's folder, private while it is written;
// the folder must be the same for the rename to be atomic.
int createTemp(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = folderOf(target);
  const std::string name = target.substr(folder.size());
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + temporaryFileName(name, ::getpid(), counter.fetch_add(1));
    const int fd =
        ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void syncFolder(const std::string& target) {
  const std::string folder = folderOf(target);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the content itself is already on disk
  ::close(fd);
}

// The process's file creation mask, read without changing it: umask() would
// change it for other threads for a moment.
mode_t creationMask() {
  const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf - 1);
    ::close(fd);
    if (n > 0) {
      buf[n] = '\0';
      if (const char* line = std::strstr(buf, "\nUmask:")) {
        return static_cast<mode_t>(std::strtoul(line + 7, nullptr, 8)) & 0777;
      }
    }
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

bool allDigits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// Removes the temporary files of `target` whose writer has gone: a save that
// was killed leaves its file behind. Those of running programs stay.
void removeAbandonedTemps(const std::string& target) {
  const std::string folder = folderOf(target);
  const std::string prefix = temporaryFileName(target.substr(folder.size()), 0, 0);
  const std::string_view stem = std::string_view(prefix).substr(0, prefix.size() - 3);  // "0-0"
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (!name.starts_with(stem)) continue;
    name.remove_prefix(stem.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash > 9 || !allDigits(name.substr(0, dash)) ||
        !allDigits(name.substr(dash + 1))) {
      continue;
    }
    const long pid = std::strtol(std::string(name.substr(0, dash)).c_str(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

int errnoOr(int fallback) {
  return errno != 0 ? errno : fallback;
}

}  // namespace

bool PosixFileSystem::exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::readAll(const std::string& path, std::string& bytes, std::string& reason) {
  // Not blocking: opening a FIFO would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    reason = std::strerror(EISDIR);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = kNotARegularFile;
    return false;
  }
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxReadBytes) {
    reason = kFileTooLarge;
    return false;
  }
  try {
    std::string out;
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        reason = std::strerror(errno);
        return false;
      }
      if (n == 0) break;
      // A file that grows while it is read is held to the same bound.
      if (out.size() + static_cast<std::size_t>(n) > kMaxReadBytes) {
        reason = kFileTooLarge;
        return false;
      }
      out.append(buffer, static_cast<std::size_t>(n));
    }
    bytes = std::move(out);
  } catch (const std::bad_alloc&) {
    reason = kNotEnoughMemory;
    return false;
  }
  return true;
}

std::string temporaryFileName(std::string_view name, long pid, unsigned counter) {
  std::string temp = ".";
  temp += name;
  temp += ".tmp";
  temp += std::to_string(pid);
  temp += '-';
  temp += std::to_string(counter);
  return temp;
}

int PosixFileSystem::writeTemp(const std::string& target, std::string_view bytes, mode_t mode,
                               std::string& tempPath, uid_t owner, gid_t group) {
  const int fd = createTemp(target, tempPath);
  if (fd < 0) return errnoOr(EIO);
  TempFile temp(fd, tempPath);
  if (const int err = writeAndSync(fd, bytes); err != 0) return err;
  if (::fchmod(fd, mode) != 0) return errnoOr(EIO);
  if ((owner != static_cast<uid_t>(-1) || group != static_cast<gid_t>(-1)) &&
      ::fchown(fd, owner, group) != 0) {
    // Only the owner's own files or root can keep the owner; the mode is kept.
  }
  if (!temp.close()) return errnoOr(EIO);
  temp.release();
  return 0;
}

bool PosixFileSystem::replace(const std::string& path, std::string_view bytes,
                              std::string& reason) {
  if (path.empty() || path.back() == '/') {
    reason = std::strerror(EISDIR);
    return false;
  }
  const std::string target = resolveLink(path);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) {
    reason = kNotARegularFile;
    return false;
  }
  // Writing in place would fail on a write-protected file; the rename would
  // not, so ask first.
  if (existed && ::access(target.c_str(), W_OK) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  removeAbandonedTemps(target);

  std::string tempPath;
  const bool otherOwner = existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid());
  const int err = writeTemp(target, bytes, existed ? old.st_mode & 07777 : 0666 & ~creationMask(),
                            tempPath, otherOwner ? old.st_uid : static_cast<uid_t>(-1),
                            otherOwner ? old.st_gid : static_cast<gid_t>(-1));
  if (err != 0) {
    reason = std::strerror(err);
    return false;
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    reason = std::strerror(errno);
    ::unlink(tempPath.c_str());
    return false;
  }
  syncFolder(target);
  return true;
}

std::error_code PosixFileSystem::createNew(const std::function<std::string(int)>& nameFor,
                                           int count, std::string_view bytes,
                                           std::string& taken) {
  if (count < 1) return std::make_error_code(std::errc::invalid_argument);
  const std::string first = nameFor(1);
  taken = first;
  std::string tempPath;
  if (const int err = writeTemp(first, bytes, 0600, tempPath); err != 0) {
    return {err, std::generic_category()};
  }
  // A hard link takes a name only if it is free, with the content complete;
  // the next name gets the same flushed file, not a second copy.
  int err = EEXIST;
  for (int n = 1; n <= count && err == EEXIST; ++n) {
    if (n > 1) taken = nameFor(n);
    err = ::link(tempPath.c_str(), taken.c_str()) == 0 ? 0 : errno;
    // A file system without hard links: the name is created exclusively.
    if (err == EPERM || err == EOPNOTSUPP || err == EMLINK) err = writeExclusive(taken, bytes);
  }
  ::unlink(tempPath.c_str());
  if (err != 0) return {err, std::generic_category()};
  syncFolder(taken);
  return {};
}

int PosixFileSystem::writeAndSync(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    errno = 0;
    const ssize_t n = writeSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return errnoOr(EIO);
    done += static_cast<std::size_t>(n);
  }
  errno = 0;
  return syncFile(fd) ? 0 : errnoOr(EIO);
}

int PosixFileSystem::writeExclusive(const std::string& path, std::string_view bytes) {
  // On failure the partial file goes.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return errno;
  TempFile file(fd, path);
  int err = writeAndSync(fd, bytes);
  if (err == 0 && !file.close()) err = errnoOr(EIO);
  if (err == 0) file.release();
  return err;
}

ssize_t PosixFileSystem::writeSome(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}

bool PosixFileSystem::syncFile(int fd) {
  return ::fsync(fd) == 0;
}

FileSystem& defaultFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace tarnwick

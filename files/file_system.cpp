#include "files/file_system.h"

#include <fcntl.h>
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

// A new, hidden file in the target's folder; the folder must be the same for
// the rename to be atomic.
int createTemp(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = folderOf(target);
  const std::string name = target.substr(folder.size());
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1));
    // 0666 lets the umask decide, as for any newly created file.
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

bool PosixFileSystem::replace(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') return false;
  const std::string target = resolveLink(path);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) return false;
  // Writing in place would fail on a write-protected file; the rename would
  // not, so ask first.
  if (existed && ::access(target.c_str(), W_OK) != 0) return false;

  std::string tempPath;
  const int fd = createTemp(target, tempPath);
  if (fd < 0) return false;
  TempFile temp(fd, tempPath);
  if (existed) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Only the owner's own files or root can keep the owner; the mode is kept.
    }
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = writeSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  if (!syncFile(fd) || !temp.close()) return false;
  if (::rename(temp.path().c_str(), target.c_str()) != 0) return false;
  temp.release();
  syncFolder(target);
  return true;
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

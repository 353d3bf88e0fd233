#include "civ/debug_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <utility>

#include "files/file_paths.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

// Owner-only, and never through a symbolic link someone else planted. A
// FIFO put there after the name was looked at must not block the open
// either (O_NONBLOCK changes nothing for a file).
constexpr int kOpenFlags =
    O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
constexpr mode_t kFileMode = 0600;

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void createFolder(const std::filesystem::path& file) {
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
}

// Another program (or the user) may rename or delete the log while it is
// open; the name is looked at again after this long.
constexpr auto kNameCheckInterval = std::chrono::seconds(1);

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

const char* kindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "something else";
}

}  // namespace

DebugLog::DebugLog(std::filesystem::path path) : path_(std::move(path)) {}

DebugLog::~DebugLog() {
  holds_ = 0;
  writeCounts();
  flush();
  closeFile();
}

DebugLog::DebugLog(DebugLog&& other) noexcept {
  *this = std::move(other);
}

DebugLog& DebugLog::operator=(DebugLog&& other) noexcept {
  if (this == &other) return *this;
  closeFile();
  path_ = std::move(other.path_);
  fd_ = std::exchange(other.fd_, -1);
  size_ = other.size_;
  nameCheckAt_ = other.nameCheckAt_;
  retryPause_ = other.retryPause_;
  now_ = other.now_;
  failed_ = other.failed_;
  retryAt_ = other.retryAt_;
  failures_ = other.failures_;
  maxBytes_ = other.maxBytes_;
  lastLine_ = std::move(other.lastLine_);
  notAFile_ = std::move(other.notAFile_);
  counted_ = std::move(other.counted_);
  countingEnds_ = other.countingEnds_;
  holds_ = std::exchange(other.holds_, 0);
  held_ = std::move(other.held_);
  return *this;
}

bool DebugLog::pausedAfterFailure() const {
  return failed_ && now_() < retryAt_;
}

void DebugLog::closeFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int DebugLog::openFile() {
  // Opening a FIFO without a reader waits for one, and opening a device can
  // wait for its line or act on it: only a file is opened.
  struct stat named {};
  if (::lstat(path_.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
    noteNotAFile(named.st_mode);
    return -1;
  }
  fd_ = ::open(path_.c_str(), kOpenFlags, kFileMode);
  if (fd_ < 0 && errno == ENOENT) {
    // Only the first line of a fresh state folder pays for creating it.
    createFolder(path_);
    fd_ = ::open(path_.c_str(), kOpenFlags, kFileMode);
  }
  struct stat st {};
  if (fd_ >= 0 && ::fstat(fd_, &st) != 0) {
    closeFile();
  } else if (fd_ >= 0 && !S_ISREG(st.st_mode)) {
    noteNotAFile(st.st_mode);
    closeFile();
  } else if (fd_ >= 0) {
    notAFile_.clear();
  }
  size_ = fd_ >= 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
  nameCheckAt_ = now_() + kNameCheckInterval;
  return fd_;
}

int DebugLog::fileFor(std::size_t bytes) {
  if (fd_ >= 0 && now_() >= nameCheckAt_) {
    struct stat named {}, open {};
    if (::stat(path_.c_str(), &named) != 0 || ::fstat(fd_, &open) != 0 || !sameFile(named, open)) {
      closeFile();
    } else {
      size_ = static_cast<std::uintmax_t>(open.st_size);  // another program may append too
      nameCheckAt_ = now_() + kNameCheckInterval;
    }
  }
  if (fd_ < 0 && openFile() < 0) return -1;
  if (size_ + bytes > maxBytes_) {
    // Full: the file becomes the one old file kept, and a new one starts;
    // unless another program has started one already under the name.
    struct stat named {}, open {};
    if (::stat(path_.c_str(), &named) == 0 && ::fstat(fd_, &open) == 0 && sameFile(named, open) &&
        static_cast<std::uintmax_t>(open.st_size) + bytes > maxBytes_) {
      std::filesystem::path old = path_;
      old += ".1";
      ::rename(path_.c_str(), old.c_str());
    }
    closeFile();
    openFile();
  }
  return fd_;
}

bool DebugLog::writeLine(std::string_view line) {
  if (path_.empty() || pausedAfterFailure()) return false;
  if (holds_ > 0) {
    held_.append(line).append("\r\n");
    return true;
  }
  std::string text;
  text.reserve(line.size() + 2);
  text.append(line);
  text.append("\r\n");
  return writeText(text);
}

bool DebugLog::writeText(const std::string& text) {
  const int fd = fileFor(text.size());
  const bool ok = fd >= 0 && writeAll(fd, text);
  if (ok) {
    size_ += text.size();
    failed_ = false;
  } else {
    closeFile();
    failed_ = true;
    retryAt_ = now_() + retryPause_;
    ++failures_;
  }
  return ok;
}

void DebugLog::flush() {
  if (held_.empty()) return;
  if (!pausedAfterFailure()) writeText(held_);
  held_.clear();
}

void DebugLog::release() {
  if (holds_ > 0 && --holds_ == 0) flush();
}

void DebugLog::noteNotAFile(unsigned mode) {
  notAFile_ = "The debug log " + path_.string() + " is " + kindOf(static_cast<mode_t>(mode)) +
              ", not a file: the program goes on without it.";
}

void DebugLog::appendDebugLine(std::string_view line) {
  if (!counted_.empty() && now_() >= countingEnds_) writeCounts();
  writeLine(line);
  lastLine_.assign(line);
}

void DebugLog::appendUnlessRepeated(std::string_view line) {
  if (line == lastLine_) {
    // An idle engine still lets the counts of a flood that ended come out.
    if (!counted_.empty() && now_() >= countingEnds_) writeCounts();
    return;
  }
  appendDebugLine(line);
}

void DebugLog::appendRepeatable(std::string_view line) {
  const Clock::time_point now = now_();
  if (!counted_.empty() && now >= countingEnds_) writeCounts();
  for (auto& [counted, times] : counted_) {
    if (counted == line) {
      ++times;
      return;
    }
  }
  writeLine(line);
  if (counted_.size() >= kMaxCountedLines) return;  // a dial being turned: each line differs
  if (counted_.empty()) countingEnds_ = now + kRepeatWindow;
  counted_.emplace_back(line, 0);
}

void DebugLog::writeCounts() {
  for (const auto& [line, times] : std::exchange(counted_, {})) {
    if (times > 0) writeLine("Repeated " + std::to_string(times) + " more times: " + line);
  }
}

bool DebugLog::createIfMissing() {
  if (path_.empty()) return false;
  std::error_code ec;
  if (std::filesystem::exists(path_, ec) || ec) return false;
  return writeLine("Create");
}

std::filesystem::path defaultDebugLogPath() {
  const std::filesystem::path folder = xdgProgramFolder("XDG_STATE_HOME", ".local/state");
  return folder.empty() ? folder : folder / "icomdeb.txt";
}

std::string portTrialLine(int portNumber) {
  return portTrialLine(std::to_string(portNumber));
}

std::string portTrialLine(std::string_view port) {
  return "Trying COM " + std::string(port);
}

std::string baudLine(int baudRate) {
  return "      Baud " + std::to_string(baudRate);
}

std::string addressLine(int address) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(address & 0xFF));
  return std::string("       Adr ") + buf;
}

std::string modelLine(int modelIndex) {
  return "     Model " + std::string(modelName(modelIndex));
}

std::string portOpenErrorLine(int portNumber) {
  return portOpenErrorLine(std::to_string(portNumber));
}

std::string portOpenErrorLine(std::string_view port) {
  return "INIT: Error open COM" + std::string(port);
}

}  // namespace tarnwick

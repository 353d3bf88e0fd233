#include "shell/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tarnwick {

std::string settingsFileObstacle(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  if (S_ISFIFO(st.st_mode)) return "a FIFO";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  if (S_ISDIR(st.st_mode)) return "a folder";
  return "a device";
}

std::string prepareSettingsFile(const std::string& path) {
  const std::filesystem::path file(path);
  const std::filesystem::path folder = file.parent_path();
  if (!folder.empty()) {
    std::error_code ec;
    if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), ec);
    if (ec) return ec.message();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
  }
  // Never opens what is already there: a FIFO made meanwhile stays untouched.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd >= 0) {
    ::close(fd);
    return {};
  }
  if (errno != EEXIST) return std::strerror(errno);
  return ::access(path.c_str(), W_OK) == 0 ? std::string() : std::strerror(errno);
}

}  // namespace tarnwick

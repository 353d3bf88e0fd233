#pragma once
// The file operations the table commands need, behind an interface so that
// tests can replace them or make them fail.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

// The largest file the program reads: far beyond any memory list, and small
// enough that reading it cannot exhaust the machine.
inline constexpr std::size_t kMaxReadBytes = std::size_t{64} << 20;
inline constexpr std::string_view kFileTooLarge = "Larger than 64 MiB";
inline constexpr std::string_view kNotARegularFile = "Not a regular file";
inline constexpr std::string_view kNotEnoughMemory = "Not enough memory";

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True for an existing file that is not a folder.
  virtual bool exists(const std::string& path) = 0;
  // Reads the whole file; false, with the reason, when it cannot be opened or
  // read, is not a regular file (a folder, a FIFO, a device) or is larger
  // than kMaxReadBytes. Never blocks on what is not a file.
  virtual bool readAll(const std::string& path, std::string& bytes, std::string& reason) = 0;
  bool readAll(const std::string& path, std::string& bytes) {
    std::string reason;
    return readAll(path, bytes, reason);
  }
  // Replaces the file's content with `bytes` as one step: either the new
  // content is there in full or the old file is untouched.
  virtual bool replace(const std::string& path, std::string_view bytes) = 0;
};

// Writes a new file beside the old one, flushes it to disk and renames it
// over the old one. The old file's permissions carry over; a symbolic link
// stays a link and its target gets the content.
class PosixFileSystem : public FileSystem {
 public:
  using FileSystem::readAll;
  bool exists(const std::string& path) override;
  bool readAll(const std::string& path, std::string& bytes, std::string& reason) override;
  bool replace(const std::string& path, std::string_view bytes) override;

 protected:
  // The single steps of a replace, so that a test can fail one part-way.
  virtual ssize_t writeSome(int fd, const char* data, std::size_t size);
  virtual bool syncFile(int fd);
};

// The process-wide instance the commands use by default.
FileSystem& defaultFileSystem();

}  // namespace tarnwick

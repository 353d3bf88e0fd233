#pragma once
// The file operations the table commands need, behind an interface so that
// tests can replace them or make them fail.

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

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
  // content is there in full or the old file is untouched. False with the
  // system's reason ("No space left on device") when it cannot.
  virtual bool replace(const std::string& path, std::string_view bytes, std::string& reason) = 0;
  bool replace(const std::string& path, std::string_view bytes) {
    std::string reason;
    return replace(path, bytes, reason);
  }
  // Creates a file that must not exist yet, readable by its owner alone,
  // whose name appears only once its content is complete: the first free one
  // of nameFor(1), nameFor(2) ... nameFor(count), all in one folder. The
  // content is written and flushed to disk once, whichever name it gets.
  // Sets `taken` to that name (on failure, the name tried last); EEXIST
  // when every name is taken, else the system's error; nothing is left
  // behind on failure.
  virtual std::error_code createNew(const std::function<std::string(int)>& nameFor, int count,
                                    std::string_view bytes, std::string& taken) = 0;
  std::error_code createNew(const std::string& path, std::string_view bytes) {
    std::string taken;
    return createNew([&](int) { return path; }, 1, bytes, taken);
  }
};

// Writes a new file beside the old one, flushes it to disk and renames it
// over the old one. The old file's permissions carry over; a symbolic link
// stays a link and its target gets the content. The file being written is
// private until it takes the old one's place; those left behind by a save
// that was killed are removed by the next save of the same file.
class PosixFileSystem : public FileSystem {
 public:
  using FileSystem::readAll;
  using FileSystem::createNew;
  using FileSystem::replace;
  bool exists(const std::string& path) override;
  bool readAll(const std::string& path, std::string& bytes, std::string& reason) override;
  bool replace(const std::string& path, std::string_view bytes, std::string& reason) override;
  std::error_code createNew(const std::function<std::string(int)>& nameFor, int count,
                            std::string_view bytes, std::string& taken) override;

 protected:
  // The single steps of a replace, so that a test can fail one part-way.
  virtual ssize_t writeSome(int fd, const char* data, std::size_t size);
  virtual bool syncFile(int fd);

 private:
  // Writes `bytes` to a new temporary file beside `target`, flushed, given
  // `mode` (and the owner, when one is named) and closed, and names it in
  // `tempPath`; 0, or errno with nothing left behind.
  int writeTemp(const std::string& target, std::string_view bytes, mode_t mode,
                std::string& tempPath, uid_t owner = static_cast<uid_t>(-1),
                gid_t group = static_cast<gid_t>(-1));
  // Writes all of `bytes` to `fd` and flushes them; 0 or errno.
  int writeAndSync(int fd, std::string_view bytes);
  // Creates `path` exclusively and writes and flushes `bytes` into it, for a
  // file system without hard links; 0, or errno with nothing left behind.
  int writeExclusive(const std::string& path, std::string_view bytes);
};

// The name a save writes into before it takes the file's place:
// ".NAME.tmpPID-N" in the same folder.
std::string temporaryFileName(std::string_view name, long pid, unsigned counter);

// The process-wide instance the commands use by default.
FileSystem& defaultFileSystem();

}  // namespace tarnwick

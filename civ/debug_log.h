#pragma once
// The debug log: a text file appended one line at a time, each line written
// at once with a single call, lines ended by CR LF. The file stays open
// between lines (opening it for each one cost the link a good part of its
// turn-around at 115200 baud); once a second the name is checked, so a log
// deleted or moved away meanwhile starts again under its name. Nothing
// depends on it: when the file cannot be opened or written, the line is lost
// and further attempts pause for a while, so a broken log never stops or
// slows the link. It never grows past kDebugLogMaxBytes: the full file is
// kept as NAME.1 (replacing the one before) and a new one begins. Something
// other than a file under the name (a FIFO, a socket, a device) is never
// opened, since opening one can block or act on hardware; the log is then
// lost until a file can take its place.
//
// A radio with CI-V Transceive on, or other stations on the bus, send the
// same frames many times a second; logged each time they would push the
// log's last hour out of both files within minutes. Such lines come through
// appendRepeatable(): the first is written, the same line again within
// kRepeatWindow is counted, and the count follows once the window is over.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick {

inline constexpr std::uintmax_t kDebugLogMaxBytes = std::uintmax_t{4} << 20;
// How long a repeated line is counted before its count is written.
inline constexpr std::chrono::seconds kRepeatWindow{60};
// Different repeated lines counted at once; more are written as they come.
inline constexpr std::size_t kMaxCountedLines = 32;

class DebugLog {
 public:
  using Clock = std::chrono::steady_clock;

  // An empty path gives a log that writes nothing.
  explicit DebugLog(std::filesystem::path path);
  ~DebugLog();
  DebugLog(DebugLog&& other) noexcept;
  DebugLog& operator=(DebugLog&& other) noexcept;

  const std::filesystem::path& path() const { return path_; }

  // Appends `line` and CR LF. Creates the folder and the file when missing.
  void appendDebugLine(std::string_view line);
  // The same, unless `line` is the line appended last: a state that repeats
  // every second says so once.
  void appendUnlessRepeated(std::string_view line);
  // A line that may come many times a second (frames for other stations):
  // the same line again within kRepeatWindow is counted, not written, and
  // "Repeated N more times: LINE" follows at the first line logged after
  // the window (or at the end). It never counts as the line appended last.
  void appendRepeatable(std::string_view line);

  // While held, lines gather in memory and reach the file in one write at
  // flush() or release(). The engine holds the log through each of its steps
  // and flushes once a request has gone out, so that writing the lines of a
  // turn never delays the request itself.
  void hold() { ++holds_; }
  void flush();
  void release();

  // Start-up: creates the folder and an empty file when the file does not
  // exist yet and then writes "Create" as its first line. Returns whether it
  // created the file.
  bool createIfMissing();

  // What was found under the name instead of a file, for the user:
  // "The debug log /x/icomdeb.txt is a FIFO, not a file: the program goes
  // on without it." Empty while the name holds a file or nothing.
  const std::string& notAFile() const { return notAFile_; }

  // True while attempts pause after a failure.
  bool pausedAfterFailure() const;
  int failures() const { return failures_; }

  // How long attempts pause after a failure; a clock for tests.
  void setRetryPause(Clock::duration pause) { retryPause_ = pause; }
  void setClock(std::function<Clock::time_point()> now) { now_ = std::move(now); }
  void setMaxBytes(std::uintmax_t bytes) { maxBytes_ = bytes; }

 private:
  bool writeLine(std::string_view line);
  bool writeText(const std::string& text);
  // The open file, after the checks that say it is still the one under the
  // name and has room for `bytes` more; -1 when it cannot be opened.
  int fileFor(std::size_t bytes);
  int openFile();
  void noteNotAFile(unsigned mode);
  // Writes the counts of the repeated lines and begins a new window.
  void writeCounts();
  void closeFile();

  std::filesystem::path path_;
  int fd_ = -1;
  std::uintmax_t size_ = 0;  // of the open file, as far as this process wrote it
  Clock::time_point nameCheckAt_{};
  Clock::duration retryPause_ = std::chrono::seconds(30);
  std::function<Clock::time_point()> now_ = [] { return Clock::now(); };
  bool failed_ = false;
  Clock::time_point retryAt_{};
  int failures_ = 0;
  std::uintmax_t maxBytes_ = kDebugLogMaxBytes;
  std::string lastLine_;
  std::string notAFile_;
  // Repeatable lines of the running window and how often each came again.
  std::vector<std::pair<std::string, long>> counted_;
  Clock::time_point countingEnds_{};
  int holds_ = 0;
  std::string held_;  // lines gathered while held
};

// $XDG_STATE_HOME/tarnwick/icomdeb.txt, by default
// ~/.local/state/tarnwick/icomdeb.txt; empty when neither variable is set.
std::filesystem::path defaultDebugLogPath();

// Lines that the start-up sequence writes around opening the port.
std::string portTrialLine(int portNumber);  // "Trying COM 3"
// The same for a port named otherwise ("Trying COM /dev/ttyUSB0").
std::string portTrialLine(std::string_view port);
std::string baudLine(int baudRate);             // "      Baud 9600"
std::string addressLine(int address);           // "       Adr 5C"
std::string modelLine(int modelIndex);          // "     Model IC-756Pro"
std::string portOpenErrorLine(int portNumber);  // "INIT: Error open COM3"
std::string portOpenErrorLine(std::string_view port);

}  // namespace tarnwick

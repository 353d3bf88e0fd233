#pragma once
// Test fixtures for the serial tests: a pseudo-terminal pair whose slave
// plays the serial device, a temporary lock directory, and an error box that
// records what it was asked to show.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "serial/serial_errors.h"

namespace tarnwick::testing {

class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& devicePath() const { return path_; }
  int master() const { return master_; }

  // The far end of the line.
  void send(std::string_view bytes);
  // What arrived, waiting at most `timeout` for `count` bytes.
  std::string receive(std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));
  // As if the cable were pulled: the slave side hangs up.
  void closeMaster();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct RecordingDialog : SerialErrorDialog {
  void showError(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// The line speed the slave's driver holds (termios2 read back through the master).
long slaveSpeed(int master);

}  // namespace tarnwick::testing

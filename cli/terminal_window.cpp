#include "cli/terminal_window.h"

#include <algorithm>
#include <charconv>

namespace tarnwick::cli {
namespace {

// The number after a status prefix such as "Reading #".
int numberAfter(std::string_view text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) return -1;
  int n = -1;
  const std::string_view digits = text.substr(prefix.size());
  std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return n;
}

}  // namespace

void TerminalWindow::setStatus(std::string_view left, std::string_view right) {
  if (left == "Ready") ready_ = true;
  // The engine stops on its own: no read sequence, no backup, a bad address.
  if (left == "Stop" || left == "Backup failed" || left == "Address error") stopped_ = true;
  if (left == "Backup failed") backupFailed_ = true;
  if (const int t = numberAfter(left, "Timeout ("); t >= 0) timeout_ = t;

  int n = numberAfter(left, "Reading #");
  if (n < 0) n = numberAfter(left, "Writing #");
  if (n < 0) n = numberAfter(left, "Backup #");
  if (bar_ && n >= 0 && total_ > 0) {
    constexpr int kWidth = 30;
    const int filled = std::min(kWidth, n * kWidth / total_);
    // One write per status: the error stream is unbuffered, and a write per
    // piece would cost the link's turn-around a system call each.
    std::string bar = "\r[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), ' ');
    bar.append("] ").append(left).append(" of ").append(std::to_string(total_)).append("   ");
    err_ << bar << std::flush;
    barOpen_ = true;
    return;
  }
  std::string line(left);
  if (!right.empty()) line += "  " + std::string(right);
  if (line.empty() || line == lastLine_) return;
  lastLine_ = line;
  endProgress();
  line += '\n';
  err_ << line << std::flush;
}

void TerminalWindow::showModalError(std::string_view text, std::string_view caption) {
  endProgress();
  err_ << caption << ": " << text << '\n' << std::flush;
}

void TerminalWindow::resetResult() {
  ready_ = false;
  stopped_ = false;
  timeout_.reset();
  lastLine_.clear();
}

void TerminalWindow::endProgress() {
  if (!barOpen_) return;
  err_ << '\n';
  barOpen_ = false;
}

}  // namespace tarnwick::cli

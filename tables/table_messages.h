#pragma once
// How the table operations tell the user about a failure: the window shows
// an error box with an OK button, tests record the text.

#include <string_view>

namespace tarnwick {

// Latin-1, like every cell text: 0xB4 is the acute accent.
inline constexpr std::string_view kTableFullMessage = "Table full. Can\xB4t insert.";

class TableMessages {
 public:
  virtual ~TableMessages() = default;
  virtual void showError(std::string_view text) = 0;
  // A typed value that was refused: the cell keeps its text and the user
  // learns why without a box to dismiss (the window's status bar).
  virtual void showRefusal(std::string_view text) { showError(text); }
  // What an operation changed on the user's behalf, too long for the status
  // bar (a box with OK in the window).
  virtual void showReport(std::string_view text) { showRefusal(text); }
};

}  // namespace tarnwick

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
};

}  // namespace tarnwick

#pragma once
// The known texts of a table that complete what the user types. Matching
// ignores case, so texts that differ only in case count as one: the first
// spelling added is kept.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarnwick {

// Case folding of a Latin-1 text (the cell texts are Latin-1 bytes).
std::string foldCase(std::string_view text);

class NameList {
 public:
  // Adds the text unless it is empty or already there in any case.
  void add(std::string_view text);
  void clear();
  bool contains(std::string_view text) const;  // ignoring case
  std::size_t size() const { return items_.size(); }
  const std::vector<std::string>& items() const { return items_; }
  // Every known text that begins with `prefix`, ignoring case, in the order
  // they were added.
  std::vector<std::string> completions(std::string_view prefix) const;

 private:
  std::vector<std::string> items_;
  std::unordered_set<std::string> seen_;  // folded
};

}  // namespace tarnwick

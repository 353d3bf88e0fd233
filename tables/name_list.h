#pragma once
// The known texts of a table that complete what the user types: no
// duplicates, matched without regard to case.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarnwick {

class NameList {
 public:
  // Adds the text unless it is empty or already there (exact bytes).
  void add(std::string_view text);
  void clear();
  bool contains(std::string_view text) const;
  std::size_t size() const { return items_.size(); }
  const std::vector<std::string>& items() const { return items_; }
  // Every known text that begins with `prefix`, ignoring ASCII case, in the
  // order they were added.
  std::vector<std::string> completions(std::string_view prefix) const;

 private:
  std::vector<std::string> items_;
  std::unordered_set<std::string> seen_;
};

}  // namespace tarnwick

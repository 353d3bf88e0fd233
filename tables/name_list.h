#pragma once
// The known texts of a table that complete what the user types. Matching
// ignores case, so texts that differ only in case count as one: the first
// spelling added is kept.

#include <cstdint>
#include <string>
#include <string_view>
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
  // The slot of `text` (ignoring case) in slots_, or the empty one it would take.
  std::size_t slotOf(std::string_view text) const;
  void grow();

  std::vector<std::string> items_;
  // A set over items_ that ignores case, open-addressed: each slot holds an
  // index into items_ plus one, or 0 when empty. A few bytes a name, where a
  // set of folded copies took a hundred: a large permanent file names tens
  // of thousands of channels, and both tables know every name.
  std::vector<std::uint32_t> slots_;
};

}  // namespace tarnwick

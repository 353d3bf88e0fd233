#pragma once
// One column of a multi-column sort.

namespace tarnwick {

// One column of a multi-column sort, in the order the keys apply.
struct SortKey {
  int column = 0;
  bool descending = false;
  bool operator==(const SortKey&) const = default;
};

}  // namespace tarnwick

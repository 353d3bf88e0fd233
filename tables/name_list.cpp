#include "tables/name_list.h"

#include "tables/latin1_case.h"

namespace tarnwick {
namespace {

char lower(char c) {
  return lowerLatin1(c);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

std::string foldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

void NameList::add(std::string_view text) {
  if (text.empty()) return;
  if (seen_.insert(foldCase(text)).second) items_.emplace_back(text);
}

void NameList::clear() {
  items_.clear();
  seen_.clear();
}

bool NameList::contains(std::string_view text) const {
  return seen_.count(foldCase(text)) != 0;
}

std::vector<std::string> NameList::completions(std::string_view prefix) const {
  std::vector<std::string> out;
  for (const std::string& s : items_) {
    if (startsWithNoCase(s, prefix)) out.push_back(s);
  }
  return out;
}

}  // namespace tarnwick

#include "tables/name_list.h"

namespace tarnwick {
namespace {

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

void NameList::add(std::string_view text) {
  if (text.empty()) return;
  std::string s(text);
  if (seen_.insert(s).second) items_.push_back(std::move(s));
}

void NameList::clear() {
  items_.clear();
  seen_.clear();
}

bool NameList::contains(std::string_view text) const {
  return seen_.count(std::string(text)) != 0;
}

std::vector<std::string> NameList::completions(std::string_view prefix) const {
  std::vector<std::string> out;
  for (const std::string& s : items_) {
    if (startsWithNoCase(s, prefix)) out.push_back(s);
  }
  return out;
}

}  // namespace tarnwick

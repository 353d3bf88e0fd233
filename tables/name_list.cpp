#include "tables/name_list.h"

#include <algorithm>

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

// FNV-1a over the small letters, mixed so that the low bits serve as a slot.
std::size_t foldedHash(std::string_view text) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const char c : text) {
    h ^= static_cast<unsigned char>(lower(c));
    h *= 0x100000001b3ull;
  }
  h ^= h >> 32;
  h *= 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

std::string foldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

std::size_t NameList::slotOf(std::string_view text) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = foldedHash(text) & mask;; i = (i + 1) & mask) {
    const std::uint32_t at = slots_[i];
    if (at == 0 || compareNoCase(items_[at - 1], text) == 0) return i;
  }
}

void NameList::grow() {
  // At most half full, so that a look-up ends after a few slots.
  std::vector<std::uint32_t> wider(std::max<std::size_t>(16, slots_.size() * 2), 0);
  slots_.swap(wider);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t k = 0; k < items_.size(); ++k) {
    std::size_t i = foldedHash(items_[k]) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = static_cast<std::uint32_t>(k + 1);
  }
}

void NameList::add(std::string_view text) {
  if (text.empty()) return;
  if ((items_.size() + 1) * 2 > slots_.size()) grow();
  const std::size_t i = slotOf(text);
  if (slots_[i] != 0) return;
  items_.emplace_back(text);
  slots_[i] = static_cast<std::uint32_t>(items_.size());
}

void NameList::clear() {
  items_ = {};
  slots_ = {};
}

bool NameList::contains(std::string_view text) const {
  return !slots_.empty() && slots_[slotOf(text)] != 0;
}

std::vector<std::string> NameList::completions(std::string_view prefix) const {
  std::vector<std::string> out;
  for (const std::string& s : items_) {
    if (startsWithNoCase(s, prefix)) out.push_back(s);
  }
  return out;
}

}  // namespace tarnwick

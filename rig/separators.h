#pragma once
// The decimal and thousands separators of the user's locale. Codecs take them
// as a parameter that defaults to Separators::current(), so tests can run the
// same code under a point and a comma locale.

namespace tarnwick {

struct Separators {
  char decimal = '.';
  char thousands = ',';

  // The separators in force: an override installed by ScopedSeparators, or
  // those of the user's locale (LC_NUMERIC), read once and cached.
  static Separators current();
  // Reads LC_NUMERIC of the environment afresh.
  static Separators fromUserLocale();

  static constexpr Separators point() { return {'.', ','}; }
  static constexpr Separators comma() { return {',', '.'}; }

  constexpr bool operator==(const Separators&) const = default;
};

// Installs separators for the lifetime of the object (tests, tools).
class ScopedSeparators {
 public:
  explicit ScopedSeparators(Separators s);
  ~ScopedSeparators();
  ScopedSeparators(const ScopedSeparators&) = delete;
  ScopedSeparators& operator=(const ScopedSeparators&) = delete;

 private:
  bool hadPrevious_;
  Separators previous_;
};

}  // namespace tarnwick

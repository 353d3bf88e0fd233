#include "files/file_paths.h"

#include <cstdlib>

namespace tarnwick {

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

SplitPath splitPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, slash + 1)), std::string(path.substr(slash + 1))};
}

std::filesystem::path xdgProgramFolder(const char* variable, std::string_view underHome) {
  std::filesystem::path base;
  if (const char* set = std::getenv(variable); set != nullptr && *set == '/') {
    base = set;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::filesystem::path(home) / underHome;
  } else {
    return {};
  }
  return base / "tarnwick";
}

}  // namespace tarnwick

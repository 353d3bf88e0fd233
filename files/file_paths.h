#pragma once
// File names of the two tables (a folder shared by both plus one name each),
// and where the program keeps files of its own.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kDefaultPermanentFileName = "icommemo.txt";
inline constexpr std::string_view kDefaultRigFileName = "icommem1.txt";

// folder + "/" + name; a folder that already ends in "/" gets no second one.
// An empty folder gives "/" + name: the file then lies in the root folder.
std::string joinPath(std::string_view folder, std::string_view name);

struct SplitPath {
  std::string folder;  // with its trailing "/", empty when the name has none
  std::string name;
};
SplitPath splitPath(std::string_view path);

// The program's own folder under an XDG base folder: $variable/tarnwick when
// the variable holds an absolute path, else ~/underHome/tarnwick; empty when
// neither is known.
std::filesystem::path xdgProgramFolder(const char* variable, std::string_view underHome);

}  // namespace tarnwick

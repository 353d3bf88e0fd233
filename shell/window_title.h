#pragma once
// The main window's title: the program and its version, then each table's
// file with "*" while it has unsaved changes.

#include <string>
#include <string_view>

namespace tarnwick {

// The program's name and version; message boxes carry it as their caption.
inline constexpr std::string_view kProgramTitle = "Tarnwick V0.71d";

struct TitleFile {
  std::string_view name;
  bool unsaved = false;
};

// "Tarnwick V0.71d - icommemo.txt*, icommem1.txt": the permanent file
// first, then the rig table's file.
std::string windowTitleText(TitleFile permanentFile, TitleFile rigFile);

}  // namespace tarnwick

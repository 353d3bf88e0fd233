#include "shell/window_title.h"

namespace tarnwick {
namespace {

std::string fileText(TitleFile file) {
  std::string text(file.name);
  if (file.unsaved) text += '*';
  return text;
}

}  // namespace

std::string windowTitleText(TitleFile permanentFile, TitleFile rigFile) {
  return std::string(kProgramTitle) + " - " + fileText(permanentFile) + ", " + fileText(rigFile);
}

}  // namespace tarnwick

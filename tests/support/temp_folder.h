#pragma once
// A fresh folder under the system's temporary folder, removed with its
// content at the end of the test.

#include <string>
#include <vector>

namespace tarnwick::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing "/".
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the folder, hidden ones included, sorted.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

}  // namespace tarnwick::testing

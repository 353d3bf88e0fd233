#pragma once
// The settings file on disk, before the settings store opens it: what stands
// in its place when that is not a file (a FIFO would block the store's read
// for ever), and the private folder and file it is written into.

#include <string>

namespace tarnwick {

// "a FIFO", "a socket", "a device", "a folder" when that stands at `path`
// (through a link, too); empty for a plain file or nothing at all.
std::string settingsFileObstacle(const std::string& path);

// Creates the file's folder (0700; the folders above as usual) and the file
// itself, empty and 0600, when they are missing, so that the settings are
// the user's alone from the first write on. Empty, or why the file cannot
// be written, in the system's words ("Read-only file system").
std::string prepareSettingsFile(const std::string& path);

}  // namespace tarnwick

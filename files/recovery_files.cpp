#include "files/recovery_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/file_paths.h"
#include "files/memory_list_format.h"
#include "files/rig_backups.h"

namespace tarnwick {
namespace {

constexpr std::string_view kPermanentPrefix = "permanent-";
constexpr std::string_view kRigPrefix = "rig-";
constexpr std::string_view kExtension = ".txt";
constexpr std::string_view kOfferedTag = "-offered";

}  // namespace

std::filesystem::path defaultRecoveryFolder() {
  const std::filesystem::path folder = xdgProgramFolder("XDG_STATE_HOME", ".local/state");
  return folder.empty() ? folder : folder / "recovery";
}

RecoveryFolder::RecoveryFolder(std::filesystem::path folder, FileSystem& fs)
    : folder_(std::move(folder)), fs_(&fs) {}

std::string RecoveryFolder::keep(const ChannelTable& table, std::string& error,
                                 std::chrono::system_clock::time_point when) {
  if (folder_.empty()) {
    error = "no folder to keep it in: neither XDG_STATE_HOME nor HOME is set";
    return {};
  }
  std::error_code ec;
  if (folder_.has_parent_path()) std::filesystem::create_directories(folder_.parent_path(), ec);
  if (ec) {
    // The real cause (a read-only file system), not the missing folder it leaves.
    error = "cannot create " + folder_.parent_path().string() + ": " + ec.message();
    return {};
  }
  if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "cannot create " + folder_.string() + ": " + std::strerror(errno);
    return {};
  }
  const std::string bytes = formatMemoryList(table);
  std::string stem(table.isRig() ? kRigPrefix : kPermanentPrefix);
  stem += utcStamp(when);
  std::string path;
  const std::error_code created = fs_->createNew(
      [&](int n) {
        std::string name = stem;
        if (n > 1) {
          name += '-';
          name += std::to_string(n);
        }
        name += kExtension;
        return (folder_ / name).string();
      },
      999, bytes, path);
  if (created == std::errc::file_exists) {
    error = "too many files in " + folder_.string();
    return {};
  }
  if (created) {
    error = "cannot write " + path + ": " + created.message();
    return {};
  }
  return path;
}

std::vector<KeptTable> RecoveryFolder::pending() const {
  std::vector<KeptTable> kept;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!it->is_regular_file(ec) || !name.ends_with(kExtension)) continue;
    if (name.substr(0, name.size() - kExtension.size()).ends_with(kOfferedTag)) continue;
    if (name.starts_with(kPermanentPrefix)) {
      kept.push_back({TableKind::PermanentFile, it->path().string()});
    } else if (name.starts_with(kRigPrefix)) {
      kept.push_back({TableKind::Rig, it->path().string()});
    }
  }
  // The time stamp follows the same prefix: by name within a table is by time.
  std::sort(kept.begin(), kept.end(), [](const KeptTable& a, const KeptTable& b) {
    return splitPath(a.path).name.substr(a.table == TableKind::Rig ? kRigPrefix.size()
                                                                   : kPermanentPrefix.size()) <
           splitPath(b.path).name.substr(b.table == TableKind::Rig ? kRigPrefix.size()
                                                                   : kPermanentPrefix.size());
  });
  return kept;
}

std::string RecoveryFolder::offeredPath(const std::string& path) {
  // A file kept in the second an earlier one was kept and offered finds
  // that name taken: a number goes before the tag.
  const std::string stem = path.substr(0, path.size() - kExtension.size());
  std::string offered = stem + std::string(kOfferedTag) + std::string(kExtension);
  for (int n = 2; n < 1000 && std::filesystem::exists(offered); ++n) {
    offered = stem + '-' + std::to_string(n) + std::string(kOfferedTag) + std::string(kExtension);
  }
  return offered;
}

std::string RecoveryFolder::markOffered(const std::string& path) const {
  const std::string offered = offeredPath(path);
  // Never over an existing file.
  if (std::filesystem::exists(offered) || std::rename(path.c_str(), offered.c_str()) != 0) {
    return path;
  }
  return offered;
}

}  // namespace tarnwick

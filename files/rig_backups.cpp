#include "files/rig_backups.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <tuple>

#include "files/file_paths.h"
#include "files/memory_list_format.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

constexpr std::string_view kExtension = ".txt";
constexpr std::string_view kBeforeStoreTag = "_before-store";
constexpr std::size_t kStampLength = 16;  // 20240501T101500Z
constexpr int kMaxSameSecond = 1000;
constexpr std::string_view kNoFolder =
    "no folder for backups: neither XDG_DATA_HOME nor HOME is set";

bool isDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a backup's file name says; the radio is the model and band part.
struct BackupName {
  std::string radio;
  BackupKind kind = BackupKind::BankRead;
  std::string stamp;
  int sequence = 1;
};

// False for any file that is not a backup.
bool parseName(std::string_view name, BackupName& key) {
  if (!name.ends_with(kExtension)) return false;
  name.remove_suffix(kExtension.size());
  key.kind = BackupKind::BankRead;
  if (name.ends_with(kBeforeStoreTag)) {
    name.remove_suffix(kBeforeStoreTag.size());
    key.kind = BackupKind::BeforeStore;
  }
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos || underscore == 0) return false;
  std::string_view stamp = name.substr(underscore + 1);
  key.sequence = 1;
  if (const std::size_t dash = stamp.find('-'); dash != std::string_view::npos) {
    const std::string_view seq = stamp.substr(dash + 1);
    if (!isDigits(seq) || seq.size() > 4) return false;
    key.sequence = std::atoi(std::string(seq).c_str());
    stamp = stamp.substr(0, dash);
  }
  if (stamp.size() != kStampLength || !isDigits(stamp.substr(0, 8)) || stamp[8] != 'T' ||
      !isDigits(stamp.substr(9, 6)) || stamp[15] != 'Z') {
    return false;
  }
  key.radio = std::string(name.substr(0, underscore));
  key.stamp = std::string(stamp);
  return true;
}

// The UTC stamp of parseName as a time.
std::chrono::system_clock::time_point stampTime(const std::string& stamp) {
  std::tm tm{};
  tm.tm_year = std::atoi(stamp.substr(0, 4).c_str()) - 1900;
  tm.tm_mon = std::atoi(stamp.substr(4, 2).c_str()) - 1;
  tm.tm_mday = std::atoi(stamp.substr(6, 2).c_str());
  tm.tm_hour = std::atoi(stamp.substr(9, 2).c_str());
  tm.tm_min = std::atoi(stamp.substr(11, 2).c_str());
  tm.tm_sec = std::atoi(stamp.substr(13, 2).c_str());
  return std::chrono::system_clock::from_time_t(::timegm(&tm));
}

// The file name; the second backup of the same second gets "-2" after the
// time, and so on.
std::string makeName(int modelIndex, std::string_view bandText, BackupKind kind,
                     std::chrono::system_clock::time_point when, int sequence) {
  std::string name(modelName(modelIndex));
  const RigModel* model = findRigModel(modelIndex);
  if (model != nullptr && model->usesBand) {
    name += '_';
    for (char c : bandText) {
      if (c != ' ') name += c;
    }
  }
  name += '_';
  name += utcStamp(when);
  if (sequence > 1) {
    name += '-';
    name += std::to_string(sequence);
  }
  if (kind == BackupKind::BeforeStore) name += kBeforeStoreTag;
  name += kExtension;
  return name;
}

}  // namespace

std::string utcStamp(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  ::gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ", &tm);
  return buf;
}

std::filesystem::path defaultBackupFolder() {
  const std::filesystem::path folder = xdgProgramFolder("XDG_DATA_HOME", ".local/share");
  return folder.empty() ? folder : folder / "backups";
}

std::string backupFileName(int modelIndex, std::string_view bandText, BackupKind kind,
                           std::chrono::system_clock::time_point when) {
  return makeName(modelIndex, bandText, kind, when, 1);
}

BackupFolder::BackupFolder(std::filesystem::path folder, FileSystem& fs)
    : folder_(std::move(folder)), fs_(&fs) {}

BackupFolder BackupFolder::userFolder() {
  BackupFolder backups(defaultBackupFolder());
  if (backups.folder_.empty()) backups.missing_ = kNoFolder;
  return backups;
}

std::string BackupFolder::unusableReason() const {
  if (!missing_.empty()) return missing_;
  if (folder_.empty()) return {};
  std::error_code ec;
  if (!std::filesystem::is_directory(folder_, ec)) {
    // Backups are for the user's eyes only; the folders above are the usual ones.
    if (folder_.has_parent_path()) {
      // The real cause (a read-only file system), not the missing folder it leaves.
      std::filesystem::create_directories(folder_.parent_path(), ec);
      if (ec) return "cannot create " + folder_.parent_path().string() + ": " + ec.message();
    }
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
      return "cannot create " + folder_.string() + ": " + std::strerror(errno);
    }
  }
  if (::access(folder_.c_str(), W_OK | X_OK) != 0) {
    return "cannot write in " + folder_.string() + ": " + std::strerror(errno);
  }
  return {};
}

BackupOutcome BackupFolder::save(const ChannelTable& table, int modelIndex,
                                 std::string_view bandText, BackupKind kind,
                                 std::chrono::system_clock::time_point when) {
  BackupOutcome outcome;
  if (!enabled()) {
    outcome.error = "backups are off";
    return outcome;
  }
  if (std::string why = unusableReason(); !why.empty()) {
    outcome.error = std::move(why);
    return outcome;
  }
  // A backup records its radio as a saved rig table does.
  const std::string bytes = formatMemoryList(table, radioName(modelIndex, bandText));
  // Another program may back up the same radio in the same second: the name
  // is taken only if it is free, else the next sequence number is tried.
  std::string path;
  const std::error_code ec = fs_->createNew(
      [&](int sequence) {
        return (folder_ / makeName(modelIndex, bandText, kind, when, sequence)).string();
      },
      kMaxSameSecond, bytes, path);
  if (ec == std::errc::file_exists) {
    outcome.error = "too many backups within one second in " + folder_.string();
  } else if (ec) {
    outcome.error = "cannot write " + path + ": " + ec.message();
  } else {
    outcome.path = path;
    removeExpired(when, path);
  }
  return outcome;
}

void BackupFolder::removeExpired(std::chrono::system_clock::time_point now,
                                 const std::filesystem::path& justWritten) const {
  // Newest first within each radio and kind.
  std::map<std::pair<std::string, BackupKind>,
           std::vector<std::pair<BackupName, std::filesystem::path>>>
      groups;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    BackupName key;
    if (it->is_regular_file(ec) && parseName(it->path().filename().string(), key)) {
      auto& group = groups[{key.radio, key.kind}];
      group.emplace_back(std::move(key), it->path());
    }
  }
  const auto oldestKeptStore = now - std::chrono::days(kBeforeStoreDaysKept);
  for (auto& [id, group] : groups) {
    std::sort(group.begin(), group.end(), [](const auto& a, const auto& b) {
      return std::tie(b.first.stamp, b.first.sequence) < std::tie(a.first.stamp, a.first.sequence);
    });
    // The backup just reported counts as the newest, whatever its stamp: a
    // clock set back must not make it the first to go.
    const auto written = std::find_if(group.begin(), group.end(), [&](const auto& e) {
      return e.second.filename() == justWritten.filename();
    });
    if (written != group.end()) std::rotate(group.begin(), written, written + 1);
    const bool reads = id.second == BackupKind::BankRead;
    const std::size_t kept = reads ? kReadBackupsKept : kBeforeStoreKept;
    for (std::size_t i = kept; i < group.size(); ++i) {
      if (!reads && stampTime(group[i].first.stamp) >= oldestKeptStore) continue;
      std::filesystem::remove(group[i].second, ec);
    }
  }
}

std::vector<std::filesystem::path> BackupFolder::list() const {
  struct Entry {
    BackupName key;
    std::filesystem::path path;
  };
  std::vector<Entry> entries;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    BackupName key;
    if (it->is_regular_file(ec) && parseName(it->path().filename().string(), key)) {
      entries.push_back({std::move(key), it->path()});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return std::tie(a.key.stamp, a.key.sequence, a.path) <
           std::tie(b.key.stamp, b.key.sequence, b.path);
  });
  std::vector<std::filesystem::path> out;
  out.reserve(entries.size());
  for (Entry& e : entries) out.push_back(std::move(e.path));
  return out;
}

}  // namespace tarnwick

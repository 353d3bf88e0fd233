#include "files/rig_backups.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
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

bool isDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct NameKey {
  std::string stamp;
  int sequence = 1;
};

// The time stamp and the same-second sequence of a backup's file name;
// false for any other file.
bool parseName(std::string_view name, NameKey& key) {
  if (!name.ends_with(kExtension)) return false;
  name.remove_suffix(kExtension.size());
  if (name.ends_with(kBeforeStoreTag)) name.remove_suffix(kBeforeStoreTag.size());
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos) return false;
  std::string_view stamp = name.substr(underscore + 1);
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
  key.stamp = std::string(stamp);
  return true;
}

std::string utcStamp(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  ::gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ", &tm);
  return buf;
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

BackupOutcome BackupFolder::save(const ChannelTable& table, int modelIndex,
                                 std::string_view bandText, BackupKind kind,
                                 std::chrono::system_clock::time_point when) {
  BackupOutcome outcome;
  if (!enabled()) {
    outcome.error = "no backup folder";
    return outcome;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) {
    outcome.error = "cannot create " + folder_.string() + ": " + ec.message();
    return outcome;
  }
  std::string path;
  for (int sequence = 1; sequence <= kMaxSameSecond; ++sequence) {
    path = (folder_ / makeName(modelIndex, bandText, kind, when, sequence)).string();
    if (!fs_->exists(path)) break;
  }
  if (fs_->exists(path)) {
    outcome.error = "too many backups within one second in " + folder_.string();
    return outcome;
  }
  if (!fs_->replace(path, formatMemoryList(table))) {
    outcome.error = "cannot write " + path;
    return outcome;
  }
  outcome.path = path;

  std::vector<std::filesystem::path> all = list();
  for (std::size_t i = 0; all.size() - i > kBackupsKept; ++i) {
    std::filesystem::remove(all[i], ec);
  }
  return outcome;
}

std::vector<std::filesystem::path> BackupFolder::list() const {
  struct Entry {
    NameKey key;
    std::filesystem::path path;
  };
  std::vector<Entry> entries;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    NameKey key;
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

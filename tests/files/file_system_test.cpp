#include "files/file_system.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// Writes normally until `allowed` bytes have gone out, then fails as a full
// disk does.
class FailingFileSystem : public PosixFileSystem {
 public:
  explicit FailingFileSystem(std::size_t allowed) : allowed_(allowed) {}
  bool failSync = false;

 protected:
  ssize_t writeSome(int fd, const char* data, std::size_t size) override {
    if (written_ >= allowed_) {
      errno = ENOSPC;
      return -1;
    }
    // Short writes on the way, as a real device may give them.
    const std::size_t n = std::min({size, allowed_ - written_, std::size_t{7}});
    const ssize_t done = PosixFileSystem::writeSome(fd, data, n);
    if (done > 0) written_ += static_cast<std::size_t>(done);
    return done;
  }
  bool syncFile(int fd) override { return !failSync && PosixFileSystem::syncFile(fd); }

 private:
  std::size_t allowed_;
  std::size_t written_ = 0;
};

TEST(FileSystem, ReplaceWritesNewFilesAndReplacesOldOnes) {
  TempFolder dir;
  PosixFileSystem fs;
  const std::string path = dir.file("list.txt");
  EXPECT_FALSE(fs.exists(path));
  ASSERT_TRUE(fs.replace(path, "first\r\n"));
  EXPECT_TRUE(fs.exists(path));
  ASSERT_TRUE(fs.replace(path, std::string("se\0cond\r\n", 9)));
  std::string bytes;
  ASSERT_TRUE(fs.readAll(path, bytes));
  EXPECT_EQ(bytes, std::string("se\0cond\r\n", 9));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"list.txt"});
  EXPECT_FALSE(fs.exists(dir.path()));  // a folder is not a file
  EXPECT_FALSE(fs.readAll(dir.path(), bytes));
  EXPECT_FALSE(fs.readAll(dir.file("missing.txt"), bytes));
  EXPECT_FALSE(fs.replace(dir.file("no/such/folder.txt"), "x"));
}

// Backups made within one second: the content is written and flushed once
// and takes the first free name, never one that is taken.
TEST(FileSystem, CreateNewTakesTheFirstFreeNameAndFlushesTheContentOnce) {
  class CountingFileSystem : public PosixFileSystem {
   public:
    int syncs = 0;

   protected:
    bool syncFile(int fd) override {
      ++syncs;
      return PosixFileSystem::syncFile(fd);
    }
  } fs;
  TempFolder dir;
  writeBytes(dir.file("b.txt"), "theirs");
  writeBytes(dir.file("b-2.txt"), "theirs too");
  const auto nameFor = [&](int n) {
    return dir.file(n == 1 ? "b.txt" : "b-" + std::to_string(n) + ".txt");
  };
  std::string taken;
  ASSERT_FALSE(fs.createNew(nameFor, 3, "ours", taken));
  EXPECT_EQ(taken, dir.file("b-3.txt"));
  EXPECT_EQ(fs.syncs, 1);
  EXPECT_EQ(testing::readBytes(taken), "ours");
  EXPECT_EQ(testing::readBytes(dir.file("b-2.txt")), "theirs too");
  EXPECT_EQ(fs.createNew(nameFor, 3, "more", taken), std::errc::file_exists);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"b-2.txt", "b-3.txt", "b.txt"}));
}

TEST(FileSystem, FailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
  TempFolder dir;
  const std::string path = dir.file("icommemo.txt");
  const std::string old = "old content\r\nline two\r\n";
  writeBytes(path, old);
  for (std::size_t allowed : {std::size_t{0}, std::size_t{5}, std::size_t{20}}) {
    FailingFileSystem fs(allowed);
    EXPECT_FALSE(fs.replace(path, std::string(100, 'n')));
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"icommemo.txt"});
  }
  FailingFileSystem syncFails(1000);
  syncFails.failSync = true;
  EXPECT_FALSE(syncFails.replace(path, "new"));
  EXPECT_EQ(readBytes(path), old);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"icommemo.txt"});
}

// A real write failure from the kernel: a file-size limit makes write() stop
// part-way with EFBIG, as a full disk stops it with ENOSPC.
TEST(FileSystem, FileSizeLimitStopsTheWriteAndTheOldFileStays) {
  TempFolder dir;
  const std::string path = dir.file("icommemo.txt");
  const std::string old(300, 'o');
  writeBytes(path, old);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  PosixFileSystem fs;
  const bool replaced = fs.replace(path, std::string(1000, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(readBytes(path), old);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"icommemo.txt"});
}

// list.txt in `dir`, holding "old", with permissions `mode`; its path.
std::string oldListWithMode(const TempFolder& dir, mode_t mode) {
  const std::string path = dir.file("list.txt");
  writeBytes(path, "old");
  EXPECT_EQ(::chmod(path.c_str(), mode), 0);
  return path;
}

TEST(FileSystem, ReplaceKeepsPermissionsAndSymbolicLinks) {
  TempFolder dir;
  PosixFileSystem fs;
  const std::string path = oldListWithMode(dir, 0640);
  ASSERT_TRUE(fs.replace(path, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string link = dir.file("link.txt");
  std::filesystem::create_symlink(path, link);
  ASSERT_TRUE(fs.replace(link, "through the link"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(path), "through the link");
}

TEST(FileSystem, TemporaryFilesArePrivateAndThoseOfAKilledSaveGoAtTheNextSave) {
  TempFolder dir;
  const std::string path = dir.file("icommemo.txt");
  writeBytes(path, "old");
  // A save killed part-way leaves its file; one of a running program stays.
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string killed = dir.file(temporaryFileName("icommemo.txt", dead, 4));
  const std::string running = dir.file(temporaryFileName("icommemo.txt", 1, 0));
  const std::string other = dir.file(temporaryFileName("other.txt", dead, 0));
  for (const std::string& f : {killed, running, other}) writeBytes(f, "part");

  // The temporary file is the owner's alone while the content goes in.
  struct PeekingFileSystem : PosixFileSystem {
    mode_t seen = 0;
    ssize_t writeSome(int fd, const char* data, std::size_t size) override {
      struct stat st {};
      ::fstat(fd, &st);
      seen = st.st_mode & 0777;
      return PosixFileSystem::writeSome(fd, data, size);
    }
  } fs;
  ASSERT_TRUE(fs.replace(path, "new"));
  EXPECT_EQ(fs.seen, 0600u);
  EXPECT_EQ(readBytes(path), "new");
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(running));
  EXPECT_TRUE(std::filesystem::exists(other));

  // A new file still gets what the user's umask gives.
  const mode_t mask = ::umask(027);
  ASSERT_TRUE(fs.replace(dir.file("new.txt"), "x"));
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileSystem, AFailedReplaceSaysWhy) {
  TempFolder dir;
  PosixFileSystem fs;
  std::string reason;
  EXPECT_FALSE(fs.replace(dir.file(std::string(300, 'n')), "x", reason));
  EXPECT_EQ(reason, "File name too long");
  FailingFileSystem full(5);
  EXPECT_FALSE(full.replace(dir.file("list.txt"), std::string(100, 'n'), reason));
  EXPECT_EQ(reason, "No space left on device");
  EXPECT_FALSE(fs.replace(dir.file("no/such/folder.txt"), "x", reason));
  EXPECT_EQ(reason, "No such file or directory");
}

TEST(FileSystem, WriteProtectedFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  TempFolder dir;
  PosixFileSystem fs;
  const std::string path = oldListWithMode(dir, 0444);
  EXPECT_FALSE(fs.replace(path, "new"));
  EXPECT_EQ(readBytes(path), "old");
}

}  // namespace
}  // namespace tarnwick

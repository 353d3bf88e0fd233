#include "serial/port_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "pty_pair.h"
#include "serial/serial_errors.h"

namespace tarnwick {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

TEST(PortLock, NamesFollowTheDevice) {
  EXPECT_EQ(PortLock::fileName("/dev/ttyUSB7"), "LCK..ttyUSB7");
  EXPECT_EQ(PortLock::fileName("/dev/pts/12"), "LCK..pts_12");
  EXPECT_EQ(PortLock::fileName("/tmp/some/odd"), "LCK..odd");
  // A link names the device it points to, as other programs see it.
  testing::TempDir dir;
  testing::PtyPair pty;
  const std::string link = dir.path() + "/by-id-link";
  std::filesystem::create_symlink(pty.devicePath(), link);
  EXPECT_EQ(PortLock::fileName(link), PortLock::fileName(pty.devicePath()));
}

TEST(PortLock, HoldsOurPidAndRemovesItOnRelease) {
  testing::TempDir dir;
  const std::string file = dir.path() + "/LCK..ttyUSB7";
  {
    PortLock lock = PortLock::acquire(dir.path(), "/dev/ttyUSB7");
    ASSERT_TRUE(lock.held());
    EXPECT_EQ(std::stoi(readFile(file)), ::getpid());
    EXPECT_EQ(readFile(file).size(), 11u);  // ten digits, right-aligned, and a newline
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(PortLock, LiveHolderRefusesStaleHolderIsTakenOver) {
  testing::TempDir dir;
  const std::string file = dir.path() + "/LCK..ttyUSB7";
  writeFile(file, "         1\n");  // init never goes away
  try {
    PortLock::acquire(dir.path(), "/dev/ttyUSB7");
    FAIL() << "a live holder must refuse the lock";
  } catch (const SerialOpenError& e) {
    EXPECT_EQ(e.code().value(), EBUSY);
  }
  EXPECT_EQ(std::stoi(readFile(file)), 1);

  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  writeFile(file, std::to_string(child) + "\n");
  PortLock lock = PortLock::acquire(dir.path(), "/dev/ttyUSB7");
  EXPECT_TRUE(lock.held());
  EXPECT_EQ(std::stoi(readFile(file)), ::getpid());
}

// Anyone may create files in the lock folder. A FIFO in the lock's place
// must not hang the program, and a link must not lead it elsewhere: either
// is a lock held by someone else.
TEST(PortLock, ALockNameThatIsNotAPlainFileRefusesThePortWithoutBlocking) {
  testing::TempDir dir;
  const std::string fifo = dir.path() + "/LCK..ttyUSB7";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  auto attempt = std::async(std::launch::async, [&] {
    try {
      PortLock::acquire(dir.path(), "/dev/ttyUSB7");
      return 0;
    } catch (const SerialOpenError& e) {
      return e.code().value();
    }
  });
  if (attempt.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    // Let the blocked open through so that the test can end.
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    ADD_FAILURE() << "the lock file's FIFO blocked the open";
  }
  EXPECT_EQ(attempt.get(), EBUSY);
  EXPECT_EQ(PortLock::holder(dir.path(), "/dev/ttyUSB7"), PortLock::kForeignLock);

  const std::string target = dir.path() + "/elsewhere";
  writeFile(target, "         1\n");
  std::filesystem::create_symlink(target, dir.path() + "/LCK..ttyUSB8");
  EXPECT_THROW(PortLock::acquire(dir.path(), "/dev/ttyUSB8"), SerialOpenError);
  EXPECT_EQ(PortLock::holder(dir.path(), "/dev/ttyUSB8"), PortLock::kForeignLock);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));  // neither is removed
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "/LCK..ttyUSB8"));
}

TEST(PortLock, UnwritableDirectoryIsSkipped) {
  PortLock lock = PortLock::acquire("/nonexistent-lock-dir", "/dev/ttyUSB7");
  EXPECT_FALSE(lock.held());
}

}  // namespace
}  // namespace tarnwick

// The civsim program as a user runs it: command line, first line of output,
// memory file in, memories saved on the way out.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "pty_controller.h"
#include "sim/options.h"
#include "sim_test_util.h"

extern char** environ;

namespace tarnwick::sim {
namespace {

using namespace std::chrono_literals;
using test::Controller;
using test::hex;

struct Process {
  pid_t pid = -1;
  int in = -1;   // its standard input
  int out = -1;  // its standard output
  int err = -1;  // its standard error
};

Process spawn(const std::vector<std::string>& args) {
  int in[2], out[2], err[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<char*> argv;
  std::string program = CIVSIM_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  Process p;
  if (posix_spawn(&p.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("posix_spawn");
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  p.in = in[1];
  p.out = out[0];
  p.err = err[0];
  return p;
}

// Reads up to the first newline, or gives up at the deadline.
std::string readLine(int fd, std::chrono::milliseconds timeout) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char c;
    if (::read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line += c;
  }
  return line;
}

std::string readAll(int fd) {
  std::string text;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// The exit status, or -1 (after killing it) when it does not end in time.
int waitExit(Process& p, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (::waitpid(p.pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(p.pid, SIGKILL);
      ::waitpid(p.pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(10ms);
  }
  for (int fd : {p.in, p.out, p.err}) {
    if (fd >= 0) ::close(fd);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CivsimProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("civsim_prog_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(CivsimProgram, StoresAndSavesWhenStandardInputEnds) {
  const auto save = dir_ / "saved.txt";
  const auto log = dir_ / "frames.log";
  const auto link = dir_ / "radio";
  Process p = spawn({"--model", "IC-910", "--save", save.string(), "--log", log.string(), "--link",
                     link.string(), "--stdin-eof"});
  const std::string device = readLine(p.out, 5000ms);
  ASSERT_TRUE(device.starts_with("/dev/")) << device;
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), device);
  {
    Controller controller(link.string());
    const auto r = controller.transact(
        hex("FE FE 60 E0 1A 00 01 00 05 00 00 10 44 01 03 03 00 00 08 85 00 08 85 00 00 00 FD"),
        1000ms);
    ASSERT_TRUE(r.answer);
    EXPECT_EQ(*r.answer, hex("FE FE E0 60 FB FD"));
  }
  ::close(p.in);
  p.in = -1;
  EXPECT_EQ(waitExit(p, 5000ms), 0);
  EXPECT_NE(fileText(save).find("\nmem 5 band=1 freq=144100000 mode=CW filter=narrow\n"),
            std::string::npos)
      << fileText(save);
  EXPECT_NE(fileText(save).find("\nmem 100 band=2 freq=145500000"), std::string::npos)
      << "untouched memories are saved too";
  EXPECT_EQ(fileText(log),
            "IN FE FE 60 E0 1A 00 01 00 05 00 00 10 44 01 03 03 00 00 08 85 00 08 85 00 00 00 FD\n"
            "OUT FE FE E0 60 FB FD\n");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(CivsimProgram, ServesAMemoryFileAtAGivenAddressUntilSigterm) {
  const auto file = dir_ / "memories.txt";
  std::ofstream(file) << "# two memories\nmem 2 freq=7050000 mode=LSB filter=wide name=\"HELLO\"\n"
                         "mem 101 freq=14350000 mode=CW\n";
  Process p = spawn({"--model", "756proii", "--addr", "70", "--file", file.string()});
  const std::string device = readLine(p.out, 5000ms);
  ASSERT_TRUE(device.starts_with("/dev/")) << device;
  {
    Controller controller(device);
    auto r = controller.transact(hex("FE FE 70 E0 1A 00 00 02 FD"), 1000ms);
    ASSERT_TRUE(r.answer);
    EXPECT_EQ(*r.answer, hex("FE FE E0 70 1A 00 00 02 00 00 00 05 07 00 00 01 00 00 08 85 00 08 85"
                             " 48 45 4C 4C 4F 20 20 20 20 20 FD"));
    r = controller.transact(hex("FE FE 70 E0 1A 00 00 01 FD"), 1000ms);
    ASSERT_TRUE(r.answer);
    EXPECT_EQ(*r.answer, hex("FE FE E0 70 1A 00 00 01 FF FD"));
  }
  ::kill(p.pid, SIGTERM);
  EXPECT_EQ(waitExit(p, 5000ms), 0);
}

TEST_F(CivsimProgram, EndsWhenTheDeviceClosesAndStillSaves) {
  const auto save = dir_ / "saved.txt";
  Process p = spawn({"--model", "IC-746", "--close-after", "1", "--save", save.string()});
  const std::string device = readLine(p.out, 5000ms);
  ASSERT_TRUE(device.starts_with("/dev/")) << device;
  Controller controller(device);
  EXPECT_TRUE(controller.transact(hex("FE FE 56 E0 1A 00 00 01 FD"), 1000ms).answer);
  EXPECT_TRUE(controller.transact(hex("FE FE 56 E0 1A 00 00 02 FD"), 2000ms).hangup);
  EXPECT_EQ(waitExit(p, 5000ms), 0);
  EXPECT_NE(fileText(save).find("name=\"CONTEST  \""), std::string::npos);
}

TEST_F(CivsimProgram, RefusesBadCommandLinesAndBadFiles) {
  Process noModel = spawn({"--silent"});
  EXPECT_EQ(waitExit(noModel, 5000ms), 2);

  const auto file = dir_ / "bad.txt";
  std::ofstream(file) << "mem 1 freq=7050000\nmem 2 freq=7050000 mode=QQQ\n";
  Process badFile = spawn({"--model", "IC-746", "--file", file.string()});
  const int err = badFile.err;
  badFile.err = -1;
  EXPECT_EQ(waitExit(badFile, 5000ms), 1);
  const std::string message = readAll(err);
  ::close(err);
  EXPECT_NE(message.find("line 2: bad mode"), std::string::npos) << message;
}

TEST(CommandLine, ParsesEveryOption) {
  const CommandLine cl = parseCommandLine({"--model",         "ic-746pro",
                                           "--addr",          "6a",
                                           "--file",          "in.txt",
                                           "--save",          "out.txt",
                                           "--link",          "/tmp/r",
                                           "--log",           "l.txt",
                                           "--baud",          "9600",
                                           "--stdin-eof",     "--silent",
                                           "--drop-every",    "4",
                                           "--ng-write",      "3,7,102",
                                           "--noise",         "--split-answers",
                                           "--shift-answer",  "9",
                                           "--corrupt-write", "5,6",
                                           "--close-after",   "20",
                                           "--seed",          "42"});
  ASSERT_NE(cl.model, nullptr);
  EXPECT_EQ(cl.model->name, "IC-746Pro");
  EXPECT_EQ(cl.simulator.address, Byte{0x6A});
  EXPECT_EQ(cl.memoryFile, "in.txt");
  EXPECT_EQ(cl.saveFile, "out.txt");
  EXPECT_EQ(cl.simulator.linkPath, "/tmp/r");
  EXPECT_EQ(cl.simulator.logPath, "l.txt");
  EXPECT_EQ(cl.simulator.baud, 9600);
  EXPECT_TRUE(cl.stopOnStdinEof);
  EXPECT_TRUE(cl.simulator.faults.silent);
  EXPECT_EQ(cl.simulator.faults.dropEvery, 4);
  EXPECT_EQ(cl.simulator.faults.ngWrite, (std::set<int>{3, 7, 102}));
  EXPECT_TRUE(cl.simulator.noise);
  EXPECT_TRUE(cl.simulator.splitAnswers);
  EXPECT_EQ(cl.simulator.faults.shiftAnswer, (std::set<int>{9}));
  EXPECT_EQ(cl.simulator.faults.corruptWrite, (std::set<int>{5, 6}));
  EXPECT_EQ(cl.simulator.faults.closeAfter, 20);
  EXPECT_EQ(cl.simulator.seed, 42u);

  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--model", "IC-9700"},
      {"--model", "IC-746", "--addr", "F0"},
      {"--model", "IC-746", "--addr"},
      {"--model", "IC-746", "--ng-write", "3,,4"},
      {"--model", "IC-746", "--baud", "fast"},
      {"--model", "IC-746", "--drop-every", "0"},
      {"--model", "IC-746", "--frobnicate"},
  };
  for (const auto& args : bad) EXPECT_THROW(parseCommandLine(args), std::invalid_argument);

  const CommandLine usb = parseCommandLine(
      {"--model", "ic-7300mk2", "--no-echo", "--transceive", "20", "--name-length", "10"});
  EXPECT_FALSE(usb.simulator.echo);
  EXPECT_EQ(usb.simulator.transceiveMs, 20);
  EXPECT_EQ(playedModel(usb).nameLength, 10);
  EXPECT_EQ(playedModel(parseCommandLine({"--model", "IC-7300MK2"})).nameLength, 16);
  EXPECT_TRUE(parseCommandLine({"--model", "IC-746"}).simulator.echo);
  EXPECT_THROW(parseCommandLine({"--model", "IC-7300", "--name-length", "16"}),
               std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--model", "IC-7610", "--transceive", "0"}),
               std::invalid_argument);
}

}  // namespace
}  // namespace tarnwick::sim

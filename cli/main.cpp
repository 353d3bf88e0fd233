#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/cli_run.h"
#include "cli/stop_signals.h"
#include "files/file_system.h"

#ifdef TARNWICK_PRINT_HELPER
extern char** environ;

namespace {

// The print helper beside this program (a build tree), else where it is
// installed, relative to this program's folder.
std::string printHelperPath() {
  std::error_code ec;
  const auto folder = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  const auto beside = folder / "tarnwick-print";
  if (!ec && ::access(beside.c_str(), X_OK) == 0) return beside.string();
  return (folder / TARNWICK_PRINT_HELPER).lexically_normal().string();
}

// Removes what a helper stopped part-way through left of its PDF: the
// temporary file a save writes into beside the target.
void removeHelperTemps(const std::string& outFile, pid_t helper) {
  std::error_code ec;
  const std::filesystem::path out = std::filesystem::absolute(outFile, ec);
  if (ec) return;
  const std::string prefix =
      tarnwick::temporaryFileName(out.filename().string(), static_cast<long>(helper), 0);
  const std::string stem = prefix.substr(0, prefix.size() - 1);  // ".NAME.tmpPID-"
  for (std::filesystem::directory_iterator it(out.parent_path(), ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().filename().string().starts_with(stem)) std::filesystem::remove(it->path(), ec);
  }
}

// Runs the helper with the file names and the model, and passes on its exit
// code. A stop signal ends the helper too.
int printCommand(const tarnwick::cli::CliOptions& o, std::ostream& err) {
  using namespace tarnwick::cli;
  const std::string helper = printHelperPath();
  const std::string model = std::to_string(o.modelIndex);
  char allRows[] = "--all-rows";
  char* argv[] = {const_cast<char*>(helper.c_str()),    const_cast<char*>(o.inFile.c_str()),
                  const_cast<char*>(o.outFile.c_str()), const_cast<char*>(model.c_str()),
                  o.allRows ? allRows : nullptr,        nullptr};
  pid_t pid = 0;
  if (const int e = ::posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv, environ); e != 0) {
    err << "tarnwick-cli: cannot run " << helper << ": " << std::strerror(e) << "\n";
    return kExitUsage;
  }
  int status = 0;
  bool running = true;
  while (running) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    running = done == 0 || (done < 0 && errno == EINTR);
    if (running && StopSignals::received() != 0) {
      ::kill(pid, SIGTERM);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      running = false;
    }
    if (running) ::usleep(20000);
  }
  // Ctrl+C reaches the helper too: either way the stop is the signal's.
  if (const int signal = StopSignals::received(); signal != 0) {
    removeHelperTemps(o.outFile, pid);
    err << "Stopped by " << stopSignalName(signal) << '\n';
    return kExitSignal + signal;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  removeHelperTemps(o.outFile, pid);
  err << "tarnwick-cli: " << helper << " ended without finishing the PDF\n";
  return kExitUsage;
}

}  // namespace
#endif

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "tarnwick-cli " TARNWICK_VERSION "\n";
    return 0;
  }
  tarnwick::cli::RunEnvironment env;
  env.progressBar = ::isatty(STDERR_FILENO) != 0;
#ifdef TARNWICK_PRINT_HELPER
  env.print = printCommand;
#endif
  return tarnwick::cli::cliMain(argc, argv, std::cout, std::cerr, env);
}

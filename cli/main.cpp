#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/cli_run.h"

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

// Runs the helper with the file names and the model, and passes on its exit code.
int printCommand(const tarnwick::cli::CliOptions& o, std::ostream& err) {
  const std::string helper = printHelperPath();
  const std::string model = std::to_string(o.modelIndex);
  char* argv[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(o.inFile.c_str()),
                  const_cast<char*>(o.outFile.c_str()), const_cast<char*>(model.c_str()), nullptr};
  pid_t pid = 0;
  if (const int e = ::posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv, environ); e != 0) {
    err << "tarnwick-cli: cannot run " << helper << ": " << std::strerror(e) << "\n";
    return tarnwick::cli::kExitUsage;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  err << "tarnwick-cli: " << helper << " ended without finishing the PDF\n";
  return tarnwick::cli::kExitUsage;
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

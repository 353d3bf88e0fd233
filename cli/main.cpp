#include <unistd.h>

#include <cstring>
#include <iostream>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "tarnwick-cli " TARNWICK_VERSION "\n";
    return 0;
  }
  tarnwick::cli::RunEnvironment env;
  env.progressBar = ::isatty(STDERR_FILENO) != 0;
  return tarnwick::cli::cliMain(argc, argv, std::cout, std::cerr, env);
}

#include <unistd.h>

#include <iostream>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
  tarnwick::cli::RunEnvironment env;
  env.progressBar = ::isatty(STDERR_FILENO) != 0;
  return tarnwick::cli::cliMain(argc, argv, std::cout, std::cerr, env);
}

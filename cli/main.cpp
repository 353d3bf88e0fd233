#include <unistd.h>

#include <cstring>
#include <iostream>

#include "cli/cli_run.h"

#ifdef TARNWICK_CLI_PRINT
#include <QGuiApplication>

#include "app/print/table_printer.h"

namespace {

// Pages are painted with Qt's fonts, which need an application object; no
// window is ever shown, so no display is needed either.
int printCommand(int argc, char** argv, const tarnwick::cli::CliOptions& o, std::ostream& err) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return tarnwick::app::printMemoryListFile(o.inFile, o.outFile, o.modelIndex, err);
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
#ifdef TARNWICK_CLI_PRINT
  env.print = [&](const tarnwick::cli::CliOptions& o, std::ostream& err) {
    return printCommand(argc, argv, o, err);
  };
#endif
  return tarnwick::cli::cliMain(argc, argv, std::cout, std::cerr, env);
}

// tarnwick-print IN OUT MODEL-INDEX [--all-rows]: the PDF behind
// `tarnwick-cli print`.
// A program of its own, so that Qt's libraries load only for printing and
// not at every start of the command line.

#include <sys/prctl.h>

#include <QGuiApplication>
#include <charconv>
#include <csignal>
#include <cstring>
#include <iostream>

#include "app/print/table_printer.h"

int main(int argc, char** argv) {
  int modelIndex = 0;
  const bool allRows = argc == 5 && std::strcmp(argv[4], "--all-rows") == 0;
  const char* index = argc == 4 || allRows ? argv[3] : "";
  const char* indexEnd = index + std::strlen(index);
  if (*index == '\0' || std::from_chars(index, indexEnd, modelIndex).ptr != indexEnd) {
    std::cerr << "usage: tarnwick-print IN OUT MODEL-INDEX [--all-rows] (run by tarnwick-cli "
                 "print)\n";
    return 2;
  }
  // Ends with tarnwick-cli, even one killed outright.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  // A file size limit then fails the write, which says so, instead of
  // ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Pages are painted with Qt's fonts, which need an application object; no
  // window is ever shown, so no display is needed either. Qt sees no
  // arguments: a file named like one of its options stays a file.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  return tarnwick::app::printMemoryListFile(argv[1], argv[2], modelIndex, allRows, std::cerr);
}

// civsim: an Icom radio on a pseudo-terminal, for tests and demonstrations.

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "sim/memory_file.h"
#include "sim/options.h"
#include "sim/simulator.h"

using namespace tarnwick::sim;

namespace {

// Waits for SIGINT, SIGTERM, end of standard input (when asked) or the
// device going away. SIGUSR1 switches the radio off and on again.
void serve(Simulator& simulator, int signals, bool watchStdin, bool silent) {
  while (simulator.deviceOpen()) {
    pollfd fds[2] = {{signals, POLLIN, 0}, {watchStdin ? STDIN_FILENO : -1, POLLIN, 0}};
    if (::poll(fds, 2, 50) < 0) continue;
    if (fds[0].revents & POLLIN) {
      signalfd_siginfo info{};
      if (::read(signals, &info, sizeof info) == sizeof info && info.ssi_signo == SIGUSR1) {
        silent = !silent;
        simulator.setSilent(silent);
        std::fprintf(stderr, "civsim: radio switched %s\n", silent ? "off" : "on");
        continue;
      }
      return;
    }
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      char buffer[256];
      if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine cl;
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
      std::fputs(usageText().c_str(), stdout);
      return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
      std::printf("civsim %s\n", TARNWICK_VERSION);
      return 0;
    }
    cl = parseCommandLine(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "civsim: %s\n%s", e.what(), usageText().c_str());
    return 2;
  }

  // Signals are taken by the main thread alone, through a descriptor; the
  // serving thread inherits the blocked mask.
  sigset_t mask;
  sigemptyset(&mask);
  sigaddset(&mask, SIGINT);
  sigaddset(&mask, SIGTERM);
  sigaddset(&mask, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &mask, nullptr);
  const int signals = signalfd(-1, &mask, SFD_CLOEXEC);
  if (signals < 0) {
    std::perror("civsim: signalfd");
    return 1;
  }

  try {
    const RadioModel model = playedModel(cl);
    RadioState state = cl.memoryFile.empty() ? parseMemoryFile(defaultMemoryText(model), model)
                                             : loadMemoryFile(cl.memoryFile, model);
    Simulator simulator(model, std::move(state), cl.simulator);
    simulator.start();
    std::printf("%s\n", simulator.devicePath().c_str());
    std::fflush(stdout);
    serve(simulator, signals, cl.stopOnStdinEof, cl.simulator.faults.silent);
    simulator.stop();
    if (!cl.saveFile.empty()) saveMemoryFile(cl.saveFile, simulator.state(), model);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "civsim: %s\n", e.what());
    return 1;
  }
  return 0;
}

#include "cli/cli_run.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "civ/engine.h"
#include "civ/radio_finder.h"
#include "civ/tserial_port.h"
#include "cli/cli_csv.h"
#include "cli/cli_files.h"
#include "cli/stop_signals.h"
#include "cli/terminal_window.h"
#include "files/file_commands.h"
#include "files/file_paths.h"
#include "files/memory_list_format.h"
#include "rig/frequency_input.h"
#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "serial/event_loop.h"
#include "serial/serial_devices.h"
#include "serial/serial_errors.h"
#include "serial/tserial.h"
#include "shell/model_setup.h"
#include "tables/permanent_index.h"
#include "tables/table_ops.h"

namespace tarnwick::cli {
namespace {

class CliSerialDialog : public SerialErrorDialog {
 public:
  explicit CliSerialDialog(std::ostream& err) : err_(err) {}
  void showError(const std::string& text) override { err_ << "Serial port: " << text << '\n'; }

 private:
  std::ostream& err_;
};

// "3, 7, 40-102"
std::string numberRanges(const std::vector<int>& numbers) {
  std::string out;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += std::to_string(numbers[i]);
    if (j > i) {
      out += '-';
      out += std::to_string(numbers[j]);
    }
    i = j + 1;
  }
  return out;
}

std::string memoryName(const ChannelTable& rig, int row) {
  const std::string& label = rig.cell(colNumber, row);
  std::string s = "memory " + std::to_string(row);
  if (!label.empty() && label != std::to_string(row)) s += " (" + label + ")";
  return s;
}

// Everything one command needs, built around the opened port.
class Session {
 public:
  Session(const CliOptions& o, std::ostream& out, std::ostream& err, const RunEnvironment& env)
      : o_(o),
        out_(out),
        err_(err),
        env_(env),
        model_(*findRigModel(o.modelIndex)),
        serialDialog_(err),
        serial_(loop_),
        permanent_(TableKind::PermanentFile),
        rig_(TableKind::Rig),
        index_(permanent_),
        log_(env.debugLogPath.empty() ? defaultDebugLogPath()
                                      : std::filesystem::path(env.debugLogPath)),
        window_(err, env.progressBar),
        port_(serial_),
        engine_(permanent_, rig_, index_, port_, log_, window_, loop_),
        fileUi_(err),
        files_(permanent_, rig_, fileUi_) {
    engine_.setModel(o.modelIndex);
    engine_.setAddress({.value = o.address.value_or(defaultAddress(o.modelIndex))});
    engine_.setBand(bankCodeOf(o.band));
    if (o.offsets) engine_.setOffsets(*o.offsets);
    engine_.setVerifyAfterStore(o.verify);
    if (!o.backup) {
      engine_.setBackupFolder({});
    } else if (!env.backupFolder.empty()) {
      engine_.setBackupFolder(env.backupFolder);
    }
  }

  int run() {
    for (const auto& [option, path] :
         {std::pair{"--out", &o_.outFile}, std::pair{"--permanent", &o_.permanentFile},
          std::pair{"--in", &o_.inFile}}) {
      if (!path->empty() && namesFolder(*path)) {
        err_ << option << " " << *path << " is a folder, not a file\n";
        return kExitUsage;
      }
    }
    if (o_.command != Command::Tune && !model_.readable) {
      // Tuning needs no memory layout; reading and storing do.
      err_ << "The " << modelName(o_.modelIndex) << " has no memory read or write\n";
      return kExitUsage;
    }
    switch (o_.command) {
      case Command::Read:
        return read();
      case Command::Store:
        return store();
      case Command::Tune:
        return tune();
      case Command::Import:
      case Command::Export:  // no radio: runCommand runs them
      case Command::Detect:  // a port of its own: runCommand runs it
      case Command::Print:
      case Command::Rigs:
      case Command::Help:
        break;
    }
    return kExitOk;
  }

 private:
  bool openPort(int& exitCode) {
    // A signal while the files were read: nothing goes to the radio.
    if (const int signal = StopSignals::received(); signal != 0) {
      err_ << "Stopped by " << stopSignalName(signal) << '\n';
      exitCode = kExitSignal + signal;
      return false;
    }
    serial_.setErrorDialog(&serialDialog_);
    applyCivLineSettings(serial_);
    serial_.setDevice(devicePathFor(o_.device));
    serial_.setBaudrate(o_.baud);
    log_.createIfMissing();
    log_.appendDebugLine("Program start");
    const std::string port = portLabelFor(o_.device);
    log_.appendDebugLine(portTrialLine(port));
    log_.appendDebugLine(baudLine(o_.baud));
    log_.appendDebugLine(addressLine(o_.address.value_or(defaultAddress(o_.modelIndex))));
    log_.appendDebugLine(modelLine(o_.modelIndex));
    if (!log_.notAFile().empty()) err_ << log_.notAFile() << '\n';
    try {
      serial_.setActive(true);
    } catch (const SerialOpenError& e) {
      log_.appendDebugLine(portOpenErrorLine(port));
      err_ << "Cannot open " << o_.device << ": " << openFailureReason(e) << '\n';
      exitCode = kExitPort;
      return false;
    }
    connectReceiveEvent(serial_, engine_);
    serial_.OnLost = [this](TSerial& serial, int) {
      // Ends the run: waitForEngine reports it.
      lostDevice_ = serial.DevicePath();
      serial.setActive(false);
    };
    loop_.addTimer(env_.tick, [this] { engine_.tick(); });
    return true;
  }

  // Runs the event loop until the engine reports "Ready", a time-out or a
  // stop. Every engine command ends in one of them within 4 ticks per
  // command; the limit only guards against a stuck loop.
  int waitForEngine(int commands) {
    const auto limit = env_.tick * (5 * (commands + 20));
    loop_.runUntil(
        [this] { return window_.finished() || lostDevice_ || StopSignals::received() != 0; },
        limit);
    window_.endProgress();
    if (const int signal = StopSignals::received(); signal != 0) {
      err_ << "Stopped by " << stopSignalName(signal) << '\n';
      return kExitSignal + signal;
    }
    if (lostDevice_) {
      err_ << "Lost connection to " << *lostDevice_ << '\n';
      return kExitPort;
    }
    if (const auto t = window_.timeoutNumber()) {
      err_ << "The radio did not answer (time-out " << *t << ")";
      if (!window_.radioAnswered()) err_ << ": check the device, speed, address and the radio";
      err_ << '\n';
      return kExitNoAnswer;
    }
    // A store stopped for want of a backup says so itself.
    if (window_.backupFailed()) return kExitRefused;
    if (!window_.ready()) {
      err_ << "The radio did not answer in time\n";
      return kExitNoAnswer;
    }
    return kExitOk;
  }

  int read() {
    const SplitPath out = absoluteSplit(o_.outFile);
    std::optional<SplitPath> perm;
    if (!o_.permanentFile.empty()) {
      perm = absoluteSplit(o_.permanentFile);
      files_.applySettings(perm->folder, perm->name, out.name, "");
      files_.loadPermanentFile();
      if (fileUi_.failed()) return kExitUsage;
    }
    const int rowsBefore = permanent_.dataRowCount();
    const bool wasEmpty = rowsBefore == 1 && !IsOccupied(permanent_, 1);

    int code = kExitOk;
    if (!openPort(code)) return code;
    window_.setTotal(model_.lastMemoryRead());
    engine_.setEngineState(smRestart);
    engine_.tick();
    if (const int rc = waitForEngine(model_.lastMemoryRead() + 14); rc != kExitOk) {
      std::vector<int> missing;
      for (int m = 1; m <= model_.lastMemoryRead(); ++m) {
        if (!engine_.wasReceived(m)) missing.push_back(m);
      }
      if (!missing.empty()) err_ << "Memories not read: " << numberRanges(missing) << '\n';
      return rc;
    }

    files_.applySettings(out.folder, perm ? perm->name : "", out.name, "");
    files_.setRigRowsRadio(engine_.radioName());  // the file records the radio, as the window's do
    if (!files_.save(TableKind::Rig)) return kExitUsage;
    int blank = 0;
    for (int r = 1; r < rig_.rowCount(); ++r) blank += IsOccupied(rig_, r) ? 0 : 1;
    out_ << "Read " << rig_.dataRowCount() << " memories of the " << modelName(o_.modelIndex)
         << (model_.usesBand ? " (" + o_.band + ")" : "") << ", " << blank << " blank, into "
         << files_.currentFile(rig_) << '\n';
    reportBackup();
    if (perm) {
      files_.applySettings(perm->folder, perm->name, out.name, "");
      int added = permanent_.dataRowCount() - rowsBefore;
      if (wasEmpty && IsOccupied(permanent_, 1)) ++added;
      if (permanent_.modified() && !files_.save(TableKind::PermanentFile)) return kExitUsage;
      out_ << added << " new channels collected into " << files_.currentFile(permanent_) << '\n';
    }
    return kExitOk;
  }

  int store() {
    const SplitPath in = absoluteSplit(o_.inFile);
    // The file's own Changed marks, which Open clears.
    std::vector<ChannelRecord> fileRows;
    if (o_.selection == StoreSelection::Changed) {
      std::string reason;
      if (!readMemoryListFile(defaultFileSystem(), in.folder + in.name, fileRows, reason)) {
        err_ << openError(in.folder + in.name, reason) << '\n';
        return kExitUsage;
      }
    }
    files_.applySettings(in.folder, "", in.name, "");
    fileUi_.choose(in.folder + in.name);
    if (!files_.open(TableKind::Rig) || fileUi_.failed()) return kExitUsage;

    const int lastRow = std::min(model_.lastStoredRow, rig_.dataRowCount());
    std::vector<int> rows;
    int neverRead = 0;
    switch (o_.selection) {
      case StoreSelection::Rows:
        for (int r : o_.rows) {
          if (r > rig_.dataRowCount()) {
            err_ << "Memory " << r << " is not in " << o_.inFile << " (it has "
                 << rig_.dataRowCount() << " rows)\n";
            return kExitUsage;
          }
          if (r > model_.lastStoredRow) {
            err_ << "Memory " << r << " cannot be stored on the " << modelName(o_.modelIndex)
                 << " (memories 1 to " << model_.lastStoredRow << " are)\n";
            return kExitUsage;
          }
          rows.push_back(r);
        }
        break;
      case StoreSelection::All:
        // A partial backup (or a read cut short) has rows nobody has seen:
        // there is nothing in them to put back.
        for (int r = 1; r <= lastRow; ++r) {
          if (IsNeverReadRow(rig_, r)) {
            ++neverRead;
          } else {
            rows.push_back(r);
          }
        }
        break;
      case StoreSelection::Changed:
        for (int r = 1; r <= lastRow && r < static_cast<int>(fileRows.size()); ++r) {
          if (fileRows[static_cast<std::size_t>(r)][colChanged] == kChecked) rows.push_back(r);
        }
        break;
      case StoreSelection::None:
        break;
    }
    if (neverRead > 0) out_ << "Skipped " << neverRead << " rows never read from a radio\n";
    if (rows.empty()) {
      out_ << "Nothing to store\n";
      return kExitOk;
    }
    ClearChangedMarks(rig_);
    for (int r : rows) rig_.setCell(colChanged, r, std::string(kChecked));

    int code = kExitOk;
    if (!openPort(code)) return code;
    window_.setTotal(lastRow);
    engine_.setEngineState(smIdle);
    engine_.storeChangedRows();
    // A write, a read-back, and perhaps a read for the backup, per row.
    const int rc = waitForEngine(3 * static_cast<int>(rows.size()));
    if (!window_.backupFailed()) reportBackup();

    std::map<int, const StoreProblem*> problems;
    for (const StoreProblem& p : engine_.storeProblems()) {
      if (p.kind == StoreProblemKind::NoBackup) {
        err_ << p.text << "; use --no-backup to store without one\n";
        return kExitRefused;
      }
      problems.emplace(p.row, &p);
    }
    std::map<int, std::string> cutNames;
    for (const CutName& c : engine_.cutNames()) cutNames.emplace(c.row, c.kept);
    std::vector<int> refused;
    std::vector<int> notStored;
    int written = 0;
    for (int r : rows) {
      const std::string& mark = rig_.cell(colChanged, r);
      const auto problem = problems.find(r);
      if (mark == kUnchecked) {
        ++written;
        out_ << "Wrote " << memoryName(rig_, r);
        if (const auto cut = cutNames.find(r); cut != cutNames.end()) {
          out_ << " (name cut to \"" << cut->second << "\")";
        }
        out_ << '\n';
      } else if (problem != problems.end() && problem->second->kind == StoreProblemKind::Refused) {
        refused.push_back(r);
        out_ << "Refused " << memoryName(rig_, r) << '\n';
      } else if (problem != problems.end()) {
        notStored.push_back(r);
        out_ << problem->second->text << '\n';
      }
    }
    if (rc != kExitOk) {
      err_ << written << " of " << rows.size() << " memories were written before "
           << (rc > kExitSignal ? "the stop\n" : "the radio stopped answering\n");
      return rc;
    }
    if (!refused.empty()) {
      err_ << "The radio refused " << refused.size() << " of " << rows.size() << " memories:";
      for (int r : refused) err_ << ' ' << r;
      err_ << '\n';
    }
    if (!notStored.empty()) {
      err_ << notStored.size() << " of " << rows.size()
           << " memories are not stored as they stand: " << numberRanges(notStored) << '\n';
    }
    if (!refused.empty() || !notStored.empty()) return kExitRefused;
    out_ << "Stored " << written << " memories\n";
    return kExitOk;
  }

  void reportBackup() {
    const BackupOutcome& b = engine_.lastBackup();
    if (b.ok()) {
      out_ << "Backup in " << b.path << '\n';
    } else if (!b.error.empty()) {
      err_ << "No backup: " << b.error << '\n';
    }
  }

  int tune() {
    const TypedFrequency typed =
        checkInRanges(readTypedFrequency(o_.frequency), receiveRanges(o_.modelIndex),
                      "the " + std::string(modelName(o_.modelIndex)) + "'s");
    if (typed.kind != TypedFrequency::Kind::Value) {
      err_ << (typed.refused() ? typed.reason : "No frequency given.") << '\n';
      return kExitUsage;
    }
    const auto hz = static_cast<std::int32_t>(typed.hz);
    // Without a mode, the usual sideband of the band: lower below 10 MHz.
    const std::string mode = !o_.mode.empty() ? o_.mode : (hz < 10000000 ? "LSB" : "USB");
    // The engine tunes from a row, as a double click on a Frequency cell does.
    permanent_.setRowCount(2);
    permanent_.setCell(colFrequency, 1, formatFrequency(hz, mode));
    permanent_.setCell(colMode, 1, mode);
    permanent_.setCell(colFilter, 1, o_.filter);

    int code = kExitOk;
    if (!openPort(code)) return code;
    engine_.setEngineState(smIdle);
    engine_.tuneFromCell(permanent_, 1, colFrequency);
    if (const int rc = waitForEngine(2); rc != kExitOk) return rc;
    if (const Engine::TuneRefusals no = engine_.tuneRefusals();
        no.frequency || no.mode || no.dataMode) {
      std::vector<std::string> parts;
      if (no.frequency) parts.push_back("frequency");
      if (no.mode) parts.push_back(no.frequency ? "mode" : "mode and filter");
      if (no.dataMode) parts.push_back("data mode");
      err_ << "The radio refused the " << parts.front();
      for (std::size_t i = 1; i < parts.size(); ++i) {
        err_ << (i + 1 == parts.size() ? " and the " : ", the ") << parts[i];
      }
      err_ << '\n';
      return kExitRefused;
    }
    std::string shown = formatFrequency(hz, mode);
    shown.erase(0, shown.find_first_not_of(' '));
    out_ << "Tuned to " << shown << " kHz " << mode << (o_.filter.empty() ? "" : " " + o_.filter)
         << '\n';
    return kExitOk;
  }

  const CliOptions& o_;
  std::ostream& out_;
  std::ostream& err_;
  const RunEnvironment& env_;
  const RigModel& model_;
  EventLoop loop_;
  // Before the port: closing it at the end may still report an error.
  CliSerialDialog serialDialog_;
  TSerial serial_;
  std::optional<std::string> lostDevice_;  // the device went away
  ChannelTable permanent_;
  ChannelTable rig_;
  PermanentFileIndex index_;
  DebugLog log_;
  TerminalWindow window_;
  TSerialPort port_;
  Engine engine_;
  CliFileUi fileUi_;
  FileCommands files_;
};

}  // namespace

namespace {

// The same file under two names: one device and inode, or one path for a
// file not there yet.
bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) {
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
  std::error_code ec;
  const auto pa = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ec), ec);
  const auto pb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, ec), ec);
  return !ec && pa == pb;
}

// "--out X is the same file as --in X": an output written over an input
// would turn a memory list into a PDF or a CSV list.
std::string sameFileArguments(const CliOptions& o) {
  const std::pair<const char*, const std::string*> inputs[] = {{"--in", &o.inFile},
                                                               {"--permanent", &o.permanentFile}};
  for (const auto& [option, path] : inputs) {
    if (!o.outFile.empty() && !path->empty() && sameFile(o.outFile, *path)) {
      return "--out " + o.outFile + " is the same file as " + option + " " + *path;
    }
  }
  if (!o.inFile.empty() && !o.permanentFile.empty() && sameFile(o.inFile, o.permanentFile)) {
    return "--permanent " + o.permanentFile + " is the same file as --in " + o.inFile;
  }
  return {};
}

// Which radio answers on the device, and at which speed of the Baudrate menu.
int runDetect(const CliOptions& o, std::ostream& out, std::ostream& err) {
  EventLoop loop;
  RadioFinder finder(loop);
  RadioSearch search{.devices = {devicePathFor(o.device)}, .speeds = {}};
  for (const MenuEntry& e : baudMenuEntries()) search.speeds.insert(search.speeds.begin(), e.value);
  finder.onProgress = [&err](const std::string& text) { err << text << '\n'; };
  bool done = false;
  finder.onFinished = [&done] { done = true; };
  finder.start(search);
  // The finder ends each device on its own; the limit only guards the loop.
  loop.runUntil([&done] { return done || StopSignals::received() != 0; },
                RadioFinder::kTimePerDevice * 2);
  if (const int signal = StopSignals::received(); signal != 0) {
    finder.cancel();  // closes the device and removes its lock
    err << "Stopped by " << stopSignalName(signal) << '\n';
    return kExitSignal + signal;
  }
  // A device that cannot be opened is a port failure, as for every other command.
  if (!finder.found() && finder.openFailures().size() == search.devices.size()) {
    err << "Cannot open " << o.device << ": " << finder.openFailures().front() << '\n';
    return kExitPort;
  }
  for (const std::string& note : finder.notes()) err << note << '\n';
  if (!finder.found()) {
    err << "No radio answers on " << search.devices.front() << ".\n";
    return kExitNoAnswer;
  }
  out << foundRadioText(*finder.found()) << '\n';
  return kExitOk;
}

}  // namespace

int runCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
               const RunEnvironment& env) {
  if (options.command == Command::Help) {
    out << usageText();
    return kExitOk;
  }
  if (options.command == Command::Rigs) {
    for (const RigModel& m : supportedModels()) {
      out << m.menuCaption << '\t' << modelName(m.modelIndex) << '\t'
          << addressText(defaultAddress(m.modelIndex)) << '\t' << m.usualBaud << '\t'
          << int{m.modelIndex} << '\n';
    }
    return kExitOk;
  }
  if (const std::string clash = sameFileArguments(options); !clash.empty()) {
    err << clash << '\n';
    return kExitUsage;
  }
  if (options.command == Command::Import) return runImport(options, out, err);
  if (options.command == Command::Export) return runExport(options, out, err);
  // From here on a signal unwinds the command, so that the port's lock goes
  // and the print helper ends too; the handlers outlive the port's closing.
  const StopSignals signals;
  if (options.command == Command::Detect) return runDetect(options, out, err);
  if (options.command == Command::Print) {
    if (!env.print) {
      err << "tarnwick-cli: print needs a build with Qt 6\n";
      return kExitUsage;
    }
    return env.print(options, err);
  }
  Session session(options, out, err, env);
  return session.run();
}

int cliMain(int argc, char** argv, std::ostream& out, std::ostream& err,
            const RunEnvironment& env) {
  std::vector<std::string> args(argv + 1, argv + argc);
  CliOptions options;
  try {
    options = parseCommandLine(args);
  } catch (const UsageError& e) {
    err << "tarnwick-cli: " << e.message << "\nTry 'tarnwick-cli --help'.\n";
    return kExitUsage;
  }
  return runCommand(options, out, err, env);
}

}  // namespace tarnwick::cli

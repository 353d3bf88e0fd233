#include "sim/options.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

namespace tarnwick::sim {

namespace {

// The --model line's radios come from the model table, wrapped under the
// option's text.
constexpr std::string_view kUsageHead = R"(usage: civsim --model NAME [options]
       civsim --help | --version
Plays an Icom radio on a pseudo-terminal; prints the device path first.
  --model NAME        )";

constexpr std::string_view kUsageOptions = R"(
  --name-length N     IC-7300MK2: 16 (default) or 10 characters per name
  --addr HH           CI-V address in hex (default: the model's)
  --file FILE         memories to start with (default: a built-in set)
  --save FILE         write the memories to FILE on exit
  --link PATH         place a symbolic link to the device at PATH
  --log FILE          log every frame in and out, one line each
  --baud N            deliver echo and answers no faster than N baud
  --no-echo           do not echo the controller's bytes (USB, CI-V Echo Back off)
  --transceive MS     send the VFO frequency to every station every MS ms
                      (CI-V Transceive on)
  --bus-radio HH      a second radio of the same model at address HH on the bus,
                      polled by another program at E0 (its answers go to E0)
  --bus-every MS      how often that program asks it (default 100)
  --stdin-eof         also stop when standard input reaches end of file
faults:
  --strict-speed      with --baud: a controller at another speed is not understood
  --no-id             leave the ID request (19 00) unanswered, as older radios do
  --silent            echo only, never answer
  --drop-every N      ignore every Nth request
  --ng-write LIST     refuse writes of these memory numbers (e.g. 3,7)
  --noise             random bytes (never FE) between frames
  --split-answers     write answers in small pieces with short pauses
  --shift-answer LIST asked first for one of these memories, answer with the next
  --corrupt-write LIST  take writes of these memories with OK but keep something else
  --close-after N     close the device at the request after the Nth
  --seed N            seed for noise and piece sizes (default 1)
Stops on SIGINT or SIGTERM; SIGUSR1 switches the radio off (silent) and on.
)";

constexpr std::size_t kHelpWidth = 78;

long parseNumber(const std::string& option, const std::string& text, int base, long min, long max) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc{} || end != text.data() + text.size() || value < min || value > max) {
    throw std::invalid_argument(option + ": bad value '" + text + "'");
  }
  return value;
}

std::set<int> parseList(const std::string& option, const std::string& text) {
  std::set<int> numbers;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    numbers.insert(
        static_cast<int>(parseNumber(option, text.substr(start, comma - start), 10, 1, 9999)));
    start = comma + 1;
  }
  return numbers;
}

}  // namespace

std::string usageText() {
  std::string text(kUsageHead);
  const std::size_t indent = kUsageHead.size() - kUsageHead.rfind('\n') - 1;
  std::size_t column = indent;
  const auto models = radioModels();
  for (std::size_t i = 0; i < models.size(); ++i) {
    std::string item(models[i].name);
    if (i + 2 < models.size()) item += ',';
    if (i + 2 == models.size()) item += " or";
    if (i > 0 && column + 1 + item.size() > kHelpWidth) {
      text += '\n' + std::string(indent, ' ');
      column = indent;
    } else if (i > 0) {
      text += ' ';
      ++column;
    }
    text += item;
    column += item.size();
  }
  text += kUsageOptions;
  return text;
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  SimulatorOptions& sim = cl.simulator;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(option + " needs a value");
      return args[++i];
    };
    if (option == "--model") {
      cl.model = findRadioModel(value());
      if (!cl.model) throw std::invalid_argument("unknown model '" + args[i] + "'");
    } else if (option == "--addr") {
      sim.address = static_cast<Byte>(parseNumber(option, value(), 16, 0x01, 0xEF));
    } else if (option == "--file") {
      cl.memoryFile = value();
    } else if (option == "--save") {
      cl.saveFile = value();
    } else if (option == "--link") {
      sim.linkPath = value();
    } else if (option == "--log") {
      sim.logPath = value();
    } else if (option == "--baud") {
      sim.baud = static_cast<int>(parseNumber(option, value(), 10, 1, 10'000'000));
    } else if (option == "--strict-speed") {
      sim.strictSpeed = true;
    } else if (option == "--no-id") {
      sim.faults.noId = true;
    } else if (option == "--no-echo") {
      sim.echo = false;
    } else if (option == "--transceive") {
      sim.transceiveMs = static_cast<int>(parseNumber(option, value(), 10, 1, 3'600'000));
    } else if (option == "--bus-radio") {
      sim.busRadio = static_cast<Byte>(parseNumber(option, value(), 16, 0x01, 0xEF));
    } else if (option == "--bus-every") {
      sim.busPollMs = static_cast<int>(parseNumber(option, value(), 10, 1, 3'600'000));
    } else if (option == "--name-length") {
      cl.nameLength = static_cast<int>(parseNumber(option, value(), 10, 1, 64));
    } else if (option == "--stdin-eof") {
      cl.stopOnStdinEof = true;
    } else if (option == "--silent") {
      sim.faults.silent = true;
    } else if (option == "--drop-every") {
      sim.faults.dropEvery = static_cast<int>(parseNumber(option, value(), 10, 1, 1'000'000));
    } else if (option == "--ng-write") {
      sim.faults.ngWrite = parseList(option, value());
    } else if (option == "--noise") {
      sim.noise = true;
    } else if (option == "--split-answers") {
      sim.splitAnswers = true;
    } else if (option == "--shift-answer") {
      sim.faults.shiftAnswer = parseList(option, value());
    } else if (option == "--corrupt-write") {
      sim.faults.corruptWrite = parseList(option, value());
    } else if (option == "--close-after") {
      sim.faults.closeAfter = static_cast<int>(parseNumber(option, value(), 10, 1, 1'000'000));
    } else if (option == "--seed") {
      sim.seed = static_cast<std::uint32_t>(parseNumber(option, value(), 10, 0, 0xFFFFFFFF));
    } else {
      throw std::invalid_argument("unknown option '" + option + "'");
    }
  }
  if (!cl.model) throw std::invalid_argument("--model is required");
  if (sim.busRadio &&
      (*sim.busRadio == sim.address.value_or(cl.model->address) || *sim.busRadio == 0xE0)) {
    throw std::invalid_argument("--bus-radio: the address is taken by the radio or the program");
  }
  if (cl.nameLength != 0 && !withNameLength(*cl.model, cl.nameLength)) {
    throw std::invalid_argument("the " + std::string(cl.model->name) + " cannot play names of " +
                                std::to_string(cl.nameLength) + " characters");
  }
  return cl;
}

RadioModel playedModel(const CommandLine& commandLine) {
  if (commandLine.nameLength == 0) return *commandLine.model;
  return withNameLength(*commandLine.model, commandLine.nameLength).value();
}

}  // namespace tarnwick::sim

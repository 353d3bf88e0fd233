#include "tests/civ/civ_fakes.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "civ/civ_protocol.h"
#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"

namespace tarnwick::test {

Bytes commandFrame(Byte address, const Bytes& payload) {
  Bytes f{0xFE, 0xFE, address, 0xE0};
  f.insert(f.end(), payload.begin(), payload.end());
  f.push_back(0xFD);
  return f;
}

Bytes answerFrame(Byte address, const Bytes& payload) {
  Bytes f{0xFE, 0xFE, 0xE0, address};
  f.insert(f.end(), payload.begin(), payload.end());
  f.push_back(0xFD);
  return f;
}

void ScriptedPort::script(std::vector<ConversationStep> steps) {
  steps_.assign(steps.begin(), steps.end());
}

void ScriptedPort::sendString(std::span<const Byte> bytes) {
  Bytes frame(bytes.begin(), bytes.end());
  sent.push_back(frame);
  sentAtMs.push_back(clockMs != nullptr ? *clockMs : 0);
  // Payload: between the two addresses and the end byte.
  Bytes payload;
  if (frame.size() >= 5) payload.assign(frame.begin() + 4, frame.end() - 1);
  sentPayloads.push_back(payload);
  if (echo) inject(frame);

  std::vector<Bytes> answers;
  if (!steps_.empty()) {
    ConversationStep step = std::move(steps_.front());
    steps_.pop_front();
    EXPECT_EQ(frame, commandFrame(radio, step.sends)) << "at step \"" << step.name << "\"";
    answers = std::move(step.answers);
  } else if (responder) {
    answers = responder(payload);
  }
  for (const Bytes& a : answers) inject(answerFrame(radio, a));
  if (onSend) onSend();
}

int ScriptedPort::readByte(Byte& b) {
  if (rx_.empty()) return 0;
  b = rx_.front();
  rx_.pop_front();
  return 1;
}

void RecordingWindow::showModalError(std::string_view text, std::string_view caption) {
  events.push_back("box");
  boxes.emplace_back(text, caption);
  if (onModal) onModal();
}

void RecordingWindow::repaint() {
  events.push_back("repaint");
  if (onRepaint) onRepaint();
}

std::vector<std::string> RecordingWindow::leftTexts() const {
  std::vector<std::string> out;
  for (const auto& s : statuses) out.push_back(s.first);
  return out;
}

int RecordingWindow::count(const std::string& event) const {
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

std::filesystem::path TempLog::makeDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "civlogXXXXXX").string();
  if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
  return tmpl;
}

TempLog::TempLog() : log(std::filesystem::path()), dir_(makeDir()) {
  log = DebugLog(dir_ / "state" / "icomdeb.txt");
}

TempLog::~TempLog() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string TempLog::raw() const {
  std::ifstream in(log.path(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> TempLog::lines() const {
  std::vector<std::string> out;
  const std::string text = raw();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      out.push_back(text.substr(pos) + "<no CR LF>");
      break;
    }
    out.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return out;
}

std::vector<std::string> TempLog::linesStartingWith(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& l : lines()) {
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  }
  return out;
}

int FakeMainThread::startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) {
  shots_[nextId_] = Shot{clockMs_ + static_cast<long>(delay.count()), std::move(fn)};
  return nextId_++;
}

void FakeMainThread::cancelSingleShot(int id) {
  shots_.erase(id);
}

void FakeMainThread::runPosted() {
  while (!posted_.empty()) {
    std::function<void()> fn = std::move(posted_.front());
    posted_.pop_front();
    fn();
  }
}

std::optional<long> FakeMainThread::nextShotMs() const {
  std::optional<long> next;
  for (const auto& [id, shot] : shots_) {
    if (!next || shot.dueMs < *next) next = shot.dueMs;
  }
  return next;
}

void FakeMainThread::fireDueShots() {
  for (;;) {
    auto due = shots_.end();
    for (auto it = shots_.begin(); it != shots_.end(); ++it) {
      if (it->second.dueMs <= clockMs_ &&
          (due == shots_.end() || it->second.dueMs < due->second.dueMs))
        due = it;
    }
    if (due == shots_.end()) return;
    std::function<void()> fn = std::move(due->second.fn);
    shots_.erase(due);
    fn();
  }
}

EngineRig::EngineRig(int model, Byte address) {
  port.radio = address;
  port.clockMs = &nowMs;
  engine.setModel(model);
  engine.setAddress({.value = address});
  engine.setSeparators(Separators::point());
  // Tests that want backups give a folder of their own.
  engine.setBackupFolder({});
}

void EngineRig::pump() {
  for (;;) {
    mainThread.runPosted();
    if (!port.hasBytes()) break;
    engine.bytesReceived();
  }
}

void EngineRig::advance(long ms) {
  const long end = nowMs + ms;
  for (;;) {
    const long tick = (nowMs / 1000 + 1) * 1000;
    const std::optional<long> shot = mainThread.nextShotMs();
    const long next = shot && *shot < tick ? std::max(*shot, nowMs) : tick;
    if (next > end) break;
    nowMs = next;
    if (next == tick) engine.tick();
    pump();
    mainThread.fireDueShots();
    pump();
  }
  nowMs = end;
}

void EngineRig::restart() {
  engine.setEngineState(smRestart);
  engine.tick();
  pump();
}

Bytes memoryRequest(int memory, std::optional<Byte> band) {
  Bytes p{0x1A, 0x00};
  if (band) p.push_back(*band);
  const auto n = encodeBcd4(memory);
  p.insert(p.end(), n.begin(), n.end());
  return p;
}

Bytes memoryAnswer(int model, int memory, std::int32_t hz, const std::string& band) {
  ChannelRecord row;
  if (hz != 0) {
    row[colFrequency] = std::to_string(hz / 1000) + "." + std::to_string(hz % 1000 / 100) +
                        std::to_string(hz % 100 / 10);
    row[colMode] = "USB";
    row[colFilter] = "Normal";
    row[colDuplex] = "Simp";
    if (findRigModel(model) != nullptr && findRigModel(model)->nameLength > 0)
      row[colName] = "M" + std::to_string(memory);
  }
  return encodeMemoryContents(model, memory, row, band, Separators::point());
}

std::vector<Bytes> MemoryRadio::operator()(const Bytes& payload) {
  if (payload.size() < 4 || payload[0] != 0x1A || payload[1] != 0x00) return {};
  const std::size_t numberAt = findRigModel(model)->usesBand ? 3 : 2;
  const int memory = decodeBcd4(payload[numberAt], payload[numberAt + 1]);
  if (payload.size() == numberAt + 2) {
    ++reads;
    const auto it = kept.find(memory);
    if (it == kept.end()) return {memoryAnswer(model, memory, 0)};
    Bytes answer{0x1A};
    answer.insert(answer.end(), it->second.begin(), it->second.end());
    return {answer};
  }
  ++writes;
  Bytes data(payload.begin() + 1, payload.end());
  if (onWrite) onWrite(memory, data);
  kept[memory] = data;
  return {kOkPayload};
}

std::function<std::vector<Bytes>(const Bytes&)> blankBankResponder(int model) {
  return [model](const Bytes& payload) -> std::vector<Bytes> {
    if (payload.size() >= 4 && payload[0] == 0x1A && payload[1] == 0x00) {
      const std::size_t at = payload.size() - 2;
      const int memory = decodeBcd4(payload[at], payload[at + 1]);
      return {memoryAnswer(model, memory, 0)};
    }
    return {};
  };
}

}  // namespace tarnwick::test

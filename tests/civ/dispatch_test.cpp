// Sending, the address field, the dispatcher's command table and the exact
// log lines of the link.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

class Dispatch : public ::testing::Test {
 protected:
  Dispatch() : r(kModelIc756Pro) { r.engine.setEngineState(smIdle); }

  // Delivers one answer frame; returns how many steps it caused.
  int deliver(const Bytes& payload) {
    const auto before = r.log.linesStartingWith("sm state: ").size();
    r.port.inject(answerFrame(0x5C, payload));
    r.pump();
    return static_cast<int>(r.log.linesStartingWith("sm state: ").size() - before);
  }

  // An answer, the steps it causes, and what the answer field read then holds.
  struct Answer {
    Bytes payload;
    int steps;
    std::int32_t value;
  };
  void expectAnswers(std::int32_t AnswerSlots::*field, std::initializer_list<Answer> answers) {
    for (const Answer& a : answers) {
      const std::string payload = ::testing::PrintToString(a.payload);
      EXPECT_EQ(deliver(a.payload), a.steps) << payload;
      EXPECT_EQ(r.engine.answers().*field, a.value) << payload;
    }
  }

  EngineRig r;
};

TEST_F(Dispatch, CommandTable) {
  expectAnswers(&AnswerSlots::vfoFrequency,
                {{{0x03, 0x00, 0x00, 0x60, 0x29, 0x00}, 1, 29600000},
                 {{0x03, 0xFF, 0x00, 0x60, 0x29, 0x00}, 1, 0},
                 {{0x03, 0x00, 0x0A, 0x60, 0x29, 0x00}, 1, 0}});  // not BCD

  EXPECT_EQ(deliver({0x04, 0x05, 0x02}), 1);
  EXPECT_EQ(r.engine.answers().vfoMode, 0x05);
  EXPECT_EQ(r.engine.answers().vfoFilter, 0x02);

  // Offsets in 100 Hz units, least significant byte first; settings answers
  // store the offset without stepping.
  expectAnswers(&AnswerSlots::lastOffset,
                {{{0x0C, 0x00, 0x60, 0x00}, 1, 600000},
                 {{0x0C, 0x56, 0x34, 0x12}, 1, 123456 * 100},
                 {{0x1A, 0x05, 0x14, 0x00, 0x50, 0x00}, 0, 500000},
                 {{0x1A, 0x05, 0x16, 0x00, 0x00, 0x01}, 0, 1000000},
                 {{0x1A, 0x05, 0x17, 0x00, 0x60, 0x00}, 0, 1000000}});  // another item
  EXPECT_EQ(deliver({0x1A, 0x07, 0x01}), 0);

  EXPECT_EQ(deliver({0xFA}), 1);
  EXPECT_TRUE(r.engine.answers().ngReceived);
  EXPECT_FALSE(r.engine.answers().okReceived);
  EXPECT_EQ(deliver({0xFB}), 1);
  EXPECT_TRUE(r.engine.answers().okReceived);

  // Known commands without an action: logged, not stepped.
  for (Byte c : {0x00, 0x02, 0x05, 0x0B, 0x0D, 0x18, 0x1B, 0x1C}) {
    EXPECT_EQ(deliver({c, 0x01}), 0) << int(c);
  }
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").size(), 20u);
}

TEST_F(Dispatch, MemoryContentsAreDecodedAndShortAnswersIgnored) {
  EXPECT_EQ(deliver(memoryAnswer(kModelIc756Pro, 42, 14074000)), 1);
  EXPECT_EQ(r.engine.decodedMemory().memoryNumber, 42);
  EXPECT_EQ(r.engine.decodedMemory().frequency, 14074000);

  Bytes cut = memoryAnswer(kModelIc756Pro, 43, 7074000);
  cut.resize(10);
  deliver(cut);
  EXPECT_EQ(r.engine.decodedMemory().memoryNumber, 42);  // untouched
}

TEST_F(Dispatch, IdAnswersGrowTheListAndAreLogged) {
  EXPECT_EQ(deliver({0x19, 0x00, 0x5C}), 1);
  EXPECT_EQ(deliver({0x19, 0x00, 0x04}), 1);
  EXPECT_EQ(r.engine.answers().idList, "5C 04 ");
  EXPECT_EQ(r.log.linesStartingWith("ID: "), (std::vector<std::string>{"ID: 5C ", "ID: 5C 04 "}));
}

// On a bus shared with other radios, a frame to us counts only from the
// radio asked; asked over the broadcast address, any radio may answer.
TEST_F(Dispatch, FramesFromTheAskedRadioCount) {
  r.port.inject({0xFE, 0xFE, 0xE0, 0xE2, 0xFB, 0xFD});  // another radio's OK, to us
  r.pump();
  EXPECT_FALSE(r.engine.answers().okReceived);
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").front().substr(0, 16), "Rx: E2 E0 FB 00 ");
  r.engine.setAddress({.value = 0x00});
  r.port.inject({0xFE, 0xFE, 0xE0, 0xE2, 0xFB, 0xFD});
  r.pump();
  EXPECT_TRUE(r.engine.answers().okReceived);
}

TEST_F(Dispatch, EchoOfOwnFrameIsNeverAnAnswer) {
  r.port.inject(commandFrame(0x5C, {0xFB}));
  r.pump();
  EXPECT_FALSE(r.engine.answers().okReceived);
  EXPECT_TRUE(r.log.linesStartingWith("Rx: ").empty());
}

TEST_F(Dispatch, ExactLogLines) {
  const Bytes request = memoryRequest(1);
  r.engine.sendCommand(0x5C, request);
  r.port.inject(answerFrame(0x5C, {0xFB}));
  r.pump();
  std::string rx = "Rx: 5C E0 FB 00 ";
  for (int i = 0; i < 64; ++i) rx += "00 ";
  EXPECT_EQ(r.log.lines(),
            (std::vector<std::string>{"TX: FE FE 5C E0 1A 00 00 01 FD ", rx, "sm state: 1"}));
  r.engine.reportTimeout(TimeoutCode::MemoryContents);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 15");
  EXPECT_EQ(r.port.sent.front(), commandFrame(0x5C, request));
}

TEST_F(Dispatch, SendCommandClearsOkAndNgOnlyWhenSent) {
  deliver({0xFB});
  r.port.open = false;
  r.engine.sendCommand(0x5C, Bytes{0x03});
  EXPECT_TRUE(r.engine.answers().okReceived);  // not sent: kept
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_TRUE(r.log.linesStartingWith("TX: ").empty());
  r.port.open = true;
  r.engine.sendCommand(0x5C, Bytes{0x03});
  EXPECT_FALSE(r.engine.answers().okReceived);
  EXPECT_EQ(r.port.sent.size(), 1u);
}

// The same rule reads the address the engine sends to and the one stored
// at shutdown.
TEST_F(Dispatch, RadioAddressReadsTheFieldAsHex) {
  const std::vector<std::pair<std::string, std::optional<Byte>>> cases{
      {"5C", 0x5C},         {"5c", 0x5C},         {"5C ", 0x5C},        {"5\t", 0x05},
      {"E0 ", 0xE0},        {"", 0x00},           {"  ", 0x00},         {"0", 0x00},
      {"ZZ", std::nullopt}, {" 5", std::nullopt}, {"5G", std::nullopt}, {"123", std::nullopt},
      {"-1", std::nullopt}, {"0x", std::nullopt}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseCivAddress(text), expected) << '"' << text << '"';
    r.engine.setAddress(radioAddressOf(text));
    EXPECT_EQ(r.engine.radioAddress(), expected) << '"' << text << '"';
  }
}

TEST(Address, EmptyFieldSendsToAddressZero) {
  EngineRig r(kModelIc756Pro);
  r.engine.setAddress(radioAddressOf(""));
  r.restart();
  ASSERT_EQ(r.port.sent.size(), 1u);
  EXPECT_EQ(r.port.sent[0], commandFrame(0x00, memoryRequest(1)));
}

TEST(Address, NotHexSendsNothingAndSaysSo) {
  EngineRig r(kModelIc756Pro);
  r.engine.setAddress(radioAddressOf("Q1"));
  r.restart();
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_EQ(r.log.linesStartingWith("Address error: "),
            std::vector<std::string>{"Address error: \"Q1\" is not a hexadecimal CI-V address"});
  EXPECT_EQ(r.window.statuses.back(), (std::pair<std::string, std::string>{
                                          "Address error", "\"Q1\" is not a hexadecimal address"}));
  EXPECT_EQ(r.engine.engineState(), smIdle);
  r.advance(5000);
  EXPECT_TRUE(r.window.boxes.empty());
  EXPECT_TRUE(r.log.linesStartingWith("Timeout: ").empty());
  EXPECT_TRUE(r.port.sent.empty());

  // Mended, the next restart reads.
  r.engine.setAddress(radioAddressOf("5C"));
  r.port.responder = blankBankResponder(kModelIc756Pro);
  r.restart();
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
}

}  // namespace
}  // namespace tarnwick::test

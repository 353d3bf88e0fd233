#include "serial/message_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

std::vector<std::string> feedAll(MessageAssembler& a, const std::string& bytes, std::uint8_t start,
                                 std::uint8_t end, std::uint16_t append) {
  std::vector<std::string> messages;
  for (char c : bytes) {
    if (a.feed(static_cast<std::uint8_t>(c), start, end, append)) messages.push_back(a.message());
  }
  return messages;
}

TEST(MessageAssembler, StartEndAndTrailingBytes) {
  MessageAssembler a;
  // Noise before the first start byte is dropped; the two bytes after the
  // end byte belong to the message.
  auto got = feedAll(a,
                     "zz\x02"
                     "A\x03xy"
                     "q",
                     2, 3, 2);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0],
            "\x02"
            "A\x03xy");
  EXPECT_EQ(a.state(), MessageAssembler::complete);

  // A start byte inside a message begins it afresh; an end byte outside one
  // is dropped.
  MessageAssembler b;
  got = feedAll(b,
                "\x03\x02"
                "ab\x02"
                "cd\x03"
                "12",
                2, 3, 2);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0],
            "\x02"
            "cd\x03"
            "12");

  // Trailing bytes are taken as they come, even start and end bytes.
  MessageAssembler c;
  got = feedAll(c,
                "\x02"
                "k\x03\x02\x03",
                2, 3, 2);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0],
            "\x02"
            "k\x03\x02\x03");
}

TEST(MessageAssembler, NoTrailingBytesAndSameStartAndEnd) {
  MessageAssembler a;
  auto got = feedAll(a,
                     "\x02"
                     "one\x03"
                     "\x02"
                     "two\x03",
                     2, 3, 0);
  EXPECT_EQ(got, (std::vector<std::string>{"\x02"
                                           "one\x03",
                                           "\x02"
                                           "two\x03"}));

  // With one byte for both, every occurrence starts a message: none ends.
  MessageAssembler b;
  got = feedAll(b, "|ab|cd|", '|', '|', 0);
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(b.message(), "|");
}

}  // namespace
}  // namespace tarnwick

// Files that no writer produces still read without a crash and with a
// predictable shape; the sanitizers of the test build watch every access.

#include <gtest/gtest.h>

#include <string>

#include "files/memory_list_format.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;

TEST(HostileFiles, NoLineEndIsOneLine) {
  const auto rows = parseMemoryList("1;2;3;4;5;6;7;8;9;10;11;12;13");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][10], "11");
}

TEST(HostileFiles, NulBytesAreKeptAsText) {
  const auto rows = parseMemoryList("a\0b;\0;\"\0\"\r\n\0"s);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "a\0b"s);
  EXPECT_EQ(rows[0][1], "\0"s);
  EXPECT_EQ(rows[0][2], "\0"s);
  EXPECT_EQ(rows[1][0], "\0"s);
}

TEST(HostileFiles, MegabyteLinesOfEveryKind) {
  const std::string quotes(1 << 20, '"');
  const std::string separators(1 << 20, ';');
  std::string mixed;
  for (int i = 0; i < (1 << 18); ++i) mixed += "\";\"\"";
  for (const std::string& bytes : {quotes, separators, mixed, "\"" + std::string(1 << 20, 'x'),
                                   std::string(1 << 20, 'x') + "\r\n"}) {
    const auto rows = parseMemoryList(bytes);
    ASSERT_EQ(rows.size(), 1u);
  }
  // 2^20 quotes: the last one closes and the pairs halve.
  EXPECT_EQ(parseMemoryList(quotes)[0][0].size(), (1u << 19) - 1);
  EXPECT_EQ(parseMemoryList(std::string(1 << 20, 'x'))[0][0].size(), 1u << 20);
}

TEST(HostileFiles, LoneQuotesAndCarriageReturns) {
  for (const char* bytes : {"\"", "\"\"\"", ";\"", "\";", "\"\r", "\r", "\r\r\r", "\"\r\n\"",
                            ";;;;;;;;;;;;;;;;;;;;\"", "\"\";\"\";\"", "\n\n\n"}) {
    const auto rows = parseMemoryList(bytes);
    EXPECT_LE(rows.size(), 3u) << bytes;
  }
  const auto rows = parseMemoryList("a\rb;c\rd\r");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "a\rb");
  EXPECT_EQ(rows[0][1], "c\rd\r");
}

}  // namespace
}  // namespace tarnwick

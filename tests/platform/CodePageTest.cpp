// Code page 932 <-> UTF-8 at the edges: the Windows table, the look-alikes, bad input.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/CodePage.h"

namespace {

struct Pair {
  const char* name;
  std::string cp932;
  std::string utf8;
};

class CodePageTableTest : public ::testing::TestWithParam<Pair> {};

TEST_P(CodePageTableTest, ConvertsBothWays) {
  bool lossless = false;
  EXPECT_EQ(Cp932ToUtf8(GetParam().cp932, &lossless), GetParam().utf8);
  EXPECT_TRUE(lossless);
  EXPECT_EQ(Utf8ToCp932(GetParam().utf8, &lossless), GetParam().cp932);
  EXPECT_TRUE(lossless);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, CodePageTableTest,
    ::testing::Values(Pair{"Ascii", "abc 012", "abc 012"},
                      Pair{"Kanji", "\x96\xBC\x91\x4F", "名前"},
                      Pair{"HalfWidthKatakana", "\xD4\xCF\xC0\xDE", "ﾔﾏﾀﾞ"},
                      Pair{"FullWidthSpace", "\x81\x40", "\u3000"},
                      Pair{"WaveDashWindowsForm", "\x81\x60", "\uFF5E"},
                      Pair{"NecSpecialCircledOne", "\x87\x40", "\u2460"},
                      Pair{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodePage, TakesTheLookAlikesInputMethodsType) {
  EXPECT_EQ(Utf8ToCp932("\u301C"), "\x81\x60");  // WAVE DASH
  EXPECT_EQ(Utf8ToCp932("\u2212"), "\x81\x7C");  // MINUS SIGN
  EXPECT_EQ(Utf8ToCp932("\u00A5"), "\x5C");      // YEN SIGN
}

TEST(CodePage, UndecodableBytesAreReplacedAndReported) {
  bool lossless = true;
  // A lone lead byte at the end, then a lead byte with an impossible trail byte.
  EXPECT_EQ(Cp932ToUtf8("a\x82", &lossless), "a\uFFFD");
  EXPECT_FALSE(lossless);
  std::string out = Cp932ToUtf8("\x81\x0A" "b", &lossless);
  EXPECT_FALSE(lossless);
  EXPECT_NE(out.find('b'), std::string::npos) << "text after a bad byte is kept";
}

TEST(CodePage, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
  bool lossless = true;
  EXPECT_EQ(Utf8ToCp932("a\U0001F600b", &lossless), "a?b");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(Utf8ToCp932("a\xE3" "b\xFF" "c", &lossless), "a?b?c");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(Utf8ToCp932("\xE5\x90", &lossless), "?");  // cut off at the end
}

TEST(CodePage, LongTextGrowsTheOutput) {
  std::string cp932;
  for (int i = 0; i < 5000; ++i) cp932 += "\xB1\x96\xBC";  // ｱ名 and a byte of the next
  cp932 += "\x91\x4F";
  bool lossless = false;
  std::string utf8 = Cp932ToUtf8(cp932, &lossless);
  EXPECT_TRUE(lossless);
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
}

TEST(CodePage, ConvertsOnManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> ok(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t, &ok] {
      for (int i = 0; i < 500; ++i) ok[t] += Utf8ToCp932(Cp932ToUtf8("\x96\xBC\x91\x4F")) == "\x96\xBC\x91\x4F";
    });
  }
  for (auto& thread : threads) thread.join();
  for (int count : ok) EXPECT_EQ(count, 500);
}

}  // namespace

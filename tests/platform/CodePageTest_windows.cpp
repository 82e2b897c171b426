// Code page 932 through the system: its lead bytes are the core's, and a byte the table
// cannot decode is reported rather than turned into the system's default character.
#include <gtest/gtest.h>

#include "phonebook/EntryRules.h"
#include "platform/CodePage.h"
#include "platform/WindowsApi.h"

namespace {

TEST(CodePageWindows, SystemLeadBytesAreTheCoresLeadBytes) {
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(IsDBCSLeadByteEx(932, static_cast<BYTE>(byte)) != 0, IsLeadByte(static_cast<unsigned char>(byte)))
        << "byte " << byte;
  }
}

TEST(CodePageWindows, HalfWidthKatakanaAreSingleBytes) {
  for (int byte = 0xA1; byte <= 0xDF; ++byte) {
    bool lossless = false;
    const std::string utf8 = Cp932ToUtf8(std::string(1, static_cast<char>(byte)), &lossless);
    EXPECT_TRUE(lossless) << byte;
    const char32_t expected = 0xFF61 + (byte - 0xA1);
    EXPECT_EQ(utf8, std::string({static_cast<char>(0xE0 | (expected >> 12)),
                                 static_cast<char>(0x80 | ((expected >> 6) & 0x3F)),
                                 static_cast<char>(0x80 | (expected & 0x3F))}));
    EXPECT_EQ(Utf8ToCp932(utf8), std::string(1, static_cast<char>(byte)));
  }
}

TEST(CodePageWindows, BadTrailByteBecomesOneReplacementNotTheDefaultCharacter) {
  bool lossless = true;
  EXPECT_EQ(Cp932ToUtf8("\x81\x0A" "b", &lossless), "\uFFFD\nb");
  EXPECT_FALSE(lossless);
  // The system's own default character for code page 932 is U+30FB, a real character.
  EXPECT_EQ(Cp932ToUtf8("\x81\x45", &lossless), "\u30FB");
  EXPECT_TRUE(lossless);
}

}  // namespace

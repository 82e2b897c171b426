// Kana readings by the system's tables: every system gives the handset's half-width forms.
#include <gtest/gtest.h>

#include <string>

#include "platform/HalfWidthKana.h"

namespace {

struct KanaCase {
  const char* name;
  std::u16string typed;
  std::u16string reading;
};

class HalfWidthKanaTest : public ::testing::TestWithParam<KanaCase> {};

TEST_P(HalfWidthKanaTest, GivesTheHalfWidthReading) {
  EXPECT_EQ(platform::ToHalfWidthKatakana(GetParam().typed), GetParam().reading);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, HalfWidthKanaTest,
    ::testing::Values(KanaCase{"Hiragana", u"やまだ", u"ﾔﾏﾀﾞ"},
                      KanaCase{"FullWidthKatakana", u"ヤマダ", u"ﾔﾏﾀﾞ"},
                      KanaCase{"SemiVoicedAndSmallKana", u"ぱっきょ", u"ﾊﾟｯｷｮ"},
                      KanaCase{"ProlongedSoundAndN", u"らーめん", u"ﾗｰﾒﾝ"},
                      KanaCase{"WoAndSpace", u"を　", u"ｦ "},
                      KanaCase{"HalfWidthStaysAsItIs", u"ｱｲｳ", u"ｱｲｳ"},
                      KanaCase{"FullWidthLettersAndDigits", u"ＡＢ１", u"AB1"},
                      KanaCase{"Empty", u"", u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FullWidthKanaTest, WidensTheKanaAlone) {
  EXPECT_EQ(platform::ToFullWidthKatakana(u"ﾔﾏﾀﾞ ﾀﾛｳ"), u"ヤマダ タロウ");
  EXPECT_EQ(platform::ToFullWidthKatakana(u"ｳﾞｨｰﾅｽ･ﾊﾟｰｸ"), u"ヴィーナス・パーク");
  EXPECT_EQ(platform::ToFullWidthKatakana(u"AB1-#"), u"AB1-#");
  EXPECT_EQ(platform::ToFullWidthKatakana(u""), u"");
}

// Every half-width kana and punctuation mark, alone and before each voiced-sound mark,
// comes back from full width unchanged: an exported reading imports as it was.
TEST(FullWidthKanaTest, HalfWidthComesBackFromFullWidth) {
  for (char16_t kana = 0xFF61; kana <= 0xFF9F; ++kana) {
    for (std::u16string reading : {std::u16string{kana}, std::u16string{kana, u'ﾞ'},
                                   std::u16string{kana, u'ﾟ'}}) {
      EXPECT_EQ(platform::ToHalfWidthKatakana(platform::ToFullWidthKatakana(reading)), reading)
          << "U+" << std::hex << static_cast<int>(kana);
    }
  }
}

}  // namespace

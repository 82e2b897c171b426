// The string table: texts by id, and the command prompts' "prompt\ntooltip" form.
#include <gtest/gtest.h>

#include <string>

#include "strings/StringTable.h"

namespace {

TEST(StringTable, HoldsTheMessageTextsExactly) {
  EXPECT_EQ(StringText(138), "ファイルからデータの読出し");
  EXPECT_EQ(StringText(139), "ファイル形式が不正です。\r\n\r\n指定したファイルをご確認ください。");
  EXPECT_EQ(StringText(141), "データの書込みに失敗しました。");
  EXPECT_EQ(StringText(169),
            "メモリ番号に不正な文字が含まれています。\r\n\r\nメモリ番号に入力できる文字は、\r\n"
            "半角文字 \"0～9\" です。");
  EXPECT_EQ(StringText(211),  // no final "。", as the handset's software has it
            "電話番号３のデータ長がオーバーしています。\r\n\r\n電話番号３の最大文字数は\r\n"
            "  半角24文字まで\r\nです");
  EXPECT_EQ(StringText(221), "VelmoraQVの電源を入れ直し、USBケーブルを抜き差しして、\r\n再度実行してください");
  EXPECT_EQ(StringText(61729),
            "%1\nこのファイルが見つかりません。\nパスとファイル名が正しいかどうか確認してださい。");
  EXPECT_EQ(StringText(12345), "");
}

TEST(StringTable, AboutAndTemplateStrings) {
  EXPECT_EQ(StringText(130), "　　　　　　　Version 1.0.2　　　　　　　　　　　　　");
  std::string_view templ = StringText(129);
  EXPECT_EQ(templ, "\n電話帳\n電話帳\nCSV ファイル (*.csv)\n.csv\nvantrel\nMicrosoft Office Excel CSV ファイル");
}

TEST(StringTable, EveryCommandHasAPrompt) {
  const int commands[] = {57600, 57601, 57602, 57603, 57604, 57665, 57635, 57634, 57637,
                          59392, 59393, 32773, 32774, 32778, 32779, 32793, 32780, 32783,
                          32784, 32798, 32805, 32820, 57649, 57650, 57651, 57664, 57666,
                          57643, 57644, 57636, 32832};
  for (int id : commands) {
    EXPECT_FALSE(CommandPrompt(id).empty()) << id;
    EXPECT_EQ(CommandPrompt(id).find('\n'), std::string_view::npos) << id;
  }
  EXPECT_EQ(CommandPrompt(32783), "端末から PC にダウンロードします");
  EXPECT_EQ(CommandTooltip(32783), "ダウンロード");
  // Exit's prompt has a backslash instead of the line break, so it is all prompt.
  EXPECT_EQ(CommandPrompt(57665), "アプリケーションを終了し、ファイルの保存を指示\\終了");
  EXPECT_EQ(CommandTooltip(57665), "");
  EXPECT_EQ(CommandTooltip(32805), "");
}

}  // namespace

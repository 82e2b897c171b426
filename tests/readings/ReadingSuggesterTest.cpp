// The reading suggester on the real dictionary (Debian's mecab-ipadic-utf8 or the "dic"
// folder beside the test program): readings of a handful of names, the rules every
// suggestion keeps, a missing dictionary, many threads at once, and the one-step fill.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "../phonebook/StoreTestSupport.h"
#include "phonebook/EntryRules.h"
#include "platform/CodePage.h"
#include "readings/NameParts.h"
#include "readings/NameReadingTable.h"
#include "readings/NameReadings.h"
#include "readings/ReadingFill.h"
#include "readings/ReadingSuggester.h"

namespace {

std::string Sjis(const char* utf8) { return Utf8ToCp932(utf8); }

CReadingSuggester& Suggester() {
  static CReadingSuggester suggester;
  return suggester;
}

struct NameCase {
  const char* name;
  const char* best;     // empty: any
  const char* offered;  // a reading that must be among the alternatives
};

TEST(ReadingSuggester, ReadsNamesAndKeepsTheReadingRules) {
  ASSERT_TRUE(Suggester().Load()) << "no dictionary: install mecab-ipadic-utf8";
  const NameCase cases[] = {
      {"山田太郎", "ﾔﾏﾀﾞﾀﾛｳ", "ﾔﾏﾀﾞﾀﾛｳ"},
      {"大谷翔平", "ｵｵﾀﾆｼｮｳﾍｲ", "ｵｵﾔｼｮｳﾍｲ"},  // 大谷 is ｵｵﾀﾆ or ｵｵﾔ: both offered, the usual first
      {"佐藤裕子", "", "ｻﾄｳﾋﾛｺ"},              // 裕子 is ﾕｳｺ or ﾋﾛｺ
      {"佐藤裕子", "", "ｻﾄｳﾕｳｺ"},
      {"東海林さだお", "ｼｮｳｼﾞｻﾀﾞｵ", ""},        // a surname read unlike its kanji, from the names table
      {"山田商店", "ﾔﾏﾀﾞｼｮｳﾃﾝ", ""},            // not a person's name: MeCab's words
      {"鈴木 一郎", "ｽｽﾞｷ ｲﾁﾛｳ", ""},         // the parts as written apart
      {"ﾔﾏﾀﾞ", "ﾔﾏﾀﾞ", ""},                   // half-width kana read as written
      {"さくら", "ｻｸﾗ", ""},
      {"阿部慎之助", "", "ｱﾍﾞｼﾝﾉｽｹ"},          // 慎 and 之助 from the learned name parts
      {"長谷川長谷川長谷", "", ""},             // a reading longer than 16 bytes is cut
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> readings = Suggester().Suggest(Sjis(c.name));
    ASSERT_FALSE(readings.empty());
    EXPECT_LE(readings.size(), CReadingSuggester::kMaxReadings);
    if (*c.best) {
      EXPECT_EQ(Cp932ToUtf8(readings[0]), c.best);
    }
    if (*c.offered) {
      EXPECT_NE(std::find(readings.begin(), readings.end(), Sjis(c.offered)), readings.end());
    }
    for (const std::string& reading : readings) {
      EXPECT_LE(reading.size(), kReadingMaxBytes) << Cp932ToUtf8(reading);
      EXPECT_TRUE(CheckFieldChars(FieldReading, reading).ok) << Cp932ToUtf8(reading);
      EXPECT_EQ(std::count(readings.begin(), readings.end(), reading), 1);
    }
  }
  EXPECT_TRUE(Suggester().Suggest("").empty());
  EXPECT_EQ(Suggester().Suggest(Sjis("山田太郎"), 2).size(), 2u);
  EXPECT_GT(Suggester().DictionaryBytes(), 1'000'000u);
  EXPECT_GT(Suggester().NamePartCount(), 1000u);
  EXPECT_GT(Suggester().NameReadingCount(), 100'000u);
}

TEST(ReadingSuggester, WithoutADictionaryItSaysSoOnceAndSuggestsNothing) {
  ScratchFolder empty;
  CReadingSuggester suggester({empty.Path()});
  EXPECT_FALSE(suggester.TakeMissingNotice());  // not looked for yet
  suggester.LoadInBackground();
  EXPECT_TRUE(suggester.Suggest(Sjis("山田")).empty());
  EXPECT_EQ(suggester.GetState(), CReadingSuggester::State::Missing);
  EXPECT_TRUE(suggester.TakeMissingNotice());
  EXPECT_FALSE(suggester.TakeMissingNotice());
}

TEST(ReadingSuggester, ManyThreadsGetTheSameReadingsAsOne) {
  CReadingSuggester suggester;
  suggester.LoadInBackground();
  const std::string name = Sjis("佐藤花子");
  std::vector<std::vector<std::string>> results(4);
  std::vector<std::thread> threads;
  for (auto& result : results)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) result = suggester.Suggest(name);
    });
  for (std::thread& thread : threads) thread.join();
  for (const auto& result : results) EXPECT_EQ(result, Suggester().Suggest(name));
}

TEST(ReadingSuggester, NamePartsSkipMalformedLines) {
  ScratchFolder folder;
  std::ofstream(folder.File("parts.tsv"), std::ios::binary) << "昭\tアキ\t126\t1291\t1291\t名\n"
                                                                "昭\tアキ\tmany\t1291\t1291\t名\n"
                                                                "充\tミツ\t29\t1291\t99999\t名\n"
                                                                "阿\tア\t22\t1290\t1290\t姓\n";
  CNameParts parts;
  ASSERT_TRUE(parts.Load(folder.File("parts.tsv")));
  EXPECT_EQ(parts.Count(), 2u);
  ASSERT_NE(parts.Find("阿"), nullptr);
  EXPECT_TRUE(parts.Find("阿")->front().surname);
  EXPECT_EQ(parts.Find("充"), nullptr);
  EXPECT_FALSE(parts.Load(folder.File("missing.tsv")));
}

// The names table: malformed lines passed over, a line ending in CR LF read whole, each
// name's readings by kind and cost, and an unsorted file refused whole, since halving could
// not find its names. The files are written in binary so that Windows adds no CR of its own.
TEST(ReadingSuggester, NameTableFindsByKindAndRefusesAnUnsortedFile) {
  ScratchFolder folder;
  std::ofstream(folder.File("names.tsv"), std::ios::binary) << "大谷\t姓\tオオヤ\t-4000\n"
                                                                "大谷\t姓\tオオタニ\t-8000\n"
                                                                "大谷\t名\tヒロヤ\t300\n"
                                                                "大谷\t姓\tオタニ\tmany\n"
                                                                "翔平\t名\tショウヘイ\t-7000\r\n";
  CNameReadingTable table;
  ASSERT_TRUE(table.Load(folder.File("names.tsv")));
  EXPECT_EQ(table.Count(), 4u);
  const std::vector<TableReading> surnames = table.Find("大谷", true);
  ASSERT_EQ(surnames.size(), 2u);
  EXPECT_EQ(surnames[0].katakana, "オオタニ");
  EXPECT_EQ(table.Find("大谷", false).size(), 1u);
  EXPECT_EQ(table.Find("翔平", false).at(0).katakana, "ショウヘイ");
  EXPECT_TRUE(table.Find("大", true).empty());
  const std::vector<RankedReading> whole = TableNameReadings(table, "大谷翔平", 10, NamePosition::Whole);
  ASSERT_EQ(whole.size(), 2u);
  EXPECT_EQ(whole[0].katakana, "オオタニショウヘイ");

  std::ofstream(folder.File("unsorted.tsv"), std::ios::binary) << "翔平\t名\tショウヘイ\t0\n大谷\t姓\tオオタニ\t0\n";
  EXPECT_FALSE(table.Load(folder.File("unsorted.tsv")));
  EXPECT_EQ(table.Count(), 0u);
}

// Proposals cover the entries without a reading (all with `all`); the fill gives the
// chosen readings and passes over a number no entry has, adding nothing.
TEST(ReadingFill, ProposesForMissingReadingsAndWritesAllOrNothing) {
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  for (const auto& [number, name, reading] :
       {std::tuple{1, "山田太郎", ""}, {2, "鈴木", "ｽｽﾞｷ"}, {3, "", ""}}) {
    PhonebookEntry entry;
    entry.memoryNumber = number;
    entry.name = Sjis(name);
    entry.reading = Sjis(reading);
    entry.phone1 = "0312345678";
    ASSERT_EQ(store.AddEntry(entry), StoreResult::Ok);
  }
  std::vector<PhonebookEntry> entries;
  ASSERT_EQ(store.ListAllEntries(entries), StoreResult::Ok);
  const auto missing = ProposeReadings(entries, Suggester(), false, 3);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].memoryNumber, 1);
  EXPECT_EQ(Cp932ToUtf8(missing[0].readings.at(0)), "ﾔﾏﾀﾞﾀﾛｳ");
  EXPECT_EQ(ProposeReadings(entries, Suggester(), true, 3).size(), 2u);

  ASSERT_EQ(ApplyReadings(store, {{1, Sjis("ﾔﾏﾀﾞ")}, {999, Sjis("ｱ")}, {2, Sjis("ｽｽﾞｷ ﾀﾛｳ")}}),
            StoreResult::Ok);
  PhonebookEntry kept;
  ASSERT_EQ(store.FindEntry(2, kept), StoreResult::Ok);
  EXPECT_EQ(Cp932ToUtf8(kept.reading), "ｽｽﾞｷ ﾀﾛｳ");
  EXPECT_EQ(kept.phone1, "0312345678");
  EXPECT_EQ(store.EntryCount(), 3);
  EXPECT_FALSE(store.usedFlags()[999]);
}

}  // namespace

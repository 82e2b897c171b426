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
      {"大谷翔平", "", "ｵｵﾀﾆｼｮｳﾍｲ"},          // 大谷 is ｵｵﾀﾆ or ｵｵﾔ: both offered
      {"大谷翔平", "", "ｵｵﾔｼｮｳﾍｲ"},
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
  std::ofstream(folder.File("parts.tsv")) << "昭\tアキ\t126\t1291\t1291\t名\n"
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

// Helpers shared by the clipboard and import tests: a store over a scratch folder, real
// files in it, the rules every stored entry must keep, and a duplicate resolver that
// answers from a script.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "../phonebook/StoreTestSupport.h"
#include "files/CsvImport.h"
#include "phonebook/EntryRules.h"

// Answers from a script, and records every question it was asked.
class ScriptedResolver : public IDuplicateResolver {
 public:
  struct Question {
    int number;
    std::vector<std::string> fields;
    PhonebookEntry stored;
  };

  explicit ScriptedResolver(std::vector<DuplicateChoice> answers) : m_answers(std::move(answers)) {}

  DuplicateChoice ResolveDuplicate(int number, const std::vector<std::string>& fields,
                                   const PhonebookEntry& stored) override {
    questions.push_back({number, fields, stored});
    if (m_answers.empty()) return {DuplicateMethod::Skip, false};
    DuplicateChoice answer = m_answers.front();
    if (m_answers.size() > 1) m_answers.erase(m_answers.begin());
    return answer;
  }

  std::vector<Question> questions;

 private:
  std::vector<DuplicateChoice> m_answers;  // the last one repeats
};

class ExchangeTest : public StoreTest {
 protected:
  // Writes `bytes` unchanged to a file of the scratch folder and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = m_folder.File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static PhonebookEntry Entry(int number, std::string name, std::string reading = "\xD4\xCF",
                              std::string phone1 = "0312345678", int group = 1) {
    PhonebookEntry entry;
    entry.memoryNumber = number;
    entry.name = std::move(name);
    entry.reading = std::move(reading);
    entry.phone1 = std::move(phone1);
    entry.group = group;
    return entry;
  }

  // Entries "n<number>" under the memory numbers first..last.
  void Fill(int first, int last) {
    CDbPhoneCtrl::Batch batch(store);
    for (int n = first; n <= last; ++n) EXPECT_EQ(store.AddEntry(Entry(n, "n" + std::to_string(n))), StoreResult::Ok);
    EXPECT_EQ(batch.Commit(), StoreResult::Ok);
  }

  std::vector<PhonebookEntry> Entries() {
    std::vector<PhonebookEntry> entries;
    EXPECT_EQ(store.ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::Ok);
    return entries;
  }

  PhonebookEntry Stored(int number) {
    PhonebookEntry entry;
    EXPECT_EQ(store.FindEntry(number, entry), StoreResult::Ok);
    return entry;
  }

  // Every stored entry keeps the field rules, and the numbers in use match the table.
  void ExpectEntriesKeepTheRules() {
    const auto entries = Entries();
    int inUse = 0;
    for (int flag : store.usedFlags()) inUse += flag ? 1 : 0;
    EXPECT_EQ(inUse, static_cast<int>(entries.size()));
    for (const auto& e : entries) {
      EXPECT_GE(e.memoryNumber, 1);
      EXPECT_LE(e.memoryNumber, kMaxEntries);
      EXPECT_LE(e.name.size(), kNameMaxBytes);
      EXPECT_EQ(CleanControlChars(e.name), e.name);
      EXPECT_LE(e.reading.size(), kReadingMaxBytes);
      EXPECT_EQ(FilterChars(e.reading, CharSet::Reading), e.reading);
      for (const std::string* phone : {&e.phone1, &e.phone2, &e.phone3}) {
        EXPECT_LE(phone->size(), kPhoneMaxBytes);
        EXPECT_EQ(phone->find('p'), std::string::npos);
        EXPECT_EQ(FilterChars(*phone, CharSet::Phone), *phone);
      }
      EXPECT_GE(e.group, 1);
      EXPECT_LE(e.group, 9);
    }
  }

  CDbPhoneCtrl& store = Store();
};

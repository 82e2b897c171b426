// Inputs the fuzz targets found to break a rule, kept as tests. Each was a phonebook that
// could not be saved and opened again as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "files/MemoryArchiveReader.h"
#include "files/PhonebookCsv.h"
#include "files/StringArchiveWriter.h"
#include "../phonebook/StoreTestSupport.h"

namespace {

class SavedAndReopened : public StoreTest {
 protected:
  // Saves the store as a document with the delimiter and opens the text in a second store.
  std::vector<PhonebookEntry> Reopen(bool comma) {
    CStringArchiveWriter writer;
    EXPECT_EQ(SaveCsv(Store(), writer, comma), StoreResult::Ok);
    CMemoryArchiveReader reader(writer.Bytes());
    EXPECT_EQ(m_reopened.DeleteAll(), StoreResult::Ok);
    EXPECT_EQ(LoadCsv(m_reopened, reader, comma).status, CsvLoadResult::Ok) << writer.Bytes();
    std::vector<PhonebookEntry> entries;
    EXPECT_EQ(m_reopened.ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::Ok);
    return entries;
  }

  CDbPhoneCtrl m_reopened{*m_pEnvironment};
};

// A downloaded image may hold any byte in a name, line breaks included; the document
// written from it used to break the record in two and then refuse to open.
TEST_F(SavedAndReopened, LineBreaksFromTheHandsetDoNotBreakTheDocument) {
  PhonebookImage image{};
  const char* names[] = {"ab\rcd", "x\ny", "\r\n"};
  for (int k = 0; k < 3; ++k) {
    uint8_t* record = image.data() + k * kImageRecordSize;
    record[4] = 0xB1;  // reading ｱ
    std::memcpy(record + 21, names[k], std::strlen(names[k]));
    std::memcpy(record + 38, "0311", 4);
  }
  EXPECT_EQ(LoadPhonebookImage(image, Store()), StoreResult::Ok);
  for (bool comma : {true, false}) {
    const std::vector<PhonebookEntry> entries = Reopen(comma);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "ab cd");
    EXPECT_EQ(entries[1].name, "x y");
    EXPECT_EQ(entries[2].name, "");  // two spaces, trimmed on reading
  }
}

// Texts that the writer's quoting used to change: a text of quotes only gained a quote,
// and a tab inside a name split the row of a tab-separated document. (The tab itself now
// reads back as a space: no control character enters a name.)
TEST_F(SavedAndReopened, QuotesAndTabsReadBackUnchanged) {
  const std::vector<PhonebookEntry> stored = {
      {1, "\"", "\"", "1", "", "", 1},
      {2, "\"\"", "\"\"\"", "2", "", "", 2},
      {3, "a\tb", "\",\"", "3", "", "", 3},
      {4, "\"\t\"", "x", "4", "", "", 4},
  };
  AddAll(stored);
  std::vector<PhonebookEntry> expected = stored;
  expected[2].name = "a b";
  expected[3].name = "\" \"";
  for (bool comma : {true, false}) EXPECT_EQ(Reopen(comma), expected) << "comma " << comma;
}

}  // namespace

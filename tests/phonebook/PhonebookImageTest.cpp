// The handset image: record layout, BuildImage, LoadPhonebookImage and round trips.
#include "phonebook/PhonebookImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Cp932Samples.h"
#include "StoreTestSupport.h"

using namespace cp932;

namespace {

const uint8_t* Record(const PhonebookImage& image, std::size_t index) {
  return image.data() + index * kImageRecordSize;
}

bool AllZero(const uint8_t* begin, const uint8_t* end) {
  return std::all_of(begin, end, [](uint8_t byte) { return byte == 0; });
}

std::string FieldText(const uint8_t* record, std::size_t offset) {
  return reinterpret_cast<const char*>(record + offset);  // every field ends with a zero
}

// Writes the text fields of one record the way a handset would.
void PutRecord(PhonebookImage& image, std::size_t index, const std::string& reading,
               const std::string& name, uint8_t groupByte = 0) {
  uint8_t* record = image.data() + index * kImageRecordSize;
  record[0] = 1;
  std::memcpy(record + 4, reading.data(), std::min<std::size_t>(reading.size(), 17));
  std::memcpy(record + 21, name.data(), std::min<std::size_t>(name.size(), 17));
  record[116] = groupByte;
}

class PhonebookImageTest : public StoreTest {
 protected:
  PhonebookImage Build() {
    PhonebookImage image{};
    EXPECT_EQ(Store().BuildImage(image), StoreResult::Ok);
    return image;
  }
  std::vector<PhonebookEntry> AllEntries() {
    std::vector<PhonebookEntry> entries;
    EXPECT_EQ(Store().ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::Ok);
    return entries;
  }
};

TEST_F(PhonebookImageTest, RecordsArePackedInNumberOrder) {
  AddAll({MakeEntry(12, "C", "twelve", 9), MakeEntry(3, "A", "three", 1),
          MakeEntry(7, "B", "seven", 4)});
  const PhonebookImage image = Build();

  const char* names[] = {"three", "seven", "twelve"};
  const uint8_t groups[] = {0, 3, 8};
  for (std::size_t k = 0; k < 3; ++k) {
    const uint8_t* record = Record(image, k);
    EXPECT_EQ(record[0], 1);
    EXPECT_TRUE(AllZero(record + 1, record + 4));
    EXPECT_EQ(FieldText(record, 21), names[k]);
    EXPECT_EQ(FieldText(record, 38), "0312345678");
    EXPECT_TRUE(AllZero(record + 113, record + 116));
    EXPECT_EQ(record[116], groups[k]);
    EXPECT_TRUE(AllZero(record + 117, record + 120));
  }
  EXPECT_TRUE(AllZero(Record(image, 3), image.data() + image.size()));

  EXPECT_EQ(LoadPhonebookImage(image, Store()), StoreResult::Ok);
  const auto loaded = AllEntries();
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[0].memoryNumber, 1);
  EXPECT_EQ(loaded[2].memoryNumber, 3);
  EXPECT_EQ(loaded[2].name, "twelve");
  EXPECT_EQ(loaded[2].group, 9);
  EXPECT_EQ(Store().GetFreeMemoryNumber(), 4);
}

TEST_F(PhonebookImageTest, FullWidthTextsFillTheirFieldsAndStayTerminated) {
  PhonebookEntry entry = MakeEntry(1, std::string(16, '\xB1'), Repeat(kYama, 8));
  entry.phone1 = std::string(24, '9');
  entry.phone3 = std::string(30, '8');  // longer than the handset holds: cut at 24
  AddAll({entry});
  const PhonebookImage image = Build();
  const uint8_t* record = Record(image, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 21), 16), Repeat(kYama, 8));
  EXPECT_EQ(record[37], 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 38), 24), std::string(24, '9'));
  EXPECT_EQ(record[62], 0);
  EXPECT_EQ(record[20], 0);
  EXPECT_EQ(FieldText(record, 88), std::string(24, '8'));
}

// An entry without a reading carries the in-use mark and is loaded with every entry after
// it; the list ends at the first record that has neither a reading nor the mark.
TEST_F(PhonebookImageTest, AnEntryWithoutAReadingIsLoadedAndAnUnmarkedEmptyRecordEndsTheList) {
  AddAll({MakeEntry(1, "A"), MakeEntry(2, ""), MakeEntry(3, "C")});
  PhonebookImage image = Build();
  EXPECT_EQ(Record(image, 1)[0], 1);
  EXPECT_TRUE(AllZero(Record(image, 1) + 4, Record(image, 1) + 21));

  EXPECT_EQ(LoadPhonebookImage(image, Store()), StoreResult::Ok);
  std::vector<PhonebookEntry> entries = AllEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].memoryNumber, 2);
  EXPECT_EQ(entries[1].reading, "");
  EXPECT_EQ(entries[2].reading, "C");

  image[1 * kImageRecordSize] = 0;  // the same record without its mark ends the list
  EXPECT_EQ(LoadPhonebookImage(image, Store()), StoreResult::Ok);
  EXPECT_EQ(AllEntries().size(), 1u);
}

TEST_F(PhonebookImageTest, LoadStopsAtRecordFiveAndReplacesTheStore) {
  AddAll({MakeEntry(500, "OLD")});
  PhonebookImage image{};
  for (std::size_t i = 0; i < 10; ++i)
    if (i != 5) PutRecord(image, i, "R" + std::to_string(i), "N");
  EXPECT_EQ(LoadPhonebookImage(image, Store()), StoreResult::Ok);
  const auto loaded = AllEntries();
  ASSERT_EQ(loaded.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(loaded[i].memoryNumber, i + 1);
  EXPECT_EQ(Store().usedFlags()[500 - 1], 0);
}

TEST_F(PhonebookImageTest, LoadTakesFieldsAsTheImageHoldsThem) {
  PhonebookImage image{};
  // No zero inside the 17-byte fields: the text ends at 16 bytes.
  PutRecord(image, 0, std::string(17, 'R'), std::string(17, 'N'), 200);
  EXPECT_EQ(LoadPhonebookImage(image, Store()), StoreResult::Ok);
  const auto loaded = AllEntries();
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].reading, std::string(16, 'R'));
  EXPECT_EQ(loaded[0].name, std::string(16, 'N'));
  EXPECT_EQ(loaded[0].group, 201);
}

TEST_F(PhonebookImageTest, AnEmptyImageEmptiesTheStore) {
  AddAll({MakeEntry(1, "A")});
  EXPECT_EQ(LoadPhonebookImage(PhonebookImage{}, Store()), StoreResult::Ok);
  EXPECT_TRUE(AllEntries().empty());
  EXPECT_EQ(Store().EntryCount(), 0);
}

class ImageRoundTrip : public PhonebookImageTest, public ::testing::WithParamInterface<int> {};

TEST_P(ImageRoundTrip, StoreToImageToStoreKeepsEveryEntry) {
  const int count = GetParam();
  std::vector<PhonebookEntry> entries;
  for (int n = 1; n <= count; ++n) {
    PhonebookEntry entry{n, Repeat(kYama, 1 + n % 8), std::string(1 + n % 16, '\xB1' + n % 40),
                         std::to_string(n), "", "#*P", 1 + n % 9};
    entries.push_back(entry);
  }
  AddAll(entries);
  const PhonebookImage image = Build();
  if (count < static_cast<int>(kImageRecordCount)) {
    EXPECT_TRUE(AllZero(Record(image, count), image.data() + image.size()));
  }

  ScratchFolder otherFolder;
  auto otherEnvironment = StoreEnvironment::CreateShared(otherFolder.Path());
  CDbPhoneCtrl other(*otherEnvironment);
  EXPECT_EQ(LoadPhonebookImage(image, other), StoreResult::Ok);
  std::vector<PhonebookEntry> loaded;
  ASSERT_EQ(other.ListEntries(KanaRowAll, SortByNumber, true, loaded), StoreResult::Ok);
  EXPECT_EQ(loaded, entries);
  EXPECT_EQ(other.EntryCount(), count);
}

INSTANTIATE_TEST_SUITE_P(Counts, ImageRoundTrip, ::testing::Values(0, 1, 999, 1000));

TEST(PhonebookImage, AStoreWithoutSlotWritesNothing) {
  ScratchFolder folder;
  auto environment = StoreEnvironment::CreateShared(folder.Path());
  std::vector<std::unique_ptr<CDbPhoneCtrl>> stores;
  for (int i = 0; i < StoreEnvironment::kSlotCount + 1; ++i)
    stores.push_back(std::make_unique<CDbPhoneCtrl>(*environment));
  CDbPhoneCtrl& noSlot = *stores.back();
  ASSERT_FALSE(noSlot.HasSlot());
  PhonebookImage image{};
  EXPECT_EQ(noSlot.BuildImage(image), StoreResult::NoSlot);
  EXPECT_TRUE(AllZero(image.data(), image.data() + image.size()));
}

}  // namespace

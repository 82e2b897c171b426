// Conversion between a store and the handset's phonebook image pdata.bin.
#include "phonebook/PhonebookImage.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "phonebook/DbPhoneCtrl.h"

namespace {

// Where each field sits inside a 120-byte record, and its width with the closing zero.
struct ImageField {
  std::size_t offset;
  std::size_t width;
};

constexpr std::size_t kInUseOffset = 0;
constexpr ImageField kReadingField{4, 17};
constexpr ImageField kNameField{21, 17};
constexpr ImageField kPhoneFields[3] = {{38, 25}, {63, 25}, {88, 25}};
constexpr std::size_t kGroupOffset = 116;

// Writes `text` into the field, cut to the width less one so a zero always ends it.
void WriteText(uint8_t* record, ImageField field, const std::string& text) {
  const std::size_t length = std::min(text.size(), field.width - 1);
  std::memcpy(record + field.offset, text.data(), length);
  std::memset(record + field.offset + length, 0, field.width - length);
}

// The field's bytes up to its first zero, never more than its width less one.
std::string ReadText(const uint8_t* record, ImageField field) {
  const auto* begin = reinterpret_cast<const char*>(record + field.offset);
  const std::size_t limit = field.width - 1;
  const auto* zero = static_cast<const char*>(std::memchr(begin, 0, limit));
  return std::string(begin, zero ? static_cast<std::size_t>(zero - begin) : limit);
}

}  // namespace

StoreResult CDbPhoneCtrl::BuildImage(PhonebookImage& image) {
  std::vector<PhonebookEntry> entries;
  const StoreResult result = ListAllEntries(entries);
  if (result != StoreResult::Ok) return result;
  // Gaps in the numbering close up: the k-th entry lands in record k - 1.
  const std::size_t count = std::min(entries.size(), kImageRecordCount);
  for (std::size_t k = 0; k < count; ++k) {
    const PhonebookEntry& entry = entries[k];
    uint8_t* record = image.data() + k * kImageRecordSize;
    record[kInUseOffset] = 1;
    WriteText(record, kReadingField, entry.reading);
    WriteText(record, kNameField, entry.name);
    WriteText(record, kPhoneFields[0], entry.phone1);
    WriteText(record, kPhoneFields[1], entry.phone2);
    WriteText(record, kPhoneFields[2], entry.phone3);
    record[kGroupOffset] = static_cast<uint8_t>(entry.group - 1);
  }
  return StoreResult::Ok;
}

std::vector<PhonebookEntry> ImageEntries(const PhonebookImage& image) {
  std::vector<PhonebookEntry> entries;
  for (std::size_t i = 0; i < kImageRecordCount; ++i) {
    const uint8_t* record = image.data() + i * kImageRecordSize;
    PhonebookEntry entry;
    entry.reading = ReadText(record, kReadingField);
    // The packed list ends at the first record without a reading that is not marked in use;
    // an entry without a reading still carries the mark.
    if (entry.reading.empty() && record[kInUseOffset] != 1) break;
    entry.name = ReadText(record, kNameField);
    entry.phone1 = ReadText(record, kPhoneFields[0]);
    entry.phone2 = ReadText(record, kPhoneFields[1]);
    entry.phone3 = ReadText(record, kPhoneFields[2]);
    entry.group = record[kGroupOffset] + 1;
    entry.memoryNumber = static_cast<int>(i) + 1;
    entries.push_back(std::move(entry));
  }
  return entries;
}

StoreResult LoadPhonebookImage(const PhonebookImage& image, CDbPhoneCtrl& store) {
  CDbPhoneCtrl::Batch batch(store);
  if (const StoreResult result = store.DeleteAll(); result != StoreResult::Ok) return result;
  for (PhonebookEntry& entry : ImageEntries(image))
    if (const StoreResult result = store.AddEntry(std::move(entry)); result != StoreResult::Ok) return result;
  return batch.Commit();
}

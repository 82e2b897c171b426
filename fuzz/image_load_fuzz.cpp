// Fuzzes converting a received handset image into a phonebook (the input is the start of
// the 120000-byte image, the rest zero). The store must hold exactly the records before
// the first empty reading, building an image from it must give those records back, and
// saving the phonebook as a document must give a file that opens again with every entry.
#include "FuzzSupport.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kFieldOffsets[] = {4, 21, 38, 63, 88};  // reading, name, phones 1..3
constexpr std::size_t kFieldWidths[] = {17, 17, 25, 25, 25};
constexpr std::size_t kGroupOffset = 116;

// A field's text as the handset means it: up to the first zero, within the field.
std::string FieldText(const uint8_t* record, int field) {
  const auto* begin = reinterpret_cast<const char*>(record + kFieldOffsets[field]);
  return std::string(begin, strnlen(begin, kFieldWidths[field] - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static PhonebookImage image;
  image.fill(0);
  std::memcpy(image.data(), data, std::min(size, image.size()));

  CDbPhoneCtrl& store = fuzz::Store(0);
  FUZZ_CHECK(LoadPhonebookImage(image, store) == StoreResult::Ok);
  const std::vector<PhonebookEntry> entries = fuzz::AllEntries(store);

  // The list runs up to the first record with neither a reading nor the in-use mark.
  std::size_t expected = 0;
  while (expected < kImageRecordCount && (image[expected * kImageRecordSize + 4] != 0 ||
                                          image[expected * kImageRecordSize] == 1))
    ++expected;
  FUZZ_CHECK(entries.size() == expected);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const uint8_t* record = image.data() + k * kImageRecordSize;
    const PhonebookEntry& entry = entries[k];
    FUZZ_CHECK(entry.memoryNumber == static_cast<int>(k) + 1);
    FUZZ_CHECK(entry.reading == FieldText(record, 0) && entry.name == FieldText(record, 1));
    FUZZ_CHECK(entry.phone1 == FieldText(record, 2) && entry.phone2 == FieldText(record, 3) &&
               entry.phone3 == FieldText(record, 4));
    FUZZ_CHECK(entry.group == record[kGroupOffset] + 1);
  }

  static PhonebookImage rebuilt;
  rebuilt.fill(0);
  FUZZ_CHECK(store.BuildImage(rebuilt) == StoreResult::Ok);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const uint8_t* record = image.data() + k * kImageRecordSize;
    const uint8_t* copy = rebuilt.data() + k * kImageRecordSize;
    FUZZ_CHECK(copy[0] == 1 && copy[kGroupOffset] == record[kGroupOffset]);
    for (int field = 0; field < 5; ++field) FUZZ_CHECK(FieldText(copy, field) == FieldText(record, field));
  }
  // Every record after the last entry is all zero.
  static const PhonebookImage zero{};
  const std::size_t used = entries.size() * kImageRecordSize;
  FUZZ_CHECK(std::memcmp(rebuilt.data() + used, zero.data(), kImageSize - used) == 0);

  const bool comma = size > 0 && (data[size - 1] & 1) == 0;
  fuzz::CheckDocumentRoundTrip(store, fuzz::Store(1), comma);
  return 0;
}

// The handset's phonebook file pdata.bin: 1000 records of 120 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "phonebook/PhonebookEntry.h"
#include "phonebook/StoreResult.h"

class CDbPhoneCtrl;

inline constexpr std::size_t kImageRecordSize = 120;
inline constexpr std::size_t kImageRecordCount = 1000;
inline constexpr std::size_t kImageSize = kImageRecordSize * kImageRecordCount;  // 120000

using PhonebookImage = std::array<uint8_t, kImageSize>;

// The entries of `image`: memory number = record index + 1, ending at the first record
// that has neither a reading nor the in-use mark.
std::vector<PhonebookEntry> ImageEntries(const PhonebookImage& image);

// Replaces the entries of `store` by those of `image` (ImageEntries). Returns the store's
// result; on failure the store keeps the entries it had.
StoreResult LoadPhonebookImage(const PhonebookImage& image, CDbPhoneCtrl& store);

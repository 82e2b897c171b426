// A phonebook's document text: loading a store from it and saving a store as it, seven
// fields per line, comma or tab separated.
#pragma once

class CArchiveReader;
class CArchiveWriter;
class CDbPhoneCtrl;

// LoadCsv's results when the entries could not be stored, and when the document could not
// be read whole (the store then holds nothing of the file); its other results are 0 and
// the NormaliseFields code of the first row that is not a phonebook's (the entries before
// that row stay).
inline constexpr int kLoadStoreFailed = -1;
inline constexpr int kLoadReadFailed = -2;

// Adds the document's entries to `store`, in the standard layout and, after a marker row,
// in the name-first and group-first layouts of other programs' exports.
[[nodiscard]] int LoadCsv(CDbPhoneCtrl& store, CArchiveReader& archive, bool comma);

// Writes every entry of `store` in the standard layout; the store's result.
[[nodiscard]] int SaveCsv(CDbPhoneCtrl& store, CArchiveWriter& archive, bool comma);

// Opening and saving whole phonebook files, shared by the editor's document and the CLI:
// document files (comma or tab separated by the path's ending) and handset image files.
// The callers pick the messages from the results.
#pragma once

#include <string>
#include <string_view>

#include "phonebook/EntryRules.h"
#include "phonebook/PhonebookImage.h"
#include "phonebook/StoreResult.h"
#include "platform/AtomicFile.h"

class CDbPhoneCtrl;

// True when the path's last four bytes are exactly ".csv": the document is comma
// separated; any other ending (".CSV" included) gives a tab-separated document.
bool IsCommaSeparatedPath(std::string_view path);

struct DocumentLoadResult {
  enum class Status {
    Ok,
    NoSlot,         // the store has no database file (IDS_OPEN_CAPTION/IDS_OPEN_NO_SLOT)
    CannotRead,     // missing, unreadable or not a regular file; osError says why
    ReadFailed,     // opened, but not read whole (a read error, or changed meanwhile); osError
    InvalidFormat,  // the contents are not a phonebook (IDS_INVALID_FORMAT); loadCode says why
    StoreFailed     // the entries could not be stored (a full or failing temporary folder)
  };
  using enum Status;
  Status status = Ok;
  int osError = 0;    // errno for CannotRead, ReadFailed and StoreFailed (0 when unknown)
  NormaliseResult loadCode = NormaliseResult::Ok;  // InvalidFormat: the refused row's code
};

// Fills the (empty) store from the document at `path`. On InvalidFormat the entries read
// before the bad row stay in the store; the caller discards it. On StoreFailed the store
// holds nothing of the file.
DocumentLoadResult LoadDocument(CDbPhoneCtrl& store, const std::string& path);

struct DocumentSaveResult {
  enum class Status {
    Ok,
    StoreFailed,   // the store could not be read (IDS_WRITE_FAILED); storeCode says why
    WriteFailed    // the file could not be written; osError says why
  };
  using enum Status;
  Status status = Ok;
  int osError = 0;   // errno for WriteFailed, and for StoreFailed when known
  StoreResult storeCode = StoreResult::Ok;
};

// Writes the store to `path`. The file is replaced only when everything was written, so a
// failed save leaves a previous file byte for byte as it was. `options` as for
// SaveFileAtomically.
DocumentSaveResult SaveDocument(CDbPhoneCtrl& store, const std::string& path,
                                const AtomicSaveOptions& options = {});

struct ImageFileResult {
  enum class Status {
    Ok,
    CannotRead,   // missing, unreadable or not a regular file; osError says why
    WrongSize,    // not exactly kImageSize bytes; actualSize holds its size
    WriteFailed   // osError says why; a previous file is left as it was
  };
  using enum Status;
  Status status = Ok;
  int osError = 0;
  long long actualSize = 0;
};

// Reads a handset image file (exactly kImageSize bytes); `image` is changed only on success.
ImageFileResult ReadImageFile(const std::string& path, PhonebookImage& image);

// Writes a handset image file, replacing a previous one only when everything was written.
ImageFileResult WriteImageFile(const std::string& path, const PhonebookImage& image);

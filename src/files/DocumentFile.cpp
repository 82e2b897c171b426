// Whole-file load and save of phonebook documents and handset images.
#include "files/DocumentFile.h"

#include <algorithm>
#include <cerrno>
#include <vector>
#include <string_view>

#include "files/FileArchiveReader.h"
#include "files/FileByteReader.h"
#include "files/PhonebookCsv.h"
#include "files/StringArchiveWriter.h"
#include "phonebook/DbPhoneCtrl.h"
#include "platform/AtomicFile.h"

bool IsCommaSeparatedPath(std::string_view path) { return path.ends_with(".csv"); }

DocumentLoadResult LoadDocument(CDbPhoneCtrl& store, const std::string& path) {
  DocumentLoadResult result;
  if (!store.HasSlot()) {
    result.status = DocumentLoadResult::NoSlot;
    return result;
  }
  CFileArchiveReader archive;
  if (int error = archive.Open(path); error != 0) {
    result.status = DocumentLoadResult::CannotRead;
    result.osError = error;
    return result;
  }
  const CsvLoadResult loaded = LoadCsv(store, archive, IsCommaSeparatedPath(path));
  switch (loaded.status) {
    case CsvLoadResult::Ok:
      break;
    case CsvLoadResult::ReadFailed:
      result.status = DocumentLoadResult::ReadFailed;
      result.osError = archive.Error();
      break;
    case CsvLoadResult::StoreFailed:
      result.status = DocumentLoadResult::StoreFailed;
      result.osError = store.LastOsError();
      break;
    case CsvLoadResult::NotPhonebook:
      result.status = DocumentLoadResult::InvalidFormat;
      result.loadCode = loaded.row;
      break;
  }
  return result;
}

DocumentSaveResult SaveDocument(CDbPhoneCtrl& store, const std::string& path,
                                const AtomicSaveOptions& options) {
  DocumentSaveResult result;
  CStringArchiveWriter writer;
  if (const StoreResult code = SaveCsv(store, writer, IsCommaSeparatedPath(path)); code != StoreResult::Ok) {
    result.status = DocumentSaveResult::StoreFailed;
    result.storeCode = code;
    result.osError = store.LastOsError();
    return result;
  }
  if (int error = SaveFileAtomically(path, writer.Bytes(), options); error != 0) {
    result.status = DocumentSaveResult::WriteFailed;
    result.osError = error;
  }
  return result;
}

ImageFileResult ReadImageFile(const std::string& path, PhonebookImage& image) {
  ImageFileResult result;
  FileByteReader file;
  if (int error = file.Open(path); error != 0) {
    result.status = ImageFileResult::CannotRead;
    result.osError = error;
    return result;
  }
  if (file.Size() != static_cast<long long>(image.size())) {
    result.status = ImageFileResult::WrongSize;
    result.actualSize = file.Size();
    return result;
  }
  // Read into a buffer of its own, so that `image` changes only when the whole file was read.
  // The reader hands out the size it checked above, or fails.
  std::vector<uint8_t> bytes;
  bytes.reserve(image.size());
  for (int c; (c = file.Get()) != FileByteReader::kEnd;) bytes.push_back(static_cast<uint8_t>(c));
  if (file.Failed() || bytes.size() != image.size()) {
    result.status = ImageFileResult::CannotRead;
    result.osError = file.Failed() ? file.Error() : kFileChangedWhileRead;
    return result;
  }
  std::copy(bytes.begin(), bytes.end(), image.begin());
  return result;
}

ImageFileResult WriteImageFile(const std::string& path, const PhonebookImage& image) {
  ImageFileResult result;
  std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
  if (int error = SaveFileAtomically(path, bytes); error != 0) {
    result.status = ImageFileResult::WriteFailed;
    result.osError = error;
  }
  return result;
}

// vCard files: the ".vcf" rule, the bounded read and the atomic export.
#include "files/VcardFile.h"

#include <algorithm>
#include <cctype>

#include "files/FileByteReader.h"
#include "phonebook/DbPhoneCtrl.h"
#include "platform/AtomicFile.h"

bool IsVcardPath(std::string_view path) {
  if (path.size() < 4) return false;
  std::string ending(path.substr(path.size() - 4));
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending == ".vcf";
}

VcardFileBytes ReadVcardFile(const std::string& path) {
  VcardFileBytes read;
  FileByteReader reader;
  if (int error = reader.Open(path)) {
    read.status = VcardFileBytes::CannotRead;
    read.osError = error;
    return read;
  }
  // The size is looked at first, and again while reading in case the file grows.
  if (reader.Size() > kVcardMaxFileBytes) {
    read.status = VcardFileBytes::TooLarge;
    return read;
  }
  read.bytes.reserve(static_cast<std::size_t>(reader.Size()));
  for (int byte; (byte = reader.Get()) != FileByteReader::kEnd;) {
    if (read.bytes.size() == static_cast<std::size_t>(kVcardMaxFileBytes)) {
      read.status = VcardFileBytes::TooLarge;
      read.bytes.clear();
      return read;
    }
    read.bytes += static_cast<char>(byte);
  }
  if (reader.Failed()) {
    read.status = VcardFileBytes::CannotRead;
    read.osError = reader.Error();
    read.bytes.clear();
  }
  return read;
}

VcardExportResult ExportVcardFile(CDbPhoneCtrl& store, const std::string& path, VcardVersion version,
                                  const std::vector<int>& selected) {
  VcardExportResult result;
  std::vector<PhonebookEntry> entries;
  if (const StoreResult code = store.ListAllEntries(entries); code != StoreResult::Ok) {
    result.status = VcardExportResult::StoreFailed;
    result.storeCode = code;
    return result;
  }
  if (!selected.empty()) {
    std::erase_if(entries, [&selected](const PhonebookEntry& entry) {
      return std::find(selected.begin(), selected.end(), entry.memoryNumber) == selected.end();
    });
  }
  if (int error = SaveFileAtomically(path, BuildVcards(entries, version))) {
    result.status = VcardExportResult::WriteFailed;
    result.osError = error;
  }
  return result;
}

// The two passes of a CSV import, with the duplicate questions and the deferred rows.
#include "files/CsvImport.h"

#include "files/CsvFile.h"
#include "files/DeferredEntries.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"

namespace {

// The state of one import: the answer that carries over once it has the continue flag,
// the rows waiting for a free number and the counts.
class CCsvImport {
 public:
  CCsvImport(CDbPhoneCtrl& store, IDuplicateResolver& resolver)
      : m_store(store), m_resolver(resolver) {}

  ImportSummary Run(CCsvFile& file);

 private:
  // Handles one record of a pass; false when no memory number was free for it.
  bool ImportRecord(std::vector<std::string>& fields, int pass);
  void ResolveDuplicate(std::vector<std::string>& fields);
  void Add(const std::vector<std::string>& fields);

  CDbPhoneCtrl& m_store;
  IDuplicateResolver& m_resolver;
  DuplicateChoice m_choice;  // the last answer; kept for good once it has the continue flag
  CDeferredEntries m_deferred;
  ImportSummary m_summary;
};

ImportSummary CCsvImport::Run(CCsvFile& file) {
  CDbPhoneCtrl::Batch batch(m_store);
  std::vector<std::string> fields;
  for (int pass = 1; pass <= 2; ++pass) {
    if (pass == 2) file.Rewind();
    // Fields past the seventh only count for the field rules' "at least two non-empty".
    while (file.ReadRecord(fields, FieldCount)) {
      if (fields.empty()) fields.emplace_back();
      if (!ImportRecord(fields, pass)) {
        m_summary.result = ImportResult::LimitReached;
        return m_summary;
      }
    }
    std::vector<std::string> numbers;
    const bool allAdded = m_deferred.AddUnderFreeNumbers(m_store, &numbers);
    m_summary.added += static_cast<int>(numbers.size());
    if (!allAdded) {
      m_summary.result = ImportResult::LimitReached;
      return m_summary;
    }
  }
  m_summary.result = ImportResult::Finished;
  return m_summary;
}

bool CCsvImport::ImportRecord(std::vector<std::string>& fields, int pass) {
  // Pass 1 takes the numbered rows, pass 2 the others under the lowest free numbers.
  const bool numbered = !fields[FieldMemoryNumber].empty();
  if (numbered != (pass == 1)) return true;
  if (pass == 2) {
    const int number = m_store.GetFreeMemoryNumber();
    if (number == 0) return false;
    fields[FieldMemoryNumber] = MemoryNumberText(number);
  }
  const int result = m_store.NormaliseFields(fields);
  if (result == NormaliseNumberInUse) {
    ResolveDuplicate(fields);
  } else if (result == NormaliseOk) {
    Add(fields);
  } else {
    ++m_summary.refused;
  }
  return true;
}

void CCsvImport::ResolveDuplicate(std::vector<std::string>& fields) {
  const int number = EntryFromFields(fields).memoryNumber;
  if (!m_choice.continueFlag) {
    PhonebookEntry stored;
    m_store.FindEntry(number, stored);
    m_choice = m_resolver.ResolveDuplicate(number, fields, stored);
  }
  switch (m_choice.method) {
    case DuplicateOverwrite:
      m_store.DeleteEntry(number);
      ++m_summary.overwritten;
      Add(fields);
      break;
    case DuplicateAddOther:
      m_deferred.Push(EntryFromFields(fields));
      break;
    default:
      ++m_summary.skipped;
      break;
  }
}

void CCsvImport::Add(const std::vector<std::string>& fields) {
  m_store.AddEntry(EntryFromFields(fields));
  ++m_summary.added;
}

}  // namespace

ImportResultMessage MessageOfImportResult(ImportResult result) {
  switch (result) {
    case ImportResult::OpenFailed:
      return {192, 193, MessageIcon::Error};
    case ImportResult::LimitReached:
      return {194, 195, MessageIcon::Warning};
    case ImportResult::Finished:
      break;
  }
  return {196, 197, MessageIcon::None};
}

ImportSummary ImportCsvFile(CDbPhoneCtrl& store, const std::string& path,
                            IDuplicateResolver& resolver) {
  CCsvFile file;
  if (!file.Open(path)) {
    ImportSummary summary;
    summary.result = ImportResult::OpenFailed;
    summary.openError = file.OpenError();
    return summary;
  }
  ImportSummary summary = CCsvImport(store, resolver).Run(file);
  file.Close();
  return summary;
}

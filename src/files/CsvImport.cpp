// The two passes of a CSV import, with the duplicate questions and the deferred rows.
#include "files/CsvImport.h"

#include "files/CsvCodec.h"
#include "files/CsvFile.h"
#include "files/DeferredEntries.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"
#include "strings/StringIds.h"

namespace {

// The state of one import: the answer that carries over once it has the continue flag,
// the rows waiting for a free number and the counts.
class CCsvImport {
 public:
  CCsvImport(CDbPhoneCtrl& store, IDuplicateResolver& resolver)
      : m_store(store), m_resolver(resolver) {}

  ImportSummary Run(CCsvFile& file);

 private:
  enum class Step { Done, NoFreeNumber, StoreFailed };

  // Handles one record of a pass.
  Step ImportRecord(std::vector<std::string>& fields, int pass);
  Step ResolveDuplicate(std::vector<std::string>& fields);
  Step Add(const std::vector<std::string>& fields);
  ImportSummary Failed();
  static ImportSummary ReadFailed(const CCsvFile& file);

  CDbPhoneCtrl& m_store;
  IDuplicateResolver& m_resolver;
  DuplicateChoice m_choice;  // the last answer; kept for good once it has the continue flag
  CDeferredEntries m_deferred;
  ImportSummary m_summary;
};

ImportSummary CCsvImport::Run(CCsvFile& file) {
  // One transaction: the rows come in together, or (when the store fails) none does.
  CDbPhoneCtrl::Batch batch(m_store);
  std::vector<std::string> fields;
  m_summary.result = ImportResult::Finished;
  for (int pass = 1; pass <= 2 && m_summary.result == ImportResult::Finished; ++pass) {
    if (pass == 2) file.Rewind();
    Step step = Step::Done;
    // Fields past the seventh only count for the field rules' "at least two non-empty".
    while (step == Step::Done && file.ReadRecord(fields, FieldCount)) {
      if (fields.empty()) fields.emplace_back();
      step = ImportRecord(fields, pass);
    }
    // What was read of a file that could not be read whole is not kept.
    if (file.ReadFailed()) return ReadFailed(file);
    if (step == Step::StoreFailed) return Failed();
    if (step == Step::NoFreeNumber) {
      m_summary.result = ImportResult::LimitReached;
      break;
    }
    std::vector<std::string> numbers;
    const CDeferredEntries::Outcome outcome = m_deferred.AddUnderFreeNumbers(m_store, &numbers);
    if (outcome == CDeferredEntries::Outcome::StoreFailed) return Failed();
    m_summary.added += static_cast<int>(numbers.size());
    if (outcome == CDeferredEntries::Outcome::NumbersRanOut)
      m_summary.result = ImportResult::LimitReached;
  }
  // The rows added before the numbers ran out stay, as the limit's message says.
  if (batch.Commit() != StoreResult::Ok) return Failed();
  return m_summary;
}

ImportSummary CCsvImport::Failed() {
  ImportSummary failed;
  failed.result = ImportResult::StoreFailed;
  failed.storeError = m_store.LastOsError();
  return failed;
}

ImportSummary CCsvImport::ReadFailed(const CCsvFile& file) {
  ImportSummary failed;
  failed.result = ImportResult::ReadFailed;
  failed.readError = file.ReadError();
  return failed;
}

CCsvImport::Step CCsvImport::ImportRecord(std::vector<std::string>& fields, int pass) {
  // Pass 1 takes the numbered rows, pass 2 the others under the lowest free numbers.
  const bool numbered = !fields[FieldMemoryNumber].empty();
  if (numbered != (pass == 1)) return Step::Done;
  // A blank line is no row: it is refused like one, but not counted as one not read.
  const bool blank = IsBlankRecord(fields);
  if (pass == 2) {
    const int number = m_store.GetFreeMemoryNumber();
    if (number == 0) return Step::NoFreeNumber;
    fields[FieldMemoryNumber] = MemoryNumberText(number);
  }
  const NormaliseResult result = m_store.NormaliseFields(fields);
  if (result == NormaliseResult::NumberInUse) return ResolveDuplicate(fields);
  if (result == NormaliseResult::Ok) return Add(fields);
  if (!blank) ++m_summary.refused;
  return Step::Done;
}

CCsvImport::Step CCsvImport::ResolveDuplicate(std::vector<std::string>& fields) {
  const int number = EntryFromFields(fields).memoryNumber;
  if (!m_choice.continueFlag) {
    PhonebookEntry stored;
    if (m_store.FindEntry(number, stored) != StoreResult::Ok) return Step::StoreFailed;
    m_choice = m_resolver.ResolveDuplicate(number, fields, stored);
  }
  switch (m_choice.method) {
    case DuplicateOverwrite:
      if (m_store.DeleteEntry(number) != StoreResult::Ok) return Step::StoreFailed;
      ++m_summary.overwritten;
      return Add(fields);
    case DuplicateAddOther:
      m_deferred.Push(EntryFromFields(fields));
      return Step::Done;
    default:
      ++m_summary.skipped;
      return Step::Done;
  }
}

CCsvImport::Step CCsvImport::Add(const std::vector<std::string>& fields) {
  if (m_store.AddEntry(EntryFromFields(fields)) != StoreResult::Ok) return Step::StoreFailed;
  ++m_summary.added;
  return Step::Done;
}

}  // namespace

ImportResultMessage MessageOfImportResult(ImportResult result) {
  switch (result) {
    case ImportResult::OpenFailed:
      return {IDS_IMPORT_OPEN_CAPTION, IDS_IMPORT_OPEN_FAILED, MessageIcon::Error};
    case ImportResult::LimitReached:
      return {IDS_REGISTER_CAPTION, IDS_IMPORT_LIMIT, MessageIcon::Warning};
    case ImportResult::StoreFailed:
      return {IDS_REGISTER_CAPTION, IDS_IMPORT_STORE_FAILED, MessageIcon::Error};
    case ImportResult::ReadFailed:  // the framework's message for a file it could not read
      return {IDS_APP_TITLE, AFX_IDP_FILE_READ_ERROR, MessageIcon::Error};
    case ImportResult::Finished:
      break;
  }
  return {IDS_IMPORT_DONE_CAPTION, IDS_IMPORT_DONE, MessageIcon::None};
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

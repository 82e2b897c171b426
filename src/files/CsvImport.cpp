// The two passes of a CSV import, with the duplicate questions and the deferred rows.
#include "files/CsvImport.h"

#include "files/CsvCodec.h"
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
      : m_store(store), m_answers(resolver, m_summary) {}

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
  ImportSummary m_summary;
  CDuplicateAnswers m_answers;
  CDeferredEntries m_deferred;
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
  failed.osError = file.ReadError();
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
  PhonebookEntry stored;
  if (m_answers.Asking() && m_store.FindEntry(number, stored) != StoreResult::Ok) return Step::StoreFailed;
  switch (m_answers.For(number, fields, stored)) {
    case DuplicateMethod::Overwrite:
      if (m_store.DeleteEntry(number) != StoreResult::Ok) return Step::StoreFailed;
      return Add(fields);
    case DuplicateMethod::AddOther:
      m_deferred.Push(EntryFromFields(fields));
      return Step::Done;
    case DuplicateMethod::Skip:
      break;
  }
  return Step::Done;
}

CCsvImport::Step CCsvImport::Add(const std::vector<std::string>& fields) {
  if (m_store.AddEntry(EntryFromFields(fields)) != StoreResult::Ok) return Step::StoreFailed;
  ++m_summary.added;
  return Step::Done;
}

}  // namespace

ImportSummary ImportCsvFile(CDbPhoneCtrl& store, const std::string& path,
                            IDuplicateResolver& resolver) {
  CCsvFile file;
  if (!file.Open(path)) {
    ImportSummary summary;
    summary.result = ImportResult::OpenFailed;
    summary.osError = file.OpenError();
    return summary;
  }
  ImportSummary summary = CCsvImport(store, resolver).Run(file);
  file.Close();
  return summary;
}

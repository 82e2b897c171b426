// The phonebook store: slot and file lifecycle, the open/close discipline of every
// operation, and the operations that add, find, delete and list entries.
#include "phonebook/DbPhoneCtrl.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "phonebook/EntryRules.h"
#include "phonebook/PhonebookDatabase.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/PrivateFolder.h"

namespace {

constexpr const char* kSelectByNumber = "select * from PHONEBOOK where MEMORYNUMBER = ?";
// The entry's seven columns first, as ReadEntryRow reads them, then its rowid.
constexpr const char* kSelectWithRowidByNumber =
    "select *, rowid from PHONEBOOK where MEMORYNUMBER = ?";
constexpr int kRowidColumn = FieldCount;
constexpr const char* kInsert =
    "insert into PHONEBOOK (MEMORYNUMBER, NAME, READ, PHONENUMBER1, PHONENUMBER2,"
    " PHONENUMBER3, GROUPNUMBER) values (?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kDeleteRow = "delete from PHONEBOOK where rowid = ?";

// Each statement helper resets its statement before returning, so the caller may close
// the database right after.
StoreResult InsertRow(PhonebookDatabase& database, const PhonebookEntry& entry) {
  sqlite3_stmt* statement = database.Prepare(kInsert);
  if (!statement) return StoreResult::CreateFailed;
  StatementRun run(statement);
  const bool written = BindEntry(statement, entry) && sqlite3_step(statement) == SQLITE_DONE;
  return written ? StoreResult::Ok : StoreResult::CreateFailed;
}

StoreResult DeleteRow(PhonebookDatabase& database, sqlite3_int64 rowid) {
  sqlite3_stmt* statement = database.Prepare(kDeleteRow);
  if (!statement) return StoreResult::CreateFailed;
  StatementRun run(statement);
  sqlite3_bind_int64(statement, 1, rowid);
  return sqlite3_step(statement) == SQLITE_DONE ? StoreResult::Ok : StoreResult::CreateFailed;
}

const char* OrderClause(int sortKey) {
  switch (sortKey) {
    case SortByNumber: return "order by MEMORYNUMBER ";
    case SortByName: return "order by NAME ";
    // Equal readings fall back to the memory number, as the list view sorts them.
    case SortByReading: return "order by READ collate READING %s, MEMORYNUMBER ";
    case SortByGroup: return "order by GROUPNUMBER ";
    default: return nullptr;  // phone columns: the engine's own order
  }
}

// The filter and order of a listing, to follow "select ... from PHONEBOOK ".
std::string ListingClauses(int kanaRow, int sortKey, bool ascending) {
  std::string clauses;
  if (kanaRow >= 0 && kanaRow < KanaRowAll)
    clauses += "where kana_row(READ) = " + std::to_string(kanaRow) + " ";
  else if (kanaRow != KanaRowAll)
    clauses += "where 0 ";  // no such row: nothing is listed
  if (const char* order = OrderClause(sortKey)) {
    const char* direction = ascending ? "asc" : "desc";
    char clause[96];
    std::snprintf(clause, sizeof clause, order, direction);
    clauses += clause;
    clauses += direction;
  }
  while (!clauses.empty() && clauses.back() == ' ') clauses.pop_back();
  return clauses;
}

}  // namespace

std::string BuildQuery(int kanaRow, int sortKey, bool ascending) {
  const std::string clauses = ListingClauses(kanaRow, sortKey, ascending);
  return clauses.empty() ? "select * from PHONEBOOK" : "select * from PHONEBOOK " + clauses;
}

// Opens the table for the length of one operation (nested inside a Batch: cheaply).
class CDbPhoneCtrl::TableScope {
 public:
  explicit TableScope(CDbPhoneCtrl& store) : m_store(store), m_result(store.OpenTable()) {}
  ~TableScope() { Finish(StoreResult::Ok); }
  TableScope(const TableScope&) = delete;
  TableScope& operator=(const TableScope&) = delete;

  StoreResult Result() const { return m_result; }
  PhonebookDatabase& Database() { return *m_store.m_pDatabase; }

  // Closes the table; the operation's result, or the commit's failure when that was all
  // that went wrong.
  StoreResult Finish(StoreResult result) {
    if (m_result != StoreResult::Ok || m_bFinished) return result;
    m_bFinished = true;
    return m_store.CloseTable(result);
  }

 private:
  CDbPhoneCtrl& m_store;
  StoreResult m_result;
  bool m_bFinished = false;
};

CDbPhoneCtrl::CDbPhoneCtrl() : CDbPhoneCtrl(StoreEnvironment::Editor()) {}

CDbPhoneCtrl::CDbPhoneCtrl(StoreEnvironment& environment) : m_environment(environment) {
  ClearUsedFlags();
  int othersLive = 0;
  if (!m_environment.AcquireSlot(othersLive)) return;  // no slot: the path stays empty
  m_bHoldsSlot = true;
  if (m_environment.Folder().empty()) return;
  // The first live store clears files that an earlier run left behind.
  if (othersLive == 0) DeleteTempFiles();
  // The slot is the first file not there yet. Until this store's first operation makes the
  // file, a store constructed right after it (the document's second instance) shares it.
  for (int slot = 0; slot < StoreEnvironment::kSlotCount; ++slot) {
    if (!platform::FileExists(SlotPath(slot))) {
      m_strDatabasePath = SlotPath(slot);
      break;
    }
  }
}

CDbPhoneCtrl::~CDbPhoneCtrl() {
  CloseDatabase();
  if (!m_bHoldsSlot) return;
  const int othersLive = m_environment.ReleaseSlot();
  if (othersLive > 0) {
    if (!m_strDatabasePath.empty()) platform::RemoveFile(m_strDatabasePath);
  } else {
    DeleteTempFiles();
  }
}

std::string CDbPhoneCtrl::SlotPath(int slot) const {
  return m_environment.Folder() + "/temp" + std::to_string(slot) + ".mdb";
}

void CDbPhoneCtrl::DeleteTempFiles() {
  if (m_environment.Folder().empty()) return;
  for (int slot = 0; slot < StoreEnvironment::kSlotCount; ++slot) {
    const std::string path = SlotPath(slot);
    if (platform::FileExists(path)) platform::RemoveFile(path);
  }
}

void CDbPhoneCtrl::ClearUsedFlags() {
  m_usedFlags.fill(0);
}

void CDbPhoneCtrl::MarkUsed(int memoryNumber, bool used) {
  if (memoryNumber >= 1 && memoryNumber <= kMaxEntries) m_usedFlags[memoryNumber - 1] = used;
}

void CDbPhoneCtrl::NoteChange(bool added, const PhonebookEntry& entry) {
  if (m_pChangeLog) m_pChangeLog->push_back({added, entry});
}

void CDbPhoneCtrl::TruncateLog(std::size_t size) {
  if (m_pChangeLog && m_pChangeLog->size() > size) m_pChangeLog->resize(size);
}

StoreResult CDbPhoneCtrl::EnsureDatabase() {
  if (m_strDatabasePath.empty()) return StoreResult::NoSlot;
  if (!m_pDatabase) {
    // A file that vanished after this store made it (a temporary-file cleaner, a user)
    // took the entries with it: making a new, empty one would let a later save write an
    // empty phonebook over the user's file as if nothing had happened.
    if (m_bFileMade && !platform::FileExists(m_strDatabasePath)) {
      m_nLastOsError = ENOENT;
      return StoreResult::CreateFailed;
    }
    m_pDatabase = PhonebookDatabase::Open(m_strDatabasePath, m_nLastOsError);
    if (m_pDatabase) m_bFileMade = true;
  }
  return m_pDatabase ? StoreResult::Ok : StoreResult::CreateFailed;
}

StoreResult CDbPhoneCtrl::OpenTable() {
  if (m_nOpenDepth > 0) {
    // Inside a batch that has failed, nothing more is done: the batch rolls back whole.
    if (m_failure != StoreResult::Ok) return m_failure;
    ++m_nOpenDepth;
    return StoreResult::Ok;
  }
  const StoreResult result = EnsureDatabase();
  if (result != StoreResult::Ok) return result;
  if (!m_pDatabase->Begin()) {
    NoteEngineError();
    CloseDatabase();
    return StoreResult::CreateFailed;
  }
  m_nOpenDepth = 1;
  m_failure = StoreResult::Ok;
  m_flagsAtBegin = m_usedFlags;
  m_nLogAtBegin = LogSize();
  return StoreResult::Ok;
}

StoreResult CDbPhoneCtrl::CloseTable(StoreResult result) {
  if (m_nOpenDepth == 0) return result;
  if (result != StoreResult::Ok && m_failure == StoreResult::Ok) m_failure = result;
  if (--m_nOpenDepth > 0) return result;
  // The outermost level: commit everything, or nothing.
  const StoreResult failure = m_failure;
  m_failure = StoreResult::Ok;
  const bool committed = failure == StoreResult::Ok && m_pDatabase && m_pDatabase->Commit();
  if (!committed && failure == StoreResult::Ok) NoteEngineError();
  CloseDatabase();  // rolls back whatever is uncommitted
  if (committed) return StoreResult::Ok;
  m_usedFlags = m_flagsAtBegin;
  TruncateLog(m_nLogAtBegin);
  return failure != StoreResult::Ok ? failure : StoreResult::CreateFailed;
}

void CDbPhoneCtrl::EnterFailedBatch(StoreResult failure) {
  m_nOpenDepth = 1;
  m_failure = failure;
  m_flagsAtBegin = m_usedFlags;
  m_nLogAtBegin = LogSize();
}

void CDbPhoneCtrl::NoteEngineError() {
  if (m_pDatabase) m_nLastOsError = m_pDatabase->LastOsError();
}

void CDbPhoneCtrl::CloseDatabase() {
  m_pDatabase.reset();  // rolls back whatever is uncommitted and closes the file
  m_nOpenDepth = 0;
}

template <typename Visit>
StoreResult CDbPhoneCtrl::ForEachRow(const std::string& sql, Visit visit, const int* parameter) {
  sqlite3_stmt* statement = m_pDatabase->Prepare(sql);
  if (!statement) {  // preparing reads the schema: a read error shows here first
    NoteEngineError();
    return StoreResult::CreateFailed;
  }
  StatementRun run(statement);
  if (parameter) sqlite3_bind_int(statement, 1, *parameter);
  int step;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) visit(statement);
  if (step == SQLITE_DONE) return StoreResult::Ok;
  NoteEngineError();
  return StoreResult::CreateFailed;
}

StoreResult CDbPhoneCtrl::FindEntry(int memoryNumber, PhonebookEntry& target) {
  TableScope scope(*this);
  if (scope.Result() != StoreResult::Ok) return scope.Result();
  bool found = false;
  const StoreResult result = ForEachRow(
      kSelectByNumber,
      [&](sqlite3_stmt* statement) {
        if (!found) target = ReadEntryRow(statement);
        found = true;
      },
      &memoryNumber);
  return scope.Finish(result);
}

StoreResult CDbPhoneCtrl::ListEntries(int kanaRow, int sortKey, bool ascending,
                              std::vector<PhonebookEntry>& out) {
  TableScope scope(*this);
  if (scope.Result() != StoreResult::Ok) return scope.Result();
  const StoreResult result =
      ForEachRow(BuildQuery(kanaRow, sortKey, ascending),
                 [&](sqlite3_stmt* statement) { out.push_back(ReadEntryRow(statement)); });
  return scope.Finish(result);
}

StoreResult CDbPhoneCtrl::ListAllEntries(std::vector<PhonebookEntry>& out) {
  out.clear();
  const StoreResult result = ListEntries(KanaRowAll, SortByNumber, true, out);
  if (result != StoreResult::Ok) return result;
  // One row per number in use, and no other: usedFlags and the table agree.
  UsedFlags listed{};
  for (const PhonebookEntry& entry : out) {
    const int n = entry.memoryNumber;
    if (n < 1 || n > kMaxEntries || listed[n - 1] || !m_usedFlags[n - 1]) return StoreResult::CreateFailed;
    listed[n - 1] = 1;
  }
  return static_cast<int>(out.size()) == EntryCount() ? StoreResult::Ok : StoreResult::CreateFailed;
}

StoreResult CDbPhoneCtrl::AddEntry(PhonebookEntry entry) {
  TableScope scope(*this);
  if (scope.Result() != StoreResult::Ok) return scope.Result();
  StoreResult result = InsertRow(scope.Database(), entry);
  if (result == StoreResult::Ok) {
    MarkUsed(entry.memoryNumber, true);
    NoteChange(true, entry);
  } else {
    NoteEngineError();
  }
  return scope.Finish(result);
}

StoreResult CDbPhoneCtrl::DeleteEntries(int kanaRow, std::vector<std::string>& numbers) {
  TableScope scope(*this);
  if (scope.Result() != StoreResult::Ok) return scope.Result();
  // Collect first, delete after: the listing is not disturbed by its own deletions.
  std::vector<std::pair<sqlite3_int64, PhonebookEntry>> rows;  // rowid, entry
  const std::string sql = "select *, rowid from PHONEBOOK " +
                          ListingClauses(kanaRow, SortByNumber, true);
  StoreResult result = ForEachRow(sql, [&](sqlite3_stmt* statement) {
    rows.emplace_back(sqlite3_column_int64(statement, kRowidColumn), ReadEntryRow(statement));
  });
  for (auto row = rows.begin(); result == StoreResult::Ok && row != rows.end(); ++row) {
    const int memoryNumber = row->second.memoryNumber;
    auto text = std::find_if(numbers.begin(), numbers.end(), [&](const std::string& number) {
      return DecimalValue(number) == memoryNumber;
    });
    if (text == numbers.end()) continue;
    result = DeleteRow(scope.Database(), row->first);
    if (result != StoreResult::Ok) {
      NoteEngineError();
      break;
    }
    MarkUsed(memoryNumber, false);
    NoteChange(false, row->second);
    numbers.erase(text);
  }
  return scope.Finish(result);
}

StoreResult CDbPhoneCtrl::DeleteEntry(int memoryNumber) {
  TableScope scope(*this);
  if (scope.Result() != StoreResult::Ok) return scope.Result();
  sqlite3_int64 rowid = 0;
  PhonebookEntry entry;
  bool found = false;
  StoreResult result = ForEachRow(
      kSelectWithRowidByNumber,
      [&](sqlite3_stmt* statement) {
        if (found) return;
        rowid = sqlite3_column_int64(statement, kRowidColumn);
        entry = ReadEntryRow(statement);
        found = true;
      },
      &memoryNumber);
  if (result == StoreResult::Ok && found) {
    result = DeleteRow(scope.Database(), rowid);
    if (result == StoreResult::Ok) {
      MarkUsed(memoryNumber, false);
      NoteChange(false, entry);
    } else {
      NoteEngineError();
    }
  }
  return scope.Finish(result);
}

StoreResult CDbPhoneCtrl::DeleteAll() {
  TableScope scope(*this);
  if (scope.Result() != StoreResult::Ok) return scope.Result();
  // The entries are read only when a change log wants them.
  std::vector<PhonebookEntry> removed;
  if (m_pChangeLog) {
    const StoreResult listed =
        ForEachRow(BuildQuery(KanaRowAll, SortByNumber, true),
                   [&](sqlite3_stmt* statement) { removed.push_back(ReadEntryRow(statement)); });
    if (listed != StoreResult::Ok) return scope.Finish(listed);
  }
  const bool deleted = scope.Database().Execute("delete from PHONEBOOK");
  if (deleted) {
    ClearUsedFlags();
    for (const PhonebookEntry& entry : removed) NoteChange(false, entry);
  } else {
    NoteEngineError();
  }
  return scope.Finish(deleted ? StoreResult::Ok : StoreResult::CreateFailed);
}

int CDbPhoneCtrl::GetFreeMemoryNumber() const {
  for (int number = 1; number <= kMaxEntries; ++number) {
    if (m_usedFlags[number - 1] == 0) return number;
  }
  return 0;
}

int CDbPhoneCtrl::EntryCount() const {
  int count = 0;
  for (int32_t flag : m_usedFlags) count += flag != 0;
  return count;
}

NormaliseResult CDbPhoneCtrl::NormaliseFields(std::vector<std::string>& fields, int* lastIndex) const {
  return ::NormaliseFields(fields, m_usedFlags, lastIndex);
}

CDbPhoneCtrl::Batch::Batch(CDbPhoneCtrl& store)
    : m_store(store),
      m_flagsAtBegin(store.m_usedFlags),
      m_nLogAtBegin(store.LogSize()),
      m_openResult(store.OpenTable()) {
  if (m_openResult != StoreResult::Ok) {
    if (store.m_nOpenDepth == 0) {
      // Outside any transaction a failed opening would let each operation of the batch
      // open and commit on its own: hold them all to the failure instead.
      store.EnterFailedBatch(m_openResult);
      m_bOutermost = true;
    } else {
      m_bEnded = true;  // inside a transaction that has failed already
    }
    return;
  }
  m_bOutermost = store.m_nOpenDepth == 1;
  if (!m_bOutermost && !store.m_pDatabase->Execute("SAVEPOINT batch")) {
    store.NoteEngineError();
    store.m_failure = StoreResult::CreateFailed;
  }
}

CDbPhoneCtrl::Batch::~Batch() {
  if (!m_bEnded) End(false);
}

StoreResult CDbPhoneCtrl::Batch::Commit() {
  if (m_bEnded) return m_openResult != StoreResult::Ok ? m_openResult : StoreResult::CreateFailed;
  return End(true);
}

StoreResult CDbPhoneCtrl::Batch::End(bool keep) {
  m_bEnded = true;
  if (m_bOutermost) {
    // Commits, or rolls back whole and restores usedFlags.
    return m_store.CloseTable(keep ? StoreResult::Ok : StoreResult::CreateFailed);
  }
  if (m_store.m_failure == StoreResult::Ok) {
    PhonebookDatabase& database = *m_store.m_pDatabase;
    const bool ended = keep ? database.Execute("RELEASE batch")
                            : database.Execute("ROLLBACK TO batch") && database.Execute("RELEASE batch");
    if (!ended) {
      m_store.NoteEngineError();
      m_store.m_failure = StoreResult::CreateFailed;
    } else if (!keep) {
      m_store.m_usedFlags = m_flagsAtBegin;
      m_store.TruncateLog(m_nLogAtBegin);
    }
  }
  const StoreResult failure = m_store.m_failure;
  m_store.CloseTable(StoreResult::Ok);
  if (failure != StoreResult::Ok) return failure;
  return keep ? StoreResult::Ok : StoreResult::CreateFailed;
}

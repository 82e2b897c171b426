// The entries of one open phonebook, kept in a private temporary SQLite database file
// with one table PHONEBOOK, plus the in-memory table of memory numbers in use.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"
#include "phonebook/EntryRules.h"
#include "phonebook/PhonebookImage.h"
#include "phonebook/ReadingOrder.h"
#include "phonebook/StoreChangeLog.h"
#include "phonebook/StoreResult.h"

class PhonebookDatabase;
class StoreEnvironment;

// Listing filter: 0..10 the kana-row tabs (あ か さ た な は ま や ら わ 他), 11 every entry.
enum KanaRow : int { KanaRowOther = 10, KanaRowAll = 11 };

// Listing order: the list column (0 memory number, 1 name, 2 reading, 6 group; 3..5 no order).
enum SortKey : int { SortByNumber = 0, SortByName = 1, SortByReading = 2, SortByGroup = 6 };

class CDbPhoneCtrl {
 public:
  CDbPhoneCtrl();                                    // in the editor's environment
  explicit CDbPhoneCtrl(StoreEnvironment& environment);
  ~CDbPhoneCtrl();
  CDbPhoneCtrl(const CDbPhoneCtrl&) = delete;
  CDbPhoneCtrl& operator=(const CDbPhoneCtrl&) = delete;

  // Every operation that touches the file returns a StoreResult. A write either happens
  // whole and is committed, or leaves the table and usedFlags as they were.
  StoreResult FindEntry(int memoryNumber, PhonebookEntry& target);
  StoreResult AddEntry(PhonebookEntry entry);
  StoreResult DeleteEntries(int kanaRow, std::vector<std::string>& numbers);
  StoreResult DeleteEntry(int memoryNumber);
  StoreResult DeleteAll();
  int GetFreeMemoryNumber() const;
  NormaliseResult NormaliseFields(std::vector<std::string>& fields, int* lastIndex = nullptr) const;

  // Appends the entries of a row to `out`, in the order asked.
  StoreResult ListEntries(int kanaRow, int sortKey, bool ascending,
                          std::vector<PhonebookEntry>& out);
  // Every entry by memory number, checked against usedFlags: StoreResult::CreateFailed when the
  // table does not hold exactly the entries the store counts, so that nothing is saved or
  // sent from a table that lost rows.
  StoreResult ListAllEntries(std::vector<PhonebookEntry>& out);

  // Writes every entry into `image`, which the caller has filled with zeros.
  StoreResult BuildImage(PhonebookImage& image);

  // Keeps the database open and one transaction running, so that a run of operations
  // (loading a file, pasting, an import) pays one open and one commit, and happens whole
  // or not at all. A batch that ends without Commit is undone; one inside another batch is
  // undone alone (a savepoint). When the engine fails inside a batch (a full disk, an I/O
  // error) the whole outermost transaction is lost: every later operation returns the
  // failure without touching the table, and the outermost batch rolls back.
  class Batch {
   public:
    explicit Batch(CDbPhoneCtrl& store);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Keeps what the batch did (the outermost one commits it to the file). On a nonzero
    // result nothing of it was kept and usedFlags are back as before the batch.
    StoreResult Commit();

   private:
    StoreResult End(bool keep);

    CDbPhoneCtrl& m_store;
    UsedFlags m_flagsAtBegin;  // usedFlags when the batch began
    std::size_t m_nLogAtBegin; // notes in the change log when the batch began
    bool m_bOutermost = false; // began the transaction, rather than a savepoint inside one
    bool m_bEnded = false;     // committed or undone already (or never opened)
    StoreResult m_openResult;  // the failure that kept it from opening, else Ok
  };

  // While a log is set, every write the store keeps notes there the entries it removed
  // and added, in order; a write or batch that is undone takes its notes back out, so the
  // log holds exactly what was kept. Null (the default): nothing is noted.
  void SetChangeLog(StoreChangeLog* log) { m_pChangeLog = log; }
  StoreChangeLog* ChangeLog() const { return m_pChangeLog; }

  const UsedFlags& usedFlags() const { return m_usedFlags; }
  const std::string& DatabasePath() const { return m_strDatabasePath; }
  bool HasSlot() const { return !m_strDatabasePath.empty(); }
  // Where the store keeps its file; its Trouble() says why a store has no slot.
  const StoreEnvironment& Environment() const { return m_environment; }
  int EntryCount() const;
  // errno of the operating system behind the last failed operation (0 when the engine
  // gave none): why the file could not be written (ENOSPC, EIO, ...).
  int LastOsError() const { return m_nLastOsError; }

 private:
  class TableScope;

  StoreResult EnsureDatabase();
  // Opens the table and begins the transaction, or joins the one running.
  StoreResult OpenTable();
  // Ends one level of OpenTable with the operation's result. The outermost level commits,
  // or rolls back (restoring usedFlags) when anything inside failed or the commit fails.
  StoreResult CloseTable(StoreResult result);
  // A batch whose opening failed: its operations refuse with `failure` until it ends.
  void EnterFailedBatch(StoreResult failure);
  void NoteEngineError();
  void CloseDatabase();
  void DeleteTempFiles();
  void ClearUsedFlags();
  void MarkUsed(int memoryNumber, bool used);
  void NoteChange(bool added, const PhonebookEntry& entry);
  std::size_t LogSize() const { return m_pChangeLog ? m_pChangeLog->size() : 0; }
  // Takes back the notes made since the log held `size` of them.
  void TruncateLog(std::size_t size);
  std::string SlotPath(int slot) const;
  // Runs a select statement (binding `parameter` to its "?" when given) and hands each row
  // to `visit`; Ok, or CreateFailed on an engine error.
  template <typename Visit>
  StoreResult ForEachRow(const std::string& sql, Visit visit, const int* parameter = nullptr);

  StoreEnvironment& m_environment;
  bool m_bHoldsSlot = false;             // a slot of the environment is ours
  std::unique_ptr<PhonebookDatabase> m_pDatabase;  // open only during an operation or Batch
  int m_nOpenDepth = 0;                  // nested OpenTable calls (a Batch counts one)
  StoreResult m_failure = StoreResult::Ok;  // first failure inside the open transaction
  UsedFlags m_flagsAtBegin{};            // usedFlags when the transaction began
  std::size_t m_nLogAtBegin = 0;         // notes in the change log when it began
  StoreChangeLog* m_pChangeLog = nullptr;  // see SetChangeLog
  int m_nLastOsError = 0;                // see LastOsError
  std::string m_strDatabasePath;         // empty when the store got no slot
  bool m_bFileMade = false;              // the database file was made; it must not vanish
  UsedFlags m_usedFlags{};
};

// The statement that lists a kana row in an order, as the store runs it.
std::string BuildQuery(int kanaRow, int sortKey, bool ascending);

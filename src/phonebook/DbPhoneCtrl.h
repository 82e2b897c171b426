// The entries of one open phonebook, kept in a private temporary SQLite database file
// with one table PHONEBOOK, plus the in-memory table of memory numbers in use.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "phonebook/ListControl.h"
#include "phonebook/PhonebookEntry.h"
#include "phonebook/PhonebookImage.h"
#include "phonebook/ReadingOrder.h"

class PhonebookDatabase;
class StoreEnvironment;
class CArchiveReader;
class CArchiveWriter;

// Listing filter: 0..10 the kana-row tabs (あ か さ た な は ま や ら わ 他), 11 every entry.
enum KanaRow : int { KanaRowOther = 10, KanaRowAll = 11 };

// Listing order: the list column (0 memory number, 1 name, 2 reading, 6 group; 3..5 no order).
enum SortKey : int { SortByNumber = 0, SortByName = 1, SortByReading = 2, SortByGroup = 6 };

// Result codes of the store's operations.
enum StoreResult : int {
  StoreOk = 0,
  StoreNoSlot = 1,         // the store has no database path
  StoreCreateFailed = 2,   // the database could not be opened or created, or the engine failed
  StoreNoWindow = 3        // FillList: the list control has no window
};

class CDbPhoneCtrl {
 public:
  CDbPhoneCtrl();                                    // in the editor's environment
  explicit CDbPhoneCtrl(StoreEnvironment& environment);
  ~CDbPhoneCtrl();
  CDbPhoneCtrl(const CDbPhoneCtrl&) = delete;
  CDbPhoneCtrl& operator=(const CDbPhoneCtrl&) = delete;

  int FindEntry(int memoryNumber, PhonebookEntry& target);
  int FillList(IListControl& control, int kanaRow, int sortKey, bool ascending);
  int AddEntry(PhonebookEntry entry);
  int DeleteEntries(int kanaRow, std::vector<std::string>& numbers);
  int DeleteEntry(int memoryNumber);
  int DeleteAll();
  int GetFreeMemoryNumber() const;
  int NormaliseFields(std::vector<std::string>& fields, int* lastIndex = nullptr) const;

  // The entries of a row in the order asked (the same query FillList runs).
  int ListEntries(int kanaRow, int sortKey, bool ascending, std::vector<PhonebookEntry>& out);

  // Phonebook document files (comma or tab separated).
  int LoadCsv(CArchiveReader& archive, bool comma);
  int SaveCsv(CArchiveWriter& archive, bool comma);

  // Writes every entry into `image`, which the caller has filled with zeros.
  int BuildImage(PhonebookImage& image);

  // Keeps the database open and one transaction running until destroyed, so that a run of
  // operations (loading a file, pasting, an import) pays one open and one commit.
  class Batch {
   public:
    explicit Batch(CDbPhoneCtrl& store);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    CDbPhoneCtrl& m_store;
    bool m_bOpen;  // the batch opened the database and must close it
  };

  const UsedFlags& usedFlags() const { return m_usedFlags; }
  const std::string& DatabasePath() const { return m_strDatabasePath; }
  bool HasSlot() const { return !m_strDatabasePath.empty(); }
  // Where the store keeps its file; its Trouble() says why a store has no slot.
  const StoreEnvironment& Environment() const { return m_environment; }
  int EntryCount() const;

 private:
  class TableScope;

  int EnsureDatabase();
  int OpenTable();
  int CloseTable();
  void CloseDatabase();
  void DeleteTempFiles();
  void ClearUsedFlags();
  void MarkUsed(int memoryNumber, bool used);
  std::string SlotPath(int slot) const;
  // Runs a select statement (binding `parameter` to its "?" when given) and hands each row
  // to `visit`; 0, or 2 on an engine error.
  template <typename Visit>
  int ForEachRow(const std::string& sql, Visit visit, const int* parameter = nullptr);

  StoreEnvironment& m_environment;
  bool m_bHoldsSlot = false;             // a slot of the environment is ours
  std::unique_ptr<PhonebookDatabase> m_pDatabase;  // open only during an operation or Batch
  int m_nOpenDepth = 0;                  // nested OpenTable calls (a Batch counts one)
  std::string m_strDatabasePath;         // empty when the store got no slot
  bool m_bFileMade = false;              // the database file was made; it must not vanish
  UsedFlags m_usedFlags{};
};

// The statement that lists a kana row in an order, as the store runs it.
std::string BuildQuery(int kanaRow, int sortKey, bool ascending);

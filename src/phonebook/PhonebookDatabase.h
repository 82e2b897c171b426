// One open connection to a store's SQLite file: table PHONEBOOK, the reading collation and
// the kana_row() function registered, and a cache of prepared statements.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "phonebook/PhonebookEntry.h"

struct sqlite3;
struct sqlite3_stmt;

class PhonebookDatabase {
 public:
  // Opens the file at `path`, creating it (mode 0600) with table PHONEBOOK when missing.
  // Null when the file cannot be opened or the table cannot be made; `osError` then
  // receives the operating system's errno when there was one.
  static std::unique_ptr<PhonebookDatabase> Open(const std::string& path, int& osError);
  ~PhonebookDatabase();
  PhonebookDatabase(const PhonebookDatabase&) = delete;
  PhonebookDatabase& operator=(const PhonebookDatabase&) = delete;

  // A prepared statement for `sql`, reset and unbound; null on an engine error.
  sqlite3_stmt* Prepare(const std::string& sql);

  bool Execute(const char* sql);
  bool Begin();
  // Commits the running transaction. False when it failed, or when an engine error had
  // already rolled the transaction back: then nothing of it was kept.
  bool Commit();
  // The errno behind the engine's last failure, 0 when it had none.
  int LastOsError() const;

 private:
  explicit PhonebookDatabase(sqlite3* connection);
  bool Configure();

  sqlite3* m_pConnection;
  std::map<std::string, sqlite3_stmt*> m_statements;
};

// Reads the seven columns of the current row of a "select *" statement on PHONEBOOK.
PhonebookEntry ReadEntryRow(sqlite3_stmt* statement);

// Binds the seven fields of `entry` to parameters 1..7, in column order.
bool BindEntry(sqlite3_stmt* statement, const PhonebookEntry& entry);

// Resets a statement taken from Prepare when the scope that runs it ends.
class StatementRun {
 public:
  explicit StatementRun(sqlite3_stmt* statement) : m_pStatement(statement) {}
  ~StatementRun();
  StatementRun(const StatementRun&) = delete;
  StatementRun& operator=(const StatementRun&) = delete;

 private:
  sqlite3_stmt* m_pStatement;
};

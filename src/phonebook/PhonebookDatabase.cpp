// The store's SQLite connection: opening, the scratch-file settings, the functions the
// queries rely on, and prepared statements kept for the connection's life.
#include "phonebook/PhonebookDatabase.h"

#include <sqlite3.h>

#include <cerrno>

#include "phonebook/ReadingOrder.h"
#include "platform/PrivateFolder.h"

namespace {

// "collate READING": the reading order of the list view.
int CompareReadingTexts(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return CompareReadings(std::string_view(static_cast<const char*>(a), lengthA),
                         std::string_view(static_cast<const char*>(b), lengthB));
}

// kana_row(READ): the kana-row tab of a reading, 10 for an empty or missing one.
void KanaRowFunction(sqlite3_context* context, int, sqlite3_value** values) {
  const auto* bytes = static_cast<const char*>(sqlite3_value_blob(values[0]));
  const int length = sqlite3_value_bytes(values[0]);
  const std::string_view reading = bytes ? std::string_view(bytes, length) : std::string_view();
  sqlite3_result_int(context, KanaRowOfFirstByte(reading));
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
  const int length = sqlite3_column_bytes(statement, column);
  return bytes ? std::string(bytes, length) : std::string();
}

bool BindText(sqlite3_stmt* statement, int parameter, const std::string& text) {
  // data() is never null, so an empty text stays an empty text rather than NULL.
  return sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()),
                           SQLITE_TRANSIENT) == SQLITE_OK;
}

}  // namespace

std::unique_ptr<PhonebookDatabase> PhonebookDatabase::Open(const std::string& path,
                                                           int& osError) {
  if (!platform::FileExists(path) && !platform::CreatePrivateFile(path)) {
    osError = errno;
    return nullptr;
  }
  sqlite3* connection = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(platform::SqliteFileName(path).c_str(), &connection, flags, nullptr) != SQLITE_OK) {
    osError = connection ? sqlite3_system_errno(connection) : 0;
    sqlite3_close(connection);
    return nullptr;
  }
  std::unique_ptr<PhonebookDatabase> database(new PhonebookDatabase(connection));
  if (!database->Configure()) {
    osError = database->LastOsError();
    return nullptr;
  }
  return database;
}

PhonebookDatabase::PhonebookDatabase(sqlite3* connection) : m_pConnection(connection) {}

PhonebookDatabase::~PhonebookDatabase() {
  for (auto& [sql, statement] : m_statements) sqlite3_finalize(statement);
  if (!sqlite3_get_autocommit(m_pConnection)) Execute("ROLLBACK");
  sqlite3_close(m_pConnection);
}

bool PhonebookDatabase::Configure() {
  // A scratch file owned by one store: no journal on disk, no syncing, and the lock held
  // for as long as the connection is open.
  const bool configured =
      Execute("PRAGMA locking_mode=EXCLUSIVE") && Execute("PRAGMA journal_mode=MEMORY") &&
      Execute("PRAGMA synchronous=OFF") &&
      sqlite3_create_collation(m_pConnection, "READING", SQLITE_UTF8, nullptr,
                               CompareReadingTexts) == SQLITE_OK &&
      sqlite3_create_function(m_pConnection, "kana_row", 1,
                              SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, KanaRowFunction,
                              nullptr, nullptr) == SQLITE_OK;
  return configured &&
         Execute("CREATE TABLE IF NOT EXISTS PHONEBOOK ("
                 "MEMORYNUMBER INTEGER, NAME TEXT, READ TEXT, PHONENUMBER1 TEXT,"
                 " PHONENUMBER2 TEXT, PHONENUMBER3 TEXT, GROUPNUMBER INTEGER)");
}

sqlite3_stmt* PhonebookDatabase::Prepare(const std::string& sql) {
  auto found = m_statements.find(sql);
  if (found != m_statements.end()) return found->second;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(m_pConnection, sql.c_str(), static_cast<int>(sql.size()),
                         SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  m_statements.emplace(sql, statement);
  return statement;
}

bool PhonebookDatabase::Execute(const char* sql) {
  return sqlite3_exec(m_pConnection, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool PhonebookDatabase::Begin() {
  return Execute("BEGIN EXCLUSIVE");  // nobody else reads or writes while an operation runs
}

bool PhonebookDatabase::Commit() {
  // A full disk or an I/O error may have rolled the transaction back already; what ran
  // after that committed nothing either.
  if (sqlite3_get_autocommit(m_pConnection)) return false;
  return Execute("COMMIT");
}

int PhonebookDatabase::LastOsError() const {
  // The engine keeps no errno for a full disk, only its own code, and not always one for
  // an I/O error.
  const int code = sqlite3_extended_errcode(m_pConnection) & 0xff;
  if (code == SQLITE_FULL) return ENOSPC;
  if (code != SQLITE_IOERR && code != SQLITE_CANTOPEN) return 0;
  const int system = sqlite3_system_errno(m_pConnection);
  return system != 0 ? system : EIO;
}

PhonebookEntry ReadEntryRow(sqlite3_stmt* statement) {
  PhonebookEntry entry;
  entry.memoryNumber = sqlite3_column_int(statement, 0);
  entry.name = ColumnText(statement, 1);
  entry.reading = ColumnText(statement, 2);
  entry.phone1 = ColumnText(statement, 3);
  entry.phone2 = ColumnText(statement, 4);
  entry.phone3 = ColumnText(statement, 5);
  entry.group = sqlite3_column_int(statement, 6);
  return entry;
}

bool BindEntry(sqlite3_stmt* statement, const PhonebookEntry& entry) {
  return sqlite3_bind_int(statement, 1, entry.memoryNumber) == SQLITE_OK &&
         BindText(statement, 2, entry.name) && BindText(statement, 3, entry.reading) &&
         BindText(statement, 4, entry.phone1) && BindText(statement, 5, entry.phone2) &&
         BindText(statement, 6, entry.phone3) &&
         sqlite3_bind_int(statement, 7, entry.group) == SQLITE_OK;
}

StatementRun::~StatementRun() {
  if (m_pStatement) {
    sqlite3_reset(m_pStatement);
    sqlite3_clear_bindings(m_pStatement);
  }
}

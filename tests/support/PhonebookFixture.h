// Helpers for widget tests: a private store environment (its own five slots, so tests
// never take the editor's) and entries with code page 932 texts.
#pragma once

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QTest>

#include <memory>
#include <string>

#include "phonebook/PhonebookEntry.h"
#include "phonebook/StoreEnvironment.h"

// Records a failure of the running test when a store operation did not succeed; for
// helpers that cannot return early as QVERIFY does.
#define EXPECT_STORED(expression)                                                   \
  do {                                                                              \
    if ((expression) != StoreResult::Ok) QTest::qFail("store operation failed: " #expression, __FILE__, __LINE__); \
  } while (false)

inline PhonebookEntry MakeEntry(int number, const std::string& reading, int group = 1) {
  PhonebookEntry entry;
  entry.memoryNumber = number;
  entry.name = "N" + std::to_string(number);
  entry.reading = reading;
  entry.phone1 = "0123";
  entry.group = group;
  return entry;
}

// The texts of one column of a phonebook list, top to bottom.
inline QStringList Column(QTableView* list, int column) {
  QStringList texts;
  for (int row = 0; row < list->model()->rowCount(); ++row)
    texts << list->model()->index(row, column).data().toString();
  return texts;
}

// Selects `rows` of a phonebook list, and only those.
inline void SelectRows(QTableView* list, const QList<int>& rows) {
  list->selectionModel()->clearSelection();
  for (int row : rows)
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Types `text` into `field` one character at a time, as a keyboard would.
inline void TypeText(QWidget* field, const QString& text) {
  for (QChar c : text)
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Half-width katakana readings (code page 932 bytes).
namespace Kana {
inline const std::string A = "\xB1";          // ｱ
inline const std::string Ka = "\xB6";         // ｶ
inline const std::string KaTou = "\xB6\xC4\xB3";  // ｶﾄｳ
inline const std::string SaTou = "\xBB\xC4\xB3";  // ｻﾄｳ
inline const std::string Wa = "\xDC";         // ﾜ
inline const std::string Wo = "\xA6";         // ｦ
inline const std::string N = "\xDD";          // ﾝ
inline const std::string SmallA = "\xA7";     // ｧ
inline const std::string YaMaDa = "\xD4\xCF\xC0\xDE";  // ﾔﾏﾀﾞ
}  // namespace Kana

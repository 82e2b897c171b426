// The fill-readings command in a phonebook's view, with the real dictionary: which entries
// the preview lists, the choices made in it reaching the phonebook as one undoable step,
// a cancelled preview changing nothing, and the hint after a paste of unread rows.
#include <QApplication>
#include <QClipboard>
#include <QStatusTipEvent>
#include <QTableView>

#include "platform/CodePage.h"
#include "readings/ReadingSuggester.h"
#include "support/EditorFixture.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "view/ReadingCommands.h"
#include "view/ReadingFillDialog.h"

class ReadingCommandsTest : public EditorTest<> {
  Q_OBJECT

 private:
  static PhonebookEntry Named(int number, const char* name, const char* reading) {
    PhonebookEntry entry = MakeEntry(number, Utf8ToCp932(reading));
    entry.name = Utf8ToCp932(name);
    return entry;
  }
  QString ReadingOf(int number) { return QString::fromStdString(Cp932ToUtf8(Stored(number).reading)); }

  // A script for the preview: notes its rows into `seen` ("number:first reading" and + or -
  // for a row that starts checked or not), picks `pick` (row -> a reading among the row's
  // suggestions) and answers with OK, or Cancel when `cancel`.
  FakePrompts::DialogScript Preview(QStringList& seen, std::map<int, QString> pick, bool cancel = false) {
    return [&seen, pick, cancel](QDialog& dialog) {
      auto& preview = static_cast<CReadingFillDialog&>(dialog);
      QAbstractItemModel* model = preview.Table()->model();
      for (int row = 0; row < model->rowCount(); ++row) {
        const bool checked = model->index(row, CReadingFillDialog::ColumnFill).data(Qt::CheckStateRole) == Qt::Checked;
        seen << model->index(row, CReadingFillDialog::ColumnNumber).data().toString() + ":" +
                         model->index(row, CReadingFillDialog::ColumnNewReading).data().toString() +
                         (checked ? "+" : "-");
      }
      for (const auto& [row, reading] : pick)
        model->setData(model->index(row, CReadingFillDialog::ColumnNewReading), reading);
      return cancel ? QDialog::Rejected : QDialog::Accepted;
    };
  }

 private slots:
  void initTestCase() { QVERIFY2(SharedReadingSuggester().Load(), "no dictionary: install mecab-ipadic-utf8"); }
  void init() {
    SetUpEditor();
    OpenPhonebook({Named(1, "山田太郎", ""), Named(2, "鈴木", "ｽｽﾞｷ"), Named(3, "大谷翔平", ""),
                   Named(4, "", "")});
  }
  void cleanup() { TearDownEditor(); }

  void choicesBecomeOneStepThatUndoes() {
    CommandState state;
    m_view->OnUpdateCommand(ID_FILL_READINGS, state);
    QVERIFY(state.enabled);
    const std::vector<PhonebookEntry> before = StoredEntries(*m_doc);

    // Nothing selected beyond the current row: every entry without a reading is listed,
    // checked, with its best reading; the second is changed to another suggestion.
    QStringList seen;
    m_prompts->dialogScripts.push_back(Preview(seen, {{1, QString::fromUtf8("ｵｵﾔｼｮｳﾍｲ")}}));
    m_view->Readings().OnFillReadings();
    QCOMPARE(seen, (QStringList{QString::fromUtf8("0001:ﾔﾏﾀﾞﾀﾛｳ+"), QString::fromUtf8("0003:ｵｵﾀﾆｼｮｳﾍｲ+")}));
    QCOMPARE(ReadingOf(1), QString::fromUtf8("ﾔﾏﾀﾞﾀﾛｳ"));
    QCOMPARE(ReadingOf(3), QString::fromUtf8("ｵｵﾔｼｮｳﾍｲ"));
    QCOMPARE(ReadingOf(2), QString::fromUtf8("ｽｽﾞｷ"));
    QVERIFY(m_doc->IsModified());
    QCOMPARE(m_doc->History().Count(), 1);
    QCOMPARE(m_doc->History().UndoName(), Text(IDS_STEP_FILL_READINGS));
    QVERIFY(Column(m_view->Lists().NumberList(), 2).contains(QString::fromUtf8("ｵｵﾔｼｮｳﾍｲ")));

    m_view->History().OnEditUndo();
    QVERIFY(StoredEntries(*m_doc) == before);
    QVERIFY(!m_doc->IsModified());
    m_view->History().OnEditRedo();
    QCOMPARE(ReadingOf(3), QString::fromUtf8("ｵｵﾔｼｮｳﾍｲ"));
  }

  void selectedRowsWithAReadingChangeOnlyWhenAsked() {
    // Two rows selected: both are listed; the one with a reading starts unchecked and OK
    // leaves it; a cancelled preview changes nothing at all.
    SelectRows(m_view->Lists().NumberList(), {1, 2});
    QStringList seen, cancelled;
    m_prompts->dialogScripts.push_back(Preview(cancelled, {}, true));
    m_view->Readings().OnFillReadings();
    QCOMPARE(cancelled.size(), 2);
    QCOMPARE(m_doc->History().Count(), 0);
    QVERIFY(Stored(3).reading.empty());

    m_prompts->dialogScripts.push_back(Preview(seen, {}));
    m_view->Readings().OnFillReadings();
    QCOMPARE(seen, (QStringList{QString::fromUtf8("0002:ｽｽﾞｷ-"), QString::fromUtf8("0003:ｵｵﾀﾆｼｮｳﾍｲ+")}));
    QCOMPARE(ReadingOf(3), QString::fromUtf8("ｵｵﾀﾆｼｮｳﾍｲ"));
    QVERIFY(Stored(1).reading.empty());  // not selected

    // One row selected: the fill is for every entry without a reading, here the first; then
    // only the nameless entry lacks one, and the command says there is nothing to fill.
    seen.clear();
    SelectRows(m_view->Lists().NumberList(), {0});
    m_prompts->dialogScripts.push_back(Preview(seen, {}));
    m_view->Readings().OnFillReadings();
    QCOMPARE(seen, (QStringList{QString::fromUtf8("0001:ﾔﾏﾀﾞﾀﾛｳ+")}));
    m_view->Readings().OnFillReadings();
    QCOMPARE(m_prompts->Last().text, Text(IDS_READING_NOTHING_TO_FILL));
  }

  void pastedRowsWithoutAReadingBringTheHint() {
    struct TipCatcher : QObject {
      QString tip;
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::StatusTip) tip = static_cast<QStatusTipEvent*>(event)->tip();
        return false;
      }
    } catcher;
    m_view->installEventFilter(&catcher);
    QApplication::clipboard()->setText(QString::fromUtf8(",QV PhoneBook,,11,0\r\n0007,佐藤花子,,0123,,,1\r\n"));
    m_view->Clipboard().OnEditPaste();
    QCOMPARE(catcher.tip, Text(IDS_READING_UNREAD_HINT).arg(3));
  }
};

QTEST_MAIN(ReadingCommandsTest)
#include "ReadingCommandsTest.moc"

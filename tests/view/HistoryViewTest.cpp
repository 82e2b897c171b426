// Undo and redo in a phonebook's view: every kind of change is one step with its name in
// the menu, the list and the modified flag follow both ways, a save is the new point where
// the flag clears, and a step that no longer fits the phonebook changes nothing.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>

#include "doc/DocumentExchange.h"
#include "support/EditorFixture.h"
#include "ui/CommandIds.h"
#include "strings/StringIds.h"
#include "ui/QtText.h"

class HistoryViewTest : public EditorTest<> {
  Q_OBJECT

 private:
  QTemporaryDir m_folder;

  QString Label(int id) {
    CommandState state;
    m_view->OnUpdateCommand(id, state);
    return state.enabled ? state.label : QString();
  }

  // Makes the change `kind` as the user would, answering every question with OK.
  void Change(const QString& kind) {
    m_prompts->answers = {PromptAnswer::Ok, PromptAnswer::Ok};
    if (kind == "add") {
      m_prompts->dialogScripts.push_back(Fill({{FieldName, "New"}, {FieldReading, "A"}, {FieldPhone1, "1"}}));
      m_view->Entries().OnAddEntry();
    } else if (kind == "edit" || kind == "delete" || kind == "cut") {
      SelectRows(m_view->Lists().NumberList(), kind == "delete" ? QList<int>{0, 2} : QList<int>{1});
      m_prompts->dialogScripts.push_back(Fill({{FieldMemoryNumber, "9"}, {FieldName, "Moved"}}));
      if (kind == "edit") m_view->Entries().OnEditEntry();  // to another number
      else if (kind == "delete") m_view->Entries().OnDeleteEntry();
      else m_view->Clipboard().OnEditCut();
    } else if (kind == "delete all") {
      m_view->Entries().OnDeleteAll();
    } else if (kind == "paste") {
      QApplication::clipboard()->setText(",QV PhoneBook,,11,0\r\n0002,P,A,0123,,,1\r\n0006,Q,A,1,,,2\r\n");
      m_view->Clipboard().OnEditPaste();
    } else if (kind == "import") {
      QFile file(m_folder.filePath("rows.csv"));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("0007,I,A,0123,,,1\r\n0008,J,A,0456,,,1\r\n");
      file.close();
      m_prompts->openAnswer = {file.fileName()};
      m_doc->Exchange().OnFileImport();
    }
  }

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook({MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka), MakeEntry(3, Kana::SaTou)});
  }
  void cleanup() { TearDownEditor(); }

  void everyChangeIsOneStep_data() {
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"add", "edit", "delete", "delete all", "cut", "paste", "import"})
      QTest::newRow(kind) << QString(kind);
  }
  void everyChangeIsOneStep() {
    QFETCH(QString, kind);
    const std::vector<PhonebookEntry> before = StoredEntries(*m_doc);
    const QStringList rowsBefore = Column(m_view->Lists().NumberList(), 0);
    Change(kind);
    const std::vector<PhonebookEntry> after = StoredEntries(*m_doc);
    const QStringList rowsAfter = Column(m_view->Lists().NumberList(), 0);
    QVERIFY(after != before && m_doc->IsModified());
    QCOMPARE(m_doc->History().Count(), 1);
    const QString name = m_doc->History().UndoName();
    QCOMPARE(Label(ID_EDIT_UNDO), Text(IDS_UNDO_STEP).arg(name));
    QVERIFY(Label(ID_EDIT_REDO).isEmpty());

    m_view->History().OnEditUndo();
    QVERIFY(StoredEntries(*m_doc) == before);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), rowsBefore);
    QVERIFY(!m_doc->IsModified());  // back where it was saved
    QCOMPARE(Label(ID_EDIT_REDO), Text(IDS_REDO_STEP).arg(name));

    m_view->History().OnEditRedo();
    QVERIFY(StoredEntries(*m_doc) == after);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), rowsAfter);
    QVERIFY(m_doc->IsModified());
  }

  void aSaveIsTheNewCleanPoint() {
    Change("delete");
    QVERIFY(m_doc->OnSaveDocument(m_folder.filePath("book.csv")));
    QVERIFY(!m_doc->IsModified());
    m_view->History().OnEditUndo();
    QVERIFY(m_doc->IsModified());
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0001", "0002", "0003"}));
    QCOMPARE(m_view->Lists().CurrentList()->SelectedCount(), 2);  // the entries that came back
    m_view->History().OnEditRedo();
    QVERIFY(!m_doc->IsModified());
  }

  void aStepThatNoLongerFitsChangesNothing() {
    Change("delete all");
    // The store moved on without a step: undoing would put entry 1 over the new one.
    EXPECT_STORED(m_doc->Store().AddEntry(MakeEntry(1, Kana::Wa)));
    m_view->History().OnEditUndo();
    QCOMPARE(m_prompts->Last().caption, Text(IDS_UNDO));
    QVERIFY(m_prompts->Last().text.endsWith(Text(IDS_HISTORY_OUT_OF_STEP)));
    QCOMPARE(Numbers(m_doc->Store()), (QList<int>{1}));
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0001"}));
    QVERIFY(m_doc->History().CanUndo() && !m_doc->History().CanRedo() && m_doc->IsModified());
  }
};

QTEST_MAIN(HistoryViewTest)
#include "HistoryViewTest.moc"

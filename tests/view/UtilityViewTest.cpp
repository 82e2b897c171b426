// The phonebook view driven as a user would: sorting and header marks, display modes, and
// the Add, Edit, Delete and Delete all flows with their messages and selections.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "ui/CommandIds.h"
#include "doc/UtilityDoc.h"
#include "support/EditorFixture.h"
#include "view/InputDataDialog.h"
#include "view/UtilityView.h"

namespace {

QList<int> SelectedRows(QTableView* list) {
  QList<int> rows;
  for (const QModelIndex& index : list->selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

int SortMark(QTableView* list, int column) {
  return list->model()->headerData(column, Qt::Horizontal, CPhoneListModel::SortMarkRole).toInt();
}

}  // namespace

class UtilityViewTest : public EditorTest<> {
  Q_OBJECT

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook();
  }
  void cleanup() { TearDownEditor(); }

  void newViewShowsNumberOrderAscendingWithUpMark() {
    Populate({MakeEntry(3, Kana::A), MakeEntry(1, Kana::Ka), MakeEntry(2, Kana::Wa)});
    QCOMPARE(m_view->Lists().Mode(), NumberOrder);
    QVERIFY(m_view->Lists().NumberList()->isVisible());
    QVERIFY(!m_view->Lists().KanaList()->isVisible());
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0001", "0002", "0003"}));
    QCOMPARE(SortMark(m_view->Lists().NumberList(), 0), 1);
    QCOMPARE(SortMark(m_view->Lists().NumberList(), 2), 0);
  }

  // A refill replaces every row the list showed, and it and a deletion of several rows
  // each reach the list as one reset: a list of a thousand rows repaints once, not row by row.
  void refillsAndDeletionsReachTheListAsOneResetEach() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka), MakeEntry(3, Kana::Wa)});
    QTableView* list = m_view->Lists().NumberList();
    QSignalSpy resets(list->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(list->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(list->model(), &QAbstractItemModel::rowsRemoved);
    EXPECT_STORED(m_doc->Store().DeleteEntry(2));
    m_view->OnUpdate();
    QCOMPARE(Column(list, 0), (QStringList{"0001", "0003"}));
    SelectRows(list, {0, 1});
    m_prompts->answers.push_back(PromptAnswer::Ok);
    m_view->Entries().OnDeleteEntry();
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(resets.count(), 2);
    QCOMPARE(inserted.count() + removed.count(), 0);
  }

  void headerDrawsTheMarkBesideTheSortTitle() {
    Populate({MakeEntry(1, Kana::A)});
    QHeaderView* header = m_view->Lists().NumberList()->horizontalHeader();
    const auto darkPixelsIn = [header](int column) {
      const QImage image = header->grab().toImage();
      const int left = header->sectionViewportPosition(column);
      int dark = 0;
      const QString title = header->model()->headerData(column, Qt::Horizontal).toString();
      const int titleEnd = left + header->fontMetrics().horizontalAdvance(title) + 6;
      for (int x = titleEnd; x < left + header->sectionSize(column) - 4; ++x)
        for (int y = 2; y < image.height() - 2; ++y)
          dark += qGray(image.pixel(x, y)) < 160;
      return dark;
    };
    QVERIFY(darkPixelsIn(0) > 5);
    QCOMPARE(darkPixelsIn(1), 0);
  }

  void headerClicksToggleAndIgnoreUnsortedColumns() {
    Populate({MakeEntry(1, Kana::A, 5), MakeEntry(2, Kana::Ka, 3), MakeEntry(3, Kana::Wa, 4)});
    QHeaderView* header = m_view->Lists().NumberList()->horizontalHeader();
    emit header->sectionClicked(0);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0003", "0002", "0001"}));
    QCOMPARE(SortMark(m_view->Lists().NumberList(), 0), -1);
    for (int column : {1, 3, 4, 5}) {
      emit header->sectionClicked(column);
      QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0003", "0002", "0001"}));
      QCOMPARE(SortMark(m_view->Lists().NumberList(), 0), -1);
    }
    emit header->sectionClicked(6);
    QCOMPARE(Column(m_view->Lists().NumberList(), 6), (QStringList{"3", "4", "5"}));
    QCOMPARE(SortMark(m_view->Lists().NumberList(), 6), 1);
    QCOMPARE(SortMark(m_view->Lists().NumberList(), 0), 0);
  }

  void readingOrderFollowsTheKanaRanks() {
    Populate({MakeEntry(1, "1"), MakeEntry(2, "A"), MakeEntry(3, Kana::N), MakeEntry(4, Kana::Wo),
              MakeEntry(5, Kana::Wa), MakeEntry(6, Kana::SmallA), MakeEntry(7, Kana::Ka),
              MakeEntry(8, Kana::A), MakeEntry(9, Kana::A)});
    emit m_view->Lists().NumberList()->horizontalHeader()->sectionClicked(2);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0),
             (QStringList{"0008", "0009", "0007", "0005", "0004", "0003", "0006", "0002", "0001"}));
    // Descending reverses everything, the tie on equal readings included.
    emit m_view->Lists().NumberList()->horizontalHeader()->sectionClicked(2);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0),
             (QStringList{"0001", "0002", "0006", "0003", "0004", "0005", "0007", "0009", "0008"}));
  }

  void displayModesResetTheSortStates() {
    Populate({MakeEntry(1, Kana::Ka), MakeEntry(2, Kana::A), MakeEntry(3, Kana::SmallA)});
    emit m_view->Lists().NumberList()->horizontalHeader()->sectionClicked(6);
    m_view->Lists().OnKanaOrder();
    QCOMPARE(m_view->Lists().Mode(), KanaOrder);
    QVERIFY(m_view->Lists().KanaList()->isVisible() && !m_view->Lists().NumberList()->isVisible());
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 0);
    QCOMPARE(Column(m_view->Lists().KanaList(), 0), (QStringList{"0002", "0003"}));
    QCOMPARE(SortMark(m_view->Lists().KanaList(), 2), 1);
    m_view->Lists().TabStrip()->setCurrentIndex(1);
    QCOMPARE(Column(m_view->Lists().KanaList(), 0), (QStringList{"0001"}));
    m_view->Lists().OnNumberOrder();
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0001", "0002", "0003"}));
    QCOMPARE(SortMark(m_view->Lists().NumberList(), 0), 1);
    for (int row = 0; row <= CPhonebookLists::kAllRows; ++row)
      QCOMPARE(m_view->Lists().GetSortState(row).key, 0);
  }

  void addInKanaOrderMovesToTheEntrysTab() {
    Populate({MakeEntry(1, Kana::A)});
    m_view->Lists().OnKanaOrder();
    m_prompts->dialogScripts.push_back(
        Fill({{FieldName, "Kato"}, {FieldReading, QString::fromUtf8("ｶﾄｳ")}, {FieldPhone1, "03"}}));
    m_view->Entries().OnAddEntry();
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 1);
    QCOMPARE(Column(m_view->Lists().KanaList(), 0), (QStringList{"0002"}));
    QCOMPARE(SelectedRows(m_view->Lists().KanaList()), (QList<int>{0}));
    QVERIFY(m_doc->IsModified());
  }

  void addInNumberOrderMovesTheHiddenTab() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(3, Kana::A)});
    m_prompts->dialogScripts.push_back(
        Fill({{FieldName, "Wada"}, {FieldReading, QString::fromUtf8("ﾜﾀﾞ")}, {FieldPhone1, "1"}}));
    m_view->Entries().OnAddEntry();
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0001", "0002", "0003"}));
    QCOMPARE(SelectedRows(m_view->Lists().NumberList()), (QList<int>{1}));
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 9);
    m_view->Lists().OnKanaOrder();
    QCOMPARE(Column(m_view->Lists().KanaList(), 0), (QStringList{"0002"}));
  }

  void addNextProposesTheFollowingFreeNumber() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(2, Kana::A), MakeEntry(3, Kana::A),
              MakeEntry(4, Kana::A), MakeEntry(6, Kana::A)});
    QStringList proposed;
    auto record = [&proposed](FakePrompts::DialogScript next) {
      return [&proposed, next](QDialog& dialog) {
        proposed << static_cast<CInputDataDialog&>(dialog).Field(FieldMemoryNumber)->text();
        return next(dialog);
      };
    };
    m_prompts->dialogScripts.push_back(record(Fill({{FieldName, "a"}, {FieldReading, "A"}, {FieldPhone1, "1"}}, true)));
    m_prompts->dialogScripts.push_back(record(Fill({{FieldName, "b"}, {FieldReading, "B"}, {FieldPhone1, "2"}}, false)));
    m_view->Entries().OnAddEntry();
    QCOMPARE(proposed, (QStringList{"0005", "0007"}));
    QCOMPARE(m_doc->Store().EntryCount(), 7);
  }

  void addIsRefusedWhenAllNumbersAreUsed() {
    {
      CDbPhoneCtrl::Batch batch(m_doc->Store());
      for (int number = 1; number <= kMaxEntries; ++number)
        QCOMPARE(m_doc->Store().AddEntry(MakeEntry(number, Kana::A)), StoreResult::Ok);
      QCOMPARE(batch.Commit(), StoreResult::Ok);
    }
    m_view->Entries().OnAddEntry();
    QCOMPARE(m_prompts->dialogsRun, 0);
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("メモリ番号の確認"));
    QCOMPARE(m_prompts->Last().text, QString::fromUtf8("既に1000件のデータが登録されています。"));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    QCOMPARE(m_prompts->Last().owner, m_view.get());
  }

  void editKeepingTheNumberStoresItAgain() {
    Populate({MakeEntry(5, Kana::A), MakeEntry(6, Kana::Ka)});
    SelectRows(m_view->Lists().NumberList(), {0});
    m_prompts->dialogScripts.push_back(Fill({{FieldName, "Renamed"}}));
    m_view->Entries().OnEditEntry();
    QVERIFY(m_prompts->messages.empty());
    PhonebookEntry stored;
    QCOMPARE(m_doc->Store().FindEntry(5, stored), StoreResult::Ok);
    QCOMPARE(QString::fromStdString(stored.name), QString("Renamed"));
    QCOMPARE(SelectedRows(m_view->Lists().NumberList()), (QList<int>{0}));
  }

  void editToAUsedNumberIsRefusedThenANewNumberIsFoundAgain() {
    Populate({MakeEntry(5, Kana::A), MakeEntry(6, Kana::Ka)});
    SelectRows(m_view->Lists().NumberList(), {0});
    m_prompts->dialogScripts.push_back([](QDialog& dialog) {
      auto& input = static_cast<CInputDataDialog&>(dialog);
      input.Field(FieldMemoryNumber)->setText("0006");
      input.OkButton()->click();
      if (input.result() == QDialog::Accepted) return input.result();
      input.Field(FieldMemoryNumber)->setText("9");
      input.OkButton()->click();
      return input.result();
    });
    m_view->Entries().OnEditEntry();
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0006", "0009"}));
    QCOMPARE(SelectedRows(m_view->Lists().NumberList()), (QList<int>{1}));
    QVERIFY(!m_doc->Store().usedFlags()[4]);
  }

  void cancelledDialogChangesNothing() {
    Populate({MakeEntry(1, Kana::A)});
    SelectRows(m_view->Lists().NumberList(), {0});
    m_view->Entries().OnEditEntry();      // no script: the dialog is cancelled
    m_view->Entries().OnAddEntry();
    QCOMPARE(m_doc->Store().EntryCount(), 1);
    QVERIFY(!m_doc->IsModified());
  }

  void deleteSelectsTheRowAfterTheLastDeleted_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QList<int>>("selectedAfter");
    QTest::newRow("middle") << QList<int>{1} << QStringList{"0001", "0003", "0004"} << QList<int>{1};
    QTest::newRow("two apart") << QList<int>{0, 2} << QStringList{"0002", "0004"} << QList<int>{1};
    QTest::newRow("last rows") << QList<int>{2, 3} << QStringList{"0001", "0002"} << QList<int>{1};
    QTest::newRow("all rows") << QList<int>{0, 1, 2, 3} << QStringList{} << QList<int>{};
  }

  void deleteSelectsTheRowAfterTheLastDeleted() {
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, remaining);
    QFETCH(QList<int>, selectedAfter);
    Populate({MakeEntry(1, Kana::A), MakeEntry(2, Kana::A), MakeEntry(3, Kana::A), MakeEntry(4, Kana::A)});
    SelectRows(m_view->Lists().NumberList(), selected);
    m_prompts->answers.push_back(PromptAnswer::Ok);
    m_view->Entries().OnDeleteEntry();
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), remaining);
    QCOMPARE(SelectedRows(m_view->Lists().NumberList()), selectedAfter);
    QCOMPARE(m_doc->Store().EntryCount(), int(remaining.size()));
    QVERIFY(m_doc->IsModified());
  }

  void deleteAsksFirstWithCancelAsDefault() {
    Populate({MakeEntry(1, Kana::A)});
    SelectRows(m_view->Lists().NumberList(), {0});
    m_view->Entries().OnDeleteEntry();  // the fake answers with the default button
    const MessageRequest& asked = m_prompts->Last();
    QCOMPARE(asked.caption, QString::fromUtf8("データ削除の確認"));
    QCOMPARE(asked.text, QString::fromUtf8("選択されたデータを削除します。\r\n\r\nよろしいですか？"));
    QCOMPARE(asked.icon, MessageIcon::Question);
    QCOMPARE(asked.buttons, PromptButtons::OkCancel);
    QCOMPARE(asked.defaultButton, PromptAnswer::Cancel);
    QCOMPARE(m_doc->Store().EntryCount(), 1);
  }

  void deleteAllInNumberOrderLeavesTheHiddenKanaListEnabling() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka)});
    m_view->Lists().OnKanaOrder();
    m_view->Lists().OnNumberOrder();
    m_prompts->answers.push_back(PromptAnswer::Ok);
    m_view->Entries().OnDeleteAll();
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("データ全削除の確認"));
    QCOMPARE(m_view->Lists().NumberList()->model()->rowCount(), 0);
    QCOMPARE(m_doc->Store().EntryCount(), 0);
    CommandState state;
    QVERIFY(m_view->OnUpdateCommand(ID_DELETE_ALL, state));
    QVERIFY(state.enabled);
  }

  void keysAndDoubleClicksFollowTheSelection() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(2, Kana::A)});
    QTableView* list = m_view->Lists().NumberList();
    // Enter with one row selected edits; with two it does nothing.
    SelectRows(list, {0});
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(m_prompts->dialogsRun, 1);
    SelectRows(list, {0, 1});
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(m_prompts->dialogsRun, 1);
    // A double-click with two rows selected does nothing, with none it adds.
    QMouseEvent twoSelected(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5),
                            Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    QCoreApplication::sendEvent(list->viewport(), &twoSelected);
    QCOMPARE(m_prompts->dialogsRun, 1);
    list->selectionModel()->clearSelection();
    QCoreApplication::sendEvent(list->viewport(), &twoSelected);
    QCOMPARE(m_prompts->dialogsRun, 2);
    QVERIFY(m_prompts->messages.empty());
    // Delete asks first.
    SelectRows(list, {1});
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("データ削除の確認"));
  }

  void commandStatesFollowSelectionAndMode() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(2, Kana::A)});
    const auto enabled = [this](int id) {
      CommandState state;
      m_view->OnUpdateCommand(id, state);
      return state.enabled;
    };
    QVERIFY(!enabled(ID_EDIT_CUT) && !enabled(ID_EDIT_COPY) && !enabled(ID_EDIT_ENTRY) &&
            !enabled(ID_DELETE_ENTRY));
    QVERIFY(enabled(ID_ADD_ENTRY) && enabled(ID_DELETE_ALL) && enabled(ID_DOWNLOAD) &&
            enabled(ID_UPLOAD));
    SelectRows(m_view->Lists().NumberList(), {0, 1});
    QVERIFY(enabled(ID_EDIT_CUT) && enabled(ID_DELETE_ENTRY) && !enabled(ID_EDIT_ENTRY));
    QApplication::clipboard()->clear();
    QVERIFY(!enabled(ID_EDIT_PASTE));
    QApplication::clipboard()->setText("0001,a");
    QVERIFY(enabled(ID_EDIT_PASTE));
    std::unique_ptr<QMenu> menu = m_view->CreateContextMenu();
    QStringList states;
    for (QAction* action : menu->actions())
      if (!action->isSeparator())
        states << QString("%1%2").arg(action->isEnabled() ? "+" : "-").arg(action->isChecked() ? "*" : "");
    // cut copy paste | kana number | add edit delete fill-readings | delete all | download upload
    QCOMPARE(states.mid(0, 2), (QStringList{"+", "+"}));
    QCOMPARE(states.mid(3), (QStringList{"+", "+*", "+", "-", "+", "+", "+", "+", "+"}));
  }
};

QTEST_MAIN(UtilityViewTest)
#include "UtilityViewTest.moc"

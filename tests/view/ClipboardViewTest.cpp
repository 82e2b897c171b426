// Cut, copy and paste in the phonebook view with the real (offscreen) clipboard: within
// one phonebook and between two, the text on the clipboard, refusals, the limit, the
// view switching after a paste and the paste command's enabling.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "ui/CommandIds.h"
#include "ui/CommandTarget.h"
#include "doc/UtilityDoc.h"
#include "support/EditorFixture.h"
#include "view/UtilityView.h"

namespace {

QStringList SelectedNumbers(QTableView* list) {
  QStringList numbers;
  for (int row = 0; row < list->model()->rowCount(); ++row)
    if (list->selectionModel()->isRowSelected(row, QModelIndex()))
      numbers << list->model()->index(row, 0).data().toString();
  return numbers;
}

void SelectNumbers(QTableView* list, const QStringList& numbers) {
  list->selectionModel()->clearSelection();
  for (int row = 0; row < list->model()->rowCount(); ++row)
    if (numbers.contains(list->model()->index(row, 0).data().toString()))
      list->selectionModel()->select(list->model()->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

const QString kRefusedCaption = QStringLiteral("データ形式の確認");
const QString kLimitCaption = QStringLiteral("データの登録");

}  // namespace

class ClipboardViewTest : public EditorTest<> {
  Q_OBJECT

 private:
  CUtilityView& View() { return *m_view; }

  // Entries 1, 3 and 5 with readings of the tabs あ, か and さ.
  void PopulateThree() {
    Populate({MakeEntry(1, Kana::A), MakeEntry(3, Kana::KaTou), MakeEntry(5, Kana::SaTou)});
  }

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook();
    QApplication::clipboard()->clear();
  }
  void cleanup() { TearDownEditor(); }

  void copyPutsTheHeaderAndTheSelectedRowsInListOrder() {
    PopulateThree();
    emit View().Lists().NumberList()->horizontalHeader()->sectionClicked(0);  // descending
    SelectNumbers(View().Lists().NumberList(), {"0001", "0005"});
    View().Clipboard().OnEditCopy();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral(",QV PhoneBook,,11,0\r\n"
                            "0005,N5,ｻﾄｳ,0123,,,1\r\n"
                            "0001,N1,ｱ,0123,,,1\r\n"));
  }

  void pasteIntoTheSamePhonebookAddsUnderTheLowestFreeNumbersAndSelectsThem() {
    PopulateThree();
    SelectNumbers(View().Lists().NumberList(), {"0001", "0005"});
    View().Clipboard().OnEditCopy();
    View().Clipboard().OnEditPaste();
    QVERIFY(m_prompts->messages.empty());
    QCOMPARE(Column(View().Lists().NumberList(), 0),
             (QStringList{"0001", "0002", "0003", "0004", "0005"}));
    QCOMPARE(SelectedNumbers(View().Lists().NumberList()), (QStringList{"0002", "0004"}));
    QCOMPARE(View().Lists().NumberList()->currentIndex().row(), 3);
    QCOMPARE(Stored(2).name, std::string("N1"));
    QCOMPARE(Stored(4).name, std::string("N5"));
    QVERIFY(m_doc->IsModified());
  }

  void pasteIntoAnotherPhonebookKeepsNumbersAndTextsExactly() {
    PhonebookEntry comma = MakeEntry(1, Kana::YaMaDa, 7);
    comma.name = "\x8e\x52\x93\x63,\"x\"";  // 山田,"x"
    comma.phone2 = "#*P";
    PhonebookEntry quote = MakeEntry(5, Kana::A);
    quote.name = "a\"b";
    Populate({comma, quote});
    SelectNumbers(View().Lists().NumberList(), {"0001", "0005"});
    View().Clipboard().OnEditCopy();

    Phonebook other(*m_environment);
    other.view->Clipboard().OnEditPaste();
    QCOMPARE(other.Stored(1), comma);
    QCOMPARE(other.Stored(5), quote);
    QCOMPARE(SelectedNumbers(other.view->Lists().NumberList()), (QStringList{"0001", "0005"}));
  }

  void textOfOtherProgramsAndBadHeadersIsRefused() {
    PopulateThree();
    for (const QString& text : {QStringLiteral("hello\r\n0002,x,,1,,,1\r\n"),
                                QStringLiteral(",QV PhoneBook,,12,0\r\n0002,x,,1,,,1\r\n"),
                                QStringLiteral(",QV PhoneBook,,3,2\r\n0002,x,,1,,,1\r\n"),
                                QStringLiteral(",QV PhoneBook,,3,1,\r\n0002,x,,1,,,1\r\n")}) {
      QApplication::clipboard()->setText(text);
      m_prompts->Clear();
      View().Clipboard().OnEditPaste();
      QCOMPARE(m_prompts->messages.size(), size_t(1));
      QCOMPARE(m_prompts->Last().caption, kRefusedCaption);
      QVERIFY(m_prompts->Last().text.startsWith(QStringLiteral("データの貼り付けができません。")));
      QCOMPARE(m_prompts->Last().icon, MessageIcon::Error);
      QCOMPARE(m_prompts->Last().owner, static_cast<QWidget*>(&View()));
    }
    QCOMPARE(m_doc->Store().EntryCount(), 3);
    QVERIFY(!m_doc->IsModified());
  }

  void twentyDuplicatesIntoNineHundredNinetyAddTenThenWarn() {
    std::vector<PhonebookEntry> entries;
    for (int n = 1; n <= 990; ++n) entries.push_back(MakeEntry(n, Kana::A));
    Populate(entries);
    QStringList first20;
    for (int n = 1; n <= 20; ++n) first20 << QString::asprintf("%04d", n);
    SelectNumbers(View().Lists().NumberList(), first20);
    View().Clipboard().OnEditCopy();
    View().Clipboard().OnEditPaste();
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_prompts->Last().caption, kLimitCaption);
    QVERIFY(m_prompts->Last().text.endsWith(QStringLiteral("コピーを終了します。")));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    QCOMPARE(m_doc->Store().EntryCount(), 1000);
    QCOMPARE(SelectedNumbers(View().Lists().NumberList()).size(), 10);
    QCOMPARE(SelectedNumbers(View().Lists().NumberList()).last(), QStringLiteral("1000"));
  }

  void rowsFromTheKanaListStayInTheNumberList() {
    PopulateThree();
    View().Lists().OnKanaOrder();
    View().Lists().TabStrip()->setCurrentIndex(1);  // か
    SelectNumbers(View().Lists().KanaList(), {"0003"});
    View().Clipboard().OnEditCopy();
    QVERIFY(QApplication::clipboard()->text().startsWith(",QV PhoneBook,,1,1\r\n"));
    View().Lists().OnNumberOrder();
    View().Clipboard().OnEditPaste();
    QCOMPARE(View().Lists().Mode(), NumberOrder);
    QCOMPARE(SelectedNumbers(View().Lists().NumberList()), (QStringList{"0002"}));
    QCOMPARE(View().Lists().TabStrip()->currentIndex(), 1);
  }

  void rowsFromTheNumberListSwitchTheKanaListToNumbers() {
    PopulateThree();
    SelectNumbers(View().Lists().NumberList(), {"0005"});
    View().Clipboard().OnEditCopy();
    View().Lists().OnKanaOrder();
    View().Clipboard().OnEditPaste();
    QCOMPARE(View().Lists().Mode(), NumberOrder);
    QCOMPARE(SelectedNumbers(View().Lists().NumberList()), (QStringList{"0002"}));
  }

  void rowsFromAnotherTabBringThatTabIntoView() {
    PopulateThree();
    View().Lists().OnKanaOrder();
    View().Lists().TabStrip()->setCurrentIndex(2);  // さ
    SelectNumbers(View().Lists().KanaList(), {"0005"});
    View().Clipboard().OnEditCopy();
    View().Lists().TabStrip()->setCurrentIndex(0);
    View().Clipboard().OnEditPaste();
    QCOMPARE(View().Lists().Mode(), KanaOrder);
    QCOMPARE(View().Lists().TabStrip()->currentIndex(), 2);
    QCOMPARE(Column(View().Lists().KanaList(), 0).size(), 2);
    QCOMPARE(SelectedNumbers(View().Lists().KanaList()), (QStringList{"0002"}));
  }

  void cutCopiesDeletesAndKeepsTheClipboard() {
    PopulateThree();
    SelectNumbers(View().Lists().NumberList(), {"0003"});
    View().Clipboard().OnEditCut();
    QCOMPARE(Column(View().Lists().NumberList(), 0), (QStringList{"0001", "0005"}));
    QVERIFY(SelectedNumbers(View().Lists().NumberList()).isEmpty());
    QVERIFY(m_doc->IsModified());
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral(",QV PhoneBook,,11,0\r\n0003,N3,ｶﾄｳ,0123,,,1\r\n"));
    View().Clipboard().OnEditPaste();
    QCOMPARE(Stored(3).reading, Kana::KaTou);
  }

  void unicodeTextComesBackAsCodePage932WithLookAlikes() {
    // Line ends as a Linux editor writes them, and the wave dash an input method types.
    QApplication::clipboard()->setText(
        QStringLiteral(",QV PhoneBook,,11,0\n0007,山\u301C田,ﾔﾏﾀﾞ,0312,,,2\n0008,x\u00A0y,,1\n"));
    View().Clipboard().OnEditPaste();
    QCOMPARE(Stored(7).name, std::string("\x8e\x52\x81\x60\x93\x63"));
    QCOMPARE(Stored(7).reading, Kana::YaMaDa);
    QCOMPARE(Stored(7).group, 2);
    QCOMPARE(m_doc->Store().EntryCount(), 2);
  }

  void pasteIsEnabledWhileTheClipboardHoldsText() {
    CommandState state;
    QVERIFY(View().OnUpdateCommand(ID_EDIT_PASTE, state));
    QVERIFY(!state.enabled);
    QSignalSpy changed(&View(), &CUtilityView::commandStateChanged);
    QApplication::clipboard()->setText(QStringLiteral("anything"));
    QVERIFY(changed.count() >= 1 || changed.wait(1000));
    QVERIFY(View().OnUpdateCommand(ID_EDIT_PASTE, state));
    QVERIFY(state.enabled);
  }
};

QTEST_MAIN(ClipboardViewTest)
#include "ClipboardViewTest.moc"

// The search field above the list, typed into as a user would: what it finds (hiragana,
// katakana of both widths, names, phone digits with or without separators), the kana tabs
// and the count during a search, Esc, text that arrives otherwise than by keys, and the
// commands acting on the rows it shows.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>

#include "support/EditorFixture.h"
#include "strings/StringIds.h"
#include "ui/QtText.h"
#include "view/FindBar.h"

namespace {

PhonebookEntry Entry(int number, const char* name, const std::string& reading, const char* phone1,
                     const char* phone2 = "") {
  PhonebookEntry entry = MakeEntry(number, reading);
  entry.name = ToCp932(QString::fromUtf8(name));
  entry.phone1 = phone1;
  entry.phone2 = phone2;
  return entry;
}

const std::string kSaTou = Kana::SaTou;
const std::vector<PhonebookEntry> kEntries = {
    Entry(1, "山田", Kana::YaMaDa, "0312345678"), Entry(2, "ヤマモト", "\xD4\xCF\xD3\xC4", "09011112222"),
    Entry(3, "Sato", kSaTou, "", "0451234567"),  Entry(4, "佐藤", kSaTou, "0120"),
    Entry(5, "ABC", "ABC", "*#123P45")};

}  // namespace

class FindViewTest : public EditorTest<> {
  Q_OBJECT

 private:
  void Search(const QString& text) {
    m_view->Find().OnEditFind();
    QLineEdit* field = m_view->Find().FindBar()->Field();
    QVERIFY(m_view->Find().FindBar()->isVisible());
    field->clear();
    TypeText(field, text);
  }
  QString Summary(int count) { return Text(IDS_FIND_MATCHES).arg(count); }

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook(kEntries);
  }
  void cleanup() { TearDownEditor(); }

  void findsByReadingNameAndPhone_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("hiragana") << "やま" << QStringList{"0001", "0002"};
    QTest::newRow("voiced hiragana") << "やまだ" << QStringList{"0001"};
    QTest::newRow("full-width katakana") << "サトウ" << QStringList{"0003", "0004"};
    QTest::newRow("half-width katakana") << "ﾔﾏﾓ" << QStringList{"0002"};
    QTest::newRow("name") << "山田" << QStringList{"0001"};
    QTest::newRow("name in another case") << "sATO" << QStringList{"0003"};
    QTest::newRow("letters in names and readings") << "ａｂ" << QStringList{"0005"};
    QTest::newRow("digits with separators") << "03-1234" << QStringList{"0001"};
    QTest::newRow("second phone") << "(045) 123" << QStringList{"0003"};
    QTest::newRow("full-width digits") << "３４５６" << QStringList{"0001", "0003"};
    QTest::newRow("pause and marks") << "#123p" << QStringList{"0005"};
    QTest::newRow("nothing") << "田中" << QStringList{};
  }
  void findsByReadingNameAndPhone() {
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    Search(typed);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), found);
    QCOMPARE(m_view->Find().FindBar()->Summary(),
             found.isEmpty() ? Text(IDS_FIND_NO_MATCH) : Summary(found.size()));
    // Esc shows every row again.
    QTest::keyClick(m_view->Find().FindBar()->Field(), Qt::Key_Escape);
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 5);
    QVERIFY(!m_view->Find().FindBar()->isVisible() && !m_view->Find().IsFinding());
  }

  void kanaTabsShowWhereTheMatchesAre() {
    Search("やま");
    m_view->Lists().OnKanaOrder();  // あ has none: や is the first with one
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 7);
    Search("さと");
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 2);
    QCOMPARE(Column(m_view->Lists().KanaList(), 0), (QStringList{"0003", "0004"}));
    QCOMPARE(m_view->Lists().TabStrip()->tabToolTip(0), Text(IDS_FIND_NO_MATCH));
    QCOMPARE(m_view->Lists().TabStrip()->tabToolTip(2), QString());
    Search("0");  // every phone but ABC's holds a 0: や has two, さ keeps its tab
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 2);
    QCOMPARE(m_view->Find().FindSummary(), Summary(4));
    QCOMPARE(m_view->Lists().TabStrip()->tabToolTip(7), QString());
    // Emptying the field shows every row of the tab and clears the marks.
    m_view->Find().FindBar()->Field()->selectAll();
    QTest::keyClick(m_view->Find().FindBar()->Field(), Qt::Key_Backspace);
    QVERIFY(m_view->Find().FindBar()->isVisible() && m_view->Find().FindSummary().isEmpty());
    QCOMPARE(m_view->Lists().TabStrip()->tabToolTip(0), QString());
  }

  // Text that arrives in one piece (set by a screen reader, an input method's commit, a
  // paste through the context menu) filters as typed text does, once each.
  void filtersOnEveryChangeOfTheText() {
    m_view->Find().OnEditFind();
    QLineEdit* field = m_view->Find().FindBar()->Field();
    QSignalSpy refills(&m_view->Lists(), &CPhonebookLists::refilled);
    field->setText("やま");
    QInputMethodEvent commit;
    commit.setCommitString("だ");
    QCoreApplication::sendEvent(field, &commit);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), QStringList{"0001"});
    field->selectAll();
    QGuiApplication::clipboard()->setText("さと");
    std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
    const QString pasteKey = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction* action : menu->actions())
      if (action->text().endsWith(pasteKey)) action->trigger();
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0003", "0004"}));
    QCOMPARE(refills.count(), 3);
  }

  void commandsActOnTheRowsShown() {
    Search("やま");
    SelectRows(m_view->Lists().NumberList(), {0});
    m_prompts->answers = {PromptAnswer::Ok, PromptAnswer::Ok};
    m_view->Entries().OnDeleteEntry();
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0002"}));
    QCOMPARE(m_view->Find().FindSummary(), Summary(1));
    m_view->Entries().OnDeleteAll();  // the rows the search shows, not the phonebook
    QCOMPARE(Numbers(m_doc->Store()), (QList<int>{3, 4, 5}));
    QCOMPARE(m_view->Find().FindSummary(), Text(IDS_FIND_NO_MATCH));
    // An entry the search would hide ends it, so the new row shows selected.
    m_prompts->dialogScripts.push_back(Fill({{FieldName, "Kato"}, {FieldReading, "KATO"}, {FieldPhone1, "1"}}));
    m_view->Entries().OnAddEntry();
    QVERIFY(!m_view->Find().IsFinding());
    QCOMPARE(m_view->Lists().NumberList()->Model()->ItemBytes(m_view->Lists().NumberList()->currentIndex().row(), 0),
             std::string("0001"));
  }
};

QTEST_MAIN(FindViewTest)
#include "FindViewTest.moc"

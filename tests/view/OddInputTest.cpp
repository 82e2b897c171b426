// The editor under odd input: control characters typed, pasted or read from files, bytes
// that no character of code page 932 stands for, and clipboard text that is not quite
// this program's. Real widgets, the real (offscreen) clipboard and real files.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <fstream>

#include "strings/StringIds.h"
#include "doc/DocumentExchange.h"
#include "support/EditorFixture.h"
#include "ui/QtText.h"
#include "view/InputDataDialog.h"

namespace {

// Confirms the entry dialog with OK after `change`.
FakePrompts::DialogScript ConfirmAfter(std::function<void(CInputDataDialog&)> change) {
  return [change](QDialog& dialog) {
    auto& entry = static_cast<CInputDataDialog&>(dialog);
    change(entry);
    entry.OkButton()->click();
    return entry.result();
  };
}

// Rows 101..112, the third with a 1A in its name.
std::string TwelveRows() {
  std::string rows;
  for (int n = 101; n <= 112; ++n)
    rows += std::to_string(n) + (n == 103 ? ",\xB1\x1A\xB2" : ",r") + ",\xB1,1\r\n";
  return rows;
}

}  // namespace

class OddInputTest : public EditorTest<> {
  Q_OBJECT

 private:
  QTemporaryDir m_folder;

  QString WriteFile(const QString& name, const std::string& bytes) {
    const QString path = m_folder.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
  }

  void SetClipboard(const std::string& cp932) { QApplication::clipboard()->setText(FromCp932(cp932)); }

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook();
    QApplication::clipboard()->clear();
  }
  void cleanup() { TearDownEditor(); }

  // No control character enters a name: pasted into the entry dialog, on clipboard rows,
  // in a document opened or a file imported, a tab or line break becomes a space and any
  // other is dropped; no row is cut at one, and the import tells of a row it could not read.
  void controlCharactersNeverEnterAnEntry() {
    QApplication::clipboard()->setText(QString::fromUtf8("ｱ\x1Aｲ\tｳ\x7F"));
    m_prompts->dialogScripts.push_back(ConfirmAfter([](CInputDataDialog& dialog) {
      dialog.Field(FieldName)->paste();
      QCOMPARE(dialog.Field(FieldName)->text(), QString::fromUtf8("ｱｲ ｳ"));
      TypeText(dialog.Field(FieldReading), QStringLiteral("ｱ"));
      TypeText(dialog.Field(FieldPhone1), QStringLiteral("0311"));
    }));
    m_view->Entries().OnAddEntry();
    QCOMPARE(Stored(1).name, std::string("\xB1\xB2 \xB3"));

    SetClipboard(",QV PhoneBook,,11,0\r\n0002,x\x1By\tz,\xB1,0312,,,2\r\n");
    m_view->Clipboard().OnEditPaste();
    QCOMPARE(Stored(2), (PhonebookEntry{2, "xy z", "\xB1", "0312", "", "", 2}));

    CUtilityDoc opened(*m_environment);  // a document saved with the byte still opens
    QVERIFY(opened.OnOpenDocument(WriteFile(QStringLiteral("saved.csv"), TwelveRows())));
    QCOMPARE(StoredEntry(opened, 103).name, std::string("\xB1\xB2"));

    // Every row past the byte comes in; blank lines and a line of end marks are no rows.
    m_prompts->openAnswer = {WriteFile(QStringLiteral("in.csv"), TwelveRows() + "\r\nabc,x\r\n\x1A")};
    m_prompts->answers = {PromptAnswer::Ok};
    m_doc->Exchange().OnFileImport();
    QCOMPARE(m_doc->Store().EntryCount(), 14);
    QCOMPARE(Stored(103).name, std::string("\xB1\xB2"));
    QCOMPARE(m_prompts->Last().text, Text(IDS_IMPORT_DONE) + "\r\n\r\n" + Text(IDS_IMPORT_ROWS_NOT_READ).arg(1));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
  }

  // Bytes without a character (80, A0, FD, the pair 81 7F) travel unchanged through the
  // clipboard into another phonebook, and stay through the entry dialog: only a field
  // the user changed is written from its text.
  void bytesWithoutACharacterSurvive() {
    PhonebookEntry odd = MakeEntry(1, Kana::A);
    odd.name = "\x80" "a\xA0" "b\xFD" "c\x81\x7F" "d";
    Populate({odd});
    m_view->Lists().CurrentList()->SelectRow(0);
    m_view->Clipboard().OnEditCopy();
    Phonebook other(*m_environment);
    other.view->Clipboard().OnEditPaste();
    QCOMPARE(other.Stored(1), odd);

    m_prompts->dialogScripts.push_back(ConfirmAfter([](CInputDataDialog&) {}));
    m_prompts->dialogScripts.push_back(ConfirmAfter([](CInputDataDialog& dialog) {
      dialog.Field(FieldPhone2)->setText(QStringLiteral("0999"));
    }));
    m_view->Entries().OnEditEntry();
    QCOMPARE(Stored(1), odd);
    m_view->Entries().OnEditEntry();
    odd.phone2 = "0999";
    QCOMPARE(Stored(1), odd);
    QVERIFY(m_prompts->messages.empty());
  }

  // Clipboard rows come in whole or not at all: a NUL cuts no row, refused rows are
  // counted and told, a header out of range is refused, and the kana list shows the tab
  // of the first pasted row.
  void clipboardRowsAreWholeOrSkippedAndTold() {
    SetClipboard(",QV PhoneBook,,-1,0\r\n0002,x,\xB1,1,,,1\r\n");
    m_view->Clipboard().OnEditPaste();
    QCOMPARE(m_prompts->Last().caption, Text(IDS_PASTE_REFUSED_CAPTION));

    m_view->Lists().OnKanaOrder();
    m_view->Lists().TabStrip()->setCurrentIndex(2);  // さ
    m_prompts->Clear();
    SetClipboard(std::string(",QV PhoneBook,,0,1\r\n0002,\x91\x4F\0\x8C\xE3,\xCF\xB4,0311,,,3\r\n"
                             "abc,x,\xB1,1\r\n\r\n1001,y,\xB1,2\r\n0003,z,\xB6,0313\r\n", 84));
    m_view->Clipboard().OnEditPaste();
    QCOMPARE(Stored(2), (PhonebookEntry{2, "\x91\x4F\x8C\xE3", "\xCF\xB4", "0311", "", "", 3}));  // 前後 ﾏｴ
    QCOMPARE(Stored(3).name, std::string("z"));
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_prompts->Last().caption, Text(IDS_PASTE_SKIPPED_CAPTION));
    QCOMPARE(m_prompts->Last().text, Text(IDS_PASTE_ROWS_SKIPPED).arg(2));
    QCOMPARE(m_view->Lists().TabStrip()->currentIndex(), 6);  // ま, the first pasted row's
    QCOMPARE(Column(m_view->Lists().KanaList(), 0), QStringList{"0002"});
    QCOMPARE(m_view->Lists().CurrentList()->SelectedCount(), 1);
  }
};

QTEST_MAIN(OddInputTest)
#include "OddInputTest.moc"

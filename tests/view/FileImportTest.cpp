// The import command of a phonebook window, driven as a user would: the file dialog, the
// confirmation, the duplicate dialog and the closing messages, on real files.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

#include "ui/CommandIds.h"
#include "ui/CommandTable.h"
#include "ui/MenuResources.h"
#include "ui/QtText.h"
#include "doc/DocumentExchange.h"
#include "doc/UtilityDoc.h"
#include "files/ui/ImportSelectDialog.h"
#include "strings/StringIds.h"
#include "support/EditorFixture.h"
#include "view/UtilityView.h"

namespace {

const QString kConfirmCaption = QStringLiteral("インポートの確認");
const QString kDoneCaption = QStringLiteral("インポートの終了");
const QString kDoneText = QStringLiteral("CSV ファイルのインポートが終了しました。");
const QString kLimitCaption = QStringLiteral("データの登録");
const QString kOpenFailedCaption = QStringLiteral("インポートファイルのオープン");

// Answers the duplicate dialog: picks a method, ticks the check box when asked, clicks OK.
FakePrompts::DialogScript Answer(int methodControl, bool forTheRest = false,
                                 QStringList* shownNumbers = nullptr) {
  return [=](QDialog& dialog) {
    if (shownNumbers)
      *shownNumbers << dialog.findChild<QLineEdit*>(QStringLiteral("1007"))->text();
    dialog.findChild<QRadioButton*>(QString::number(methodControl))->click();
    if (forTheRest) dialog.findChild<QCheckBox*>(QStringLiteral("1059"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
    return dialog.result();
  };
}

}  // namespace

class FileImportTest : public EditorTest<> {
  Q_OBJECT

 private:
  QTemporaryDir m_folder;

  // Writes `bytes` to a file of the scratch folder and has the file dialog choose it.
  QString Choose(const QString& name, const std::string& bytes) {
    const QString path = m_folder.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    m_prompts->openAnswer = {path};
    return path;
  }

  std::string NameOf(int number) { return Stored(number).name; }

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook({MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka)});
  }
  void cleanup() { TearDownEditor(); }

  void fileMenuCarriesTheImportCommand() {
    const PopupDef& file = MenuResource(IDR_PHONEBOOK).front();
    const auto item = std::find(file.items.begin(), file.items.end(), int(ID_FILE_IMPORT));
    QVERIFY(item != file.items.end());
    QCOMPARE(QString::fromUtf8(CommandOf(*item).text), QStringLiteral("インポート..."));
    QCOMPARE(PromptText(ID_FILE_IMPORT), QStringLiteral("CSV ファイルをリストへインポート"));
    CommandState state;
    QVERIFY(m_doc->Commands().OnUpdateCommand(ID_FILE_IMPORT, state));
    QVERIFY(state.enabled);
  }

  void cancellingTheFileDialogOrTheConfirmationDoesNothing() {
    m_doc->Exchange().OnFileImport();
    QCOMPARE(m_prompts->fileDialogs.size(), size_t(1));
    QCOMPARE(m_prompts->fileDialogs.back().filters,
             (QStringList{"CSV・vCard ファイル (*.csv *.vcf)", "CSV ファイル (*.csv)",
                          "vCard ファイル (*.vcf)"}));
    QVERIFY(m_prompts->messages.empty());

    Choose(QStringLiteral("rows.csv"), "0003,x,,1\r\n");
    m_doc->Exchange().OnFileImport();  // the confirmation answers with its default button, Cancel
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    const MessageRequest& confirm = m_prompts->Last();
    QCOMPARE(confirm.caption, kConfirmCaption);
    QCOMPARE(confirm.text, QStringLiteral("rows.csv\r\nをインポートします。\r\n\r\nよろしいですか？"));
    QCOMPARE(confirm.icon, MessageIcon::Question);
    QCOMPARE(confirm.buttons, PromptButtons::OkCancel);
    QCOMPARE(confirm.defaultButton, PromptAnswer::Cancel);
    QCOMPARE(m_doc->Store().EntryCount(), 2);
    QVERIFY(!m_doc->IsModified());
  }

  void duplicatesAreAskedUntilTheContinueFlagIsTicked() {
    Choose(QStringLiteral("rows.csv"),
           "0001,over,,1\r\n,free,,2\r\n0002,twice,,3\r\n0003,new,,4\r\n0002,again,,5\r\n");
    m_prompts->answers = {PromptAnswer::Ok};
    QStringList asked;
    m_prompts->dialogScripts = {Answer(1056, false, &asked), Answer(1057, true, &asked)};
    m_doc->Exchange().OnFileImport();

    QCOMPARE(asked, (QStringList{"0001", "0002"}));
    QCOMPARE(NameOf(1), std::string("over"));
    QCOMPARE(NameOf(3), std::string("new"));
    QCOMPARE(NameOf(4), std::string("twice"));  // under another number, end of pass 1
    QCOMPARE(NameOf(5), std::string("again"));
    QCOMPARE(NameOf(6), std::string("free"));   // pass 2
    QCOMPARE(m_prompts->Last().caption, kDoneCaption);
    QCOMPARE(m_prompts->Last().text, kDoneText);
    QCOMPARE(m_prompts->Last().owner, static_cast<QWidget*>(nullptr));
    QVERIFY(m_doc->IsModified());
    QCOMPARE(m_view->Lists().NumberList()->model()->rowCount(), 6);
  }

  // ... and says that its rows could not be read.
  void tabSeparatedFileAddsNothingButStillEnds() {
    Choose(QStringLiteral("tabbed.csv"), "0003\tx\t\t1\r\n\ty\t\t1\r\n");
    m_prompts->answers = {PromptAnswer::Ok};
    m_doc->Exchange().OnFileImport();
    QCOMPARE(m_doc->Store().EntryCount(), 2);
    QCOMPARE(m_prompts->Last().text, kDoneText + "\r\n\r\n" + Text(IDS_IMPORT_ROWS_NOT_READ).arg(2));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    QVERIFY(m_doc->IsModified());
  }

  void missingFileIsReportedAndChangesNothing() {
    m_prompts->openAnswer = {m_folder.filePath(QStringLiteral("gone.csv"))};
    m_prompts->answers = {PromptAnswer::Ok};
    m_doc->Exchange().OnFileImport();
    QCOMPARE(m_prompts->Last().caption, kOpenFailedCaption);
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Error);
    QVERIFY(!m_doc->IsModified());
  }

  void fullPhonebookEndsWithTheLimitMessage() {
    {
      CDbPhoneCtrl::Batch batch(m_doc->Store());
      for (int n = 3; n <= 1000; ++n) QCOMPARE(m_doc->Store().AddEntry(MakeEntry(n, Kana::A)), StoreResult::Ok);
      QCOMPARE(batch.Commit(), StoreResult::Ok);
    }
    Choose(QStringLiteral("rows.csv"), "0001,x,,1\r\n");
    m_prompts->answers = {PromptAnswer::Ok};
    m_prompts->dialogScripts = {Answer(1057)};
    m_doc->Exchange().OnFileImport();
    QCOMPARE(m_prompts->Last().caption, kLimitCaption);
    QVERIFY(m_prompts->Last().text.endsWith(QStringLiteral("インポートを終了します。")));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    for (const MessageRequest& message : m_prompts->messages) QVERIFY(message.text != kDoneText);
    QVERIFY(m_doc->IsModified());
  }
};

QTEST_MAIN(FileImportTest)
#include "FileImportTest.moc"

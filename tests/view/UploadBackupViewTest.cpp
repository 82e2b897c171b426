// An upload from the editor with the handset's phonebook backed up first, against the
// emulator: the preview of the changes, what cancelling there and each failure leave on
// the handset and in the backups, the restore from a backup, and the setting that turns it
// all off.
#include <QLabel>
#include <QTreeWidget>

#include "backup/HandsetBackups.h"
#include "backup/ui/BackupListDialog.h"
#include "backup/ui/BackupSettings.h"
#include "strings/StringIds.h"
#include "support/PreviewAnswers.h"
#include "ui/CommandIds.h"
#include "view/TransferTestSupport.h"
#include "doc/DocumentTransfer.h"
#include "view/UtilityView.h"

namespace {

const std::vector<PhonebookEntry> kHandsetEntries = {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka),
                                                     MakeEntry(3, Kana::SaTou)};
// The first entry as it is, the second in another group, the third gone.
const std::vector<PhonebookEntry> kLocalEntries = {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka, 4)};

QByteArray Bytes(const PhonebookImage& image) {
  return QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()));
}

}  // namespace

class UploadBackupViewTest : public EditorTest<WatchingPrompts> {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> m_fixture;

  std::vector<BackupInfo> Backups() const { return ListBackups(EditorBackupFolder()); }

 private slots:
  void init() {
    m_fixture = std::make_unique<TransferFixture>();
    SetUpEditor();
    CDocumentTransfer::SetTransferTimingForNewDocuments(EditorQuickTiming());
  }
  void cleanup() {
    TearDownEditor();
    m_fixture.reset();
  }

  // The preview counts by memory number; the handset is written only when the user agrees,
  // and its phonebook is kept as a backup either way.
  void thePreviewDecides_data() {
    QTest::addColumn<bool>("upload");
    QTest::newRow("アップロード") << true;
    QTest::newRow("キャンセル") << false;
  }
  void thePreviewDecides() {
    QFETCH(bool, upload);
    m_fixture->StartHandset(kHandsetEntries);
    OpenPhonebook(kLocalEntries, false);
    QString summary;
    m_prompts->dialogScripts.push_back(AnswerPreview(upload, [&](CUploadPreviewDialog& preview) {
      summary = preview.Summary()->text();
      QCOMPARE(m_prompts->messages.size(), std::size_t(0));  // no other question before it
    }));

    m_view->Transfers().OnUpload();

    QVERIFY(summary.contains(QStringLiteral("端末の電話帳（3件）")));
    QVERIFY(summary.contains(QStringLiteral("変更するデータ ：1件\n削除するデータ ：1件\n変更のないデータ ：1件")));
    QCOMPARE(m_prompts->Captions(), upload ? QStringList{Text(IDS_UPLOAD_DONE_CAPTION)} : QStringList{});
    QCOMPARE(m_fixture->Uploaded(), upload ? Bytes(TransferFixture::ImageOf(kLocalEntries)) : QByteArray());
    QCOMPARE(m_fixture->HandsetLog().contains(QStringLiteral("upload")), upload);
    const std::vector<BackupInfo> backups = Backups();
    QCOMPARE(backups.size(), std::size_t(1));
    QCOMPARE(backups[0].entries, 3);
  }

  // A failure while the backup is taken sends nothing; one in the upload's own session
  // names the backup that holds the handset's phonebook.
  void failuresSayWhatTheHandsetHolds_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("inUpload");
    QTest::newRow("download half") << QStringList{"--reject", "3"} << false;
    QTest::newRow("upload half") << QStringList{"--block-size", "4096", "--reject", "60"} << true;
  }
  void failuresSayWhatTheHandsetHolds() {
    QFETCH(QStringList, options);
    QFETCH(bool, inUpload);
    std::vector<std::string> handsetOptions;
    for (const QString& option : options) handsetOptions.push_back(option.toStdString());
    m_fixture->StartHandset(kHandsetEntries, handsetOptions);
    OpenPhonebook(kLocalEntries, false);
    m_prompts->dialogScripts.push_back(AnswerPreview(true));

    m_view->Transfers().OnUpload();

    QCOMPARE(int(m_prompts->messages.size()), 1);
    const std::vector<BackupInfo> backups = Backups();
    QCOMPARE(backups.size(), std::size_t(inUpload ? 1 : 0));
    const QString expected = inUpload ? Text(IDS_UPLOAD_FAILED) + "\r\n\r\n" + Text(IDS_HANDSET_PHONEBOOK_AT_RISK) +
                                            "\r\n\r\n" + Text(IDS_BACKUP_HOLDS_PHONEBOOK).arg(backups[0].name.c_str())
                                      : Text(IDS_DOWNLOAD_FAILED) + "\r\n\r\n" + Text(IDS_BACKUP_NOT_TAKEN_NOTE);
    QCOMPARE(m_prompts->Last().text, expected);
    QCOMPARE(m_fixture->HandsetLog().contains(QStringLiteral("upload")), inUpload);
    QVERIFY(m_fixture->Uploaded().isEmpty());
  }

  // 端末のバックアップから復元: the list shows each backup; 開く opens it in a window.
  void restoreOpensABackup() {
    std::tm when{};
    when.tm_year = 125, when.tm_mon = 2, when.tm_mday = 14, when.tm_hour = 9;
    QCOMPARE(WriteBackup(EditorBackupFolder(), TransferFixture::ImageOf(kHandsetEntries), "/dev/ttyUSB0", when).status,
             BackupWriteResult::Ok);
    QVERIFY(StartApp());
    QStringList row;
    m_prompts->dialogScripts.push_back([&](QDialog& dialog) {
      auto& list = static_cast<CBackupListDialog&>(dialog);
      for (int column = 0; column < 4; ++column) row << list.List()->topLevelItem(0)->text(column);
      list.OpenButton()->click();
      return list.result();
    });
    QVERIFY(Frame()->ExecuteCommand(ID_RESTORE_BACKUP));
    QCOMPARE(row, (QStringList{"2025/03/14 09:00:00", "3件", "ttyUSB0", "20250314-090000_ttyUSB0.csv"}));
    CUtilityDoc* opened = Frame()->ActiveChild()->GetDocument();
    QCOMPARE(opened->GetTitle(), QStringLiteral("20250314-090000_ttyUSB0.csv"));
    QCOMPARE(Numbers(opened->Store()), QList<int>({1, 2, 3}));
  }

  // The 通信 menu's check mark turns the backup and preview off (the plain confirmation
  // then asks), and the choice is kept for the next run.
  void theSettingIsKept() {
    QVERIFY(StartApp());
    QVERIFY(Frame()->QueryCommand(ID_BACKUP_BEFORE_UPLOAD).checked);
    QVERIFY(Frame()->ExecuteCommand(ID_BACKUP_BEFORE_UPLOAD));
    QVERIFY(!Frame()->QueryCommand(ID_BACKUP_BEFORE_UPLOAD).checked);
    QVERIFY(!BackupBeforeUpload());
    QVERIFY(SetBackupBeforeUpload(true));
    QVERIFY(Frame()->QueryCommand(ID_BACKUP_BEFORE_UPLOAD).checked);
  }
};

QTEST_MAIN(UploadBackupViewTest)
#include "UploadBackupViewTest.moc"

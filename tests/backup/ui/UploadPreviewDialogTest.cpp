// The upload's preview dialog: its counts and lists, and the button Enter presses (Cancel
// when most of the handset's entries would go); and the backup folder the editor finds
// through Qt, which must be the one the command line computes.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "backup/HandsetBackups.h"
#include "backup/ui/BackupSettings.h"
#include "backup/ui/UploadPreviewDialog.h"

namespace {

PhonebookEntry Entry(int number, const char* name, int group = 1) {
  return PhonebookEntry{number, name, "\xB1", "0123", "", "", group};
}

QString Shown(const std::string& path) { return QDir::cleanPath(QDir::fromNativeSeparators(QFile::decodeName(path.c_str()))); }

}  // namespace

class UploadPreviewDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheChangesAndDefaultsToCancelWhenMostEntriesGo_data() {
    QTest::addColumn<int>("kept");  // of the handset's four entries
    QTest::addColumn<bool>("cancelByDefault");
    QTest::newRow("half removed: upload by default") << 2 << false;
    QTest::newRow("three of four removed: cancel by default") << 1 << true;
  }
  void showsTheChangesAndDefaultsToCancelWhenMostEntriesGo() {
    QFETCH(int, kept);
    QFETCH(bool, cancelByDefault);
    const std::vector<PhonebookEntry> handset = {Entry(1, "A"), Entry(2, "B"), Entry(3, "C"), Entry(4, "D")};
    std::vector<PhonebookEntry> upload(handset.begin(), handset.begin() + kept);
    upload[0].group = 5;
    upload.push_back(Entry(9, "New"));
    CUploadPreviewDialog dialog(ComparePhonebooks(handset, upload), QStringLiteral("20250314-093012_tty.csv"));
    dialog.show();

    QCOMPARE(dialog.List(0)->topLevelItemCount(), 1);
    QCOMPARE(dialog.List(0)->topLevelItem(0)->text(1), QStringLiteral("New"));
    QCOMPARE(dialog.List(1)->topLevelItemCount(), 1);
    QCOMPARE(dialog.List(1)->topLevelItem(0)->text(2), QStringLiteral("グループ"));
    QCOMPARE(dialog.List(1)->topLevelItem(0)->text(4), QStringLiteral("5"));
    QCOMPARE(dialog.List(2)->topLevelItemCount(), 4 - kept);
    QVERIFY(dialog.Summary()->text().contains(QStringLiteral("削除するデータ ：%1件").arg(4 - kept)));
    QCOMPARE(dialog.Warning() != nullptr, cancelByDefault);
    QCOMPARE(dialog.Tabs()->currentIndex(), cancelByDefault ? 2 : 0);
    QCOMPARE(dialog.CancelButton()->isDefault(), cancelByDefault);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.result(), cancelByDefault ? int(QDialog::Rejected) : int(QDialog::Accepted));
  }

  // Qt's application data folder and the command line's, however the user's folders are set.
  void editorAndCommandLineAgreeOnTheBackupFolder() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kDataFolderName));
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    for (const QByteArray& setting : {QByteArray("/somewhere/data"), QByteArray("relative/data"), QByteArray()}) {
      setting.isEmpty() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", setting);
      QVERIFY(!DefaultBackupFolder().empty());
      QCOMPARE(Shown(EditorBackupFolder()), Shown(DefaultBackupFolder()));
    }
    qputenv("XDG_DATA_HOME", data);
  }
};

QTEST_MAIN(UploadPreviewDialogTest)
#include "UploadPreviewDialogTest.moc"

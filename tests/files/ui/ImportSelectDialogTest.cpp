// The import's duplicate dialog driven as a user would: what it shows, how it opens, the
// answer it gives, and that nothing but OK closes it.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "files/ui/ImportSelectDialog.h"

namespace {

template <typename T>
T* Control(QWidget* dialog, int id) {
  return dialog->findChild<T*>(QString::number(id));
}

PhonebookEntry StoredEntry() {
  PhonebookEntry entry;
  entry.memoryNumber = 7;
  entry.name = "\x8e\x52\x93\x63";  // 山田
  entry.reading = "\xD4\xCF\xC0\xDE";
  entry.phone1 = "0312345678";
  entry.phone3 = "#1";
  return entry;
}

}  // namespace

class ImportSelectDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheRowBesideTheStoredEntry() {
    CImportSelectDialog dialog;
    // A row of three fields: phone numbers 2 and 3 are missing and show empty.
    dialog.SetDuplicate(7, {"0007", "\x89\xcd", "\xB6"}, StoredEntry());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("CSV ファイルのインポート"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1007)->text(), QStringLiteral("0007"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1041)->text(), QStringLiteral("河"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1042)->text(), QStringLiteral("ｶ"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1043)->text(), QString());
    QCOMPARE(Control<QLineEdit>(&dialog, 1062)->text(), QString());
    QCOMPARE(Control<QLineEdit>(&dialog, 1050)->text(), QStringLiteral("山田"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1051)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1052)->text(), QStringLiteral("0312345678"));
    QCOMPARE(Control<QLineEdit>(&dialog, 1061)->text(), QStringLiteral("#1"));
    QCOMPARE(Control<QLabel>(&dialog, 1030)->text(),
             QStringLiteral("リストに登録済みのデータとメモリ番号が重複しています。"));
    QCOMPARE(Control<QLabel>(&dialog, 1040)->text(), QStringLiteral("電話番号３ ："));
    QCOMPARE(Control<QLabel>(&dialog, 1060)->text(), QStringLiteral("電話番号３ ："));
    QCOMPARE(Control<QRadioButton>(&dialog, 1057)->text(),
             QStringLiteral("別のメモリ番号で登録する（追加登録）"));
    QCOMPARE(Control<QCheckBox>(&dialog, 1059)->text(),
             QStringLiteral("以降の処理を選択した登録方法で継続する"));
    for (int id : {1007, 1041, 1042, 1043, 1044, 1062, 1050, 1051, 1052, 1053, 1061}) {
      QVERIFY(Control<QLineEdit>(&dialog, id)->isReadOnly());
      QVERIFY(!Control<QLineEdit>(&dialog, id)->accessibleName().isEmpty());
    }
  }

  void answersWithTheChosenMethodAndContinueFlag() {
    CImportSelectDialog dialog;
    dialog.SetDuplicate(7, {"0007", "x"}, StoredEntry());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(Control<QRadioButton>(&dialog, 1057), Qt::LeftButton);
    QTest::mouseClick(Control<QCheckBox>(&dialog, 1059), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>(&dialog, 1), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.m_nMethod, 1);
    QCOMPARE(dialog.m_bContinue, 1);
  }

  void everyOpeningSelectsOverwriteAndClearsTheCheckBox() {
    CImportSelectDialog dialog;
    dialog.show();
    QTest::mouseClick(Control<QRadioButton>(&dialog, 1058), Qt::LeftButton);
    QTest::mouseClick(Control<QCheckBox>(&dialog, 1059), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.m_nMethod, 2);
    QCOMPARE(dialog.m_bContinue, 1);

    dialog.show();
    QVERIFY(Control<QRadioButton>(&dialog, 1056)->isChecked());
    QVERIFY(!Control<QCheckBox>(&dialog, 1059)->isChecked());
    QCOMPARE(dialog.m_nMethod, 0);
    QCOMPARE(dialog.m_bContinue, 0);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.m_nMethod, 0);
  }

  void onlyOkClosesTheDialog() {
    CImportSelectDialog dialog;
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!Control<QPushButton>(&dialog, 2)->isVisibleTo(&dialog));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    dialog.close();
    QVERIFY(dialog.isVisible());
    QTest::mouseClick(Control<QPushButton>(&dialog, 1), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(ImportSelectDialogTest)
#include "ImportSelectDialogTest.moc"

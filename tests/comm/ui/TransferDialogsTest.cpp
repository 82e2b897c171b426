// The transfer's dialogs and the pumped call on their own: the progress dialog's opening
// state, its keys and its percentage; the wake-up notice's texts and that it cannot be
// closed; a blocking step that leaves the event loop turning but drops user input.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <thread>

#include "comm/ui/ProgressDialog.h"
#include "ui/PumpedCall.h"
#include "comm/ui/WaitATOKDialog.h"

namespace {

// Runs the dialog modally with `action` done once it shows; a dialog the action left open
// is ended with result 0 (so a wrong behaviour fails the test instead of hanging it).
int RunWith(CProgressDialog& dialog, const std::function<void()>& action, bool* stayedOpen = nullptr) {
  QTimer::singleShot(0, &dialog, [&] {
    action();
    QTimer::singleShot(50, &dialog, [&] {
      if (stayedOpen) *stayedOpen = dialog.HasWindow();
      if (dialog.HasWindow()) dialog.EndDialog(0);
    });
  });
  return dialog.DoModal();
}

}  // namespace

class TransferDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void progressDialogOpensAtZeroWithItsTitle() {
    CProgressDialog dialog;
    dialog.m_strTitle = QStringLiteral("ダウンロード中...");
    QCOMPARE(dialog.PercentLabel()->text(), QStringLiteral("100%"));  // the template's text
    dialog.SetProgress(90000);  // left over from an earlier run
    QString label, title;
    int value = -1, maximum = -1;
    RunWith(dialog, [&] {
      label = dialog.PercentLabel()->text();
      title = dialog.windowTitle();
      value = dialog.Bar()->value();
      maximum = dialog.Bar()->maximum();
    });
    QCOMPARE(label, QStringLiteral("0%"));
    QCOMPARE(title, QStringLiteral("ダウンロード中..."));
    QCOMPARE(value, 0);
    QCOMPARE(maximum, 120000);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));
  }

  void progressShowsWholePercentNeverAboveHundred_data() {
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("bar");
    QTest::newRow("start") << 0 << "0%" << 0;
    QTest::newRow("just under one percent") << 1199 << "0%" << 1199;
    QTest::newRow("one percent") << 1200 << "1%" << 1200;
    QTest::newRow("half") << 60000 << "50%" << 60000;
    QTest::newRow("rounded down") << 119999 << "99%" << 119999;
    QTest::newRow("whole image") << 120000 << "100%" << 120000;
    // A download counts 1024 per block: 118 blocks pass the image's size.
    QTest::newRow("counted past the end") << 118 * 1024 << "100%" << 120000;
    QTest::newRow("small blocks count far past") << 240000 << "100%" << 120000;
  }
  void progressShowsWholePercentNeverAboveHundred() {
    QFETCH(int, bytes);
    QFETCH(QString, label);
    QFETCH(int, bar);
    CProgressDialog dialog;
    QString shown;
    int position = -1;
    RunWith(dialog, [&] {
      dialog.SetProgress(bytes);
      shown = dialog.PercentLabel()->text();
      position = dialog.Bar()->value();
    });
    QCOMPARE(shown, label);
    QCOMPARE(position, bar);
  }

  void enterIsIgnoredWhileEscAndAbortClose_data() {
    QTest::addColumn<int>("key");       // 0: click the button instead
    QTest::addColumn<bool>("stays");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
    QTest::newRow("中断 button") << 0 << false;
  }
  void enterIsIgnoredWhileEscAndAbortClose() {
    QFETCH(int, key);
    QFETCH(bool, stays);
    CProgressDialog dialog;
    bool stayedOpen = false;
    const int result = RunWith(dialog, [&] {
      if (key == 0) {
        dialog.AbortButton()->click();
      } else {
        dialog.AbortButton()->setFocus();
        QTest::keyClick(&dialog, static_cast<Qt::Key>(key));
      }
    }, &stayedOpen);
    QCOMPARE(stayedOpen, stays);
    QCOMPARE(result, stays ? 0 : int(QDialog::Rejected));
  }

  void waitNoticeShowsItsTextsAndCannotBeClosed() {
    CwaitATOKDialog notice;
    QVERIFY(notice.Create());
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.windowTitle(), QStringLiteral("通信準備中"));
    QCOMPARE(notice.Heading()->text(), QStringLiteral("通信準備中．．．"));
    QCOMPARE(notice.Advice()->text(), QStringLiteral("通信準備完了まで時間がかかる場合があります\n"
                                                     "通信準備中はUSBケーブルを抜かないで下さい"));
    // The box is as large as its texts need, with margins of a few lines' height.
    QVERIFY(notice.width() <= notice.Advice()->width() + 6 * notice.Advice()->fontMetrics().height());
    QVERIFY(!(notice.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(notice.findChildren<QPushButton*>().isEmpty());
    QVERIFY(!notice.close());
    QTest::keyClick(&notice, Qt::Key_Escape);
    QVERIFY(notice.isVisible());
  }

  void waitNoticeIsOnlyMadeFromItsTemplate() {
    CwaitATOKDialog notice(nullptr, 134);
    QVERIFY(!notice.Create());
    QVERIFY(!notice.isVisible());
  }

  // While a step blocks its worker, timers and posted events go on and typing is dropped;
  // afterwards typing works again.
  void pumpedStepKeepsTheLoopTurningAndDropsInput() {
    QLineEdit field;
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    bool posted = false;
    QTimer::singleShot(20, &field, [&] {
      posted = true;
      QTest::keyClicks(&field, "typed while waiting");
    });
    const int result = RunPumped([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      return 42;
    });
    QCOMPARE(result, 42);
    QVERIFY(ticks > 0);
    QVERIFY(posted);
    QCOMPARE(field.text(), QString());
    QTest::keyClicks(&field, "after");
    QCOMPARE(field.text(), QStringLiteral("after"));
  }

  // A modal window opened while a step runs (a message about another phonebook) must
  // still take input, or it could never be closed and the step never returned.
  void modalWindowOpenedDuringAStepTakesInput() {
    QString typed;
    QTimer::singleShot(20, [&] {
      QDialog message;
      auto* field = new QLineEdit(&message);
      QTimer::singleShot(20, &message, [&] {
        QTest::keyClicks(field, "ok");
        QTest::keyClick(&message, Qt::Key_Escape);
      });
      message.exec();
      typed = field->text();
    });
    RunPumped([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      return 0;
    });
    QCOMPARE(typed, QStringLiteral("ok"));
  }
};

QTEST_MAIN(TransferDialogsTest)
#include "TransferDialogsTest.moc"

// One download and one upload with the handset's real pacing (the other transfer tests
// shorten the pauses), the handset slow to wake: the wake-up notice is up and the event
// loop keeps turning while the handset wakes, and both transfers complete; the upload's
// backup download too, in a session of its own.
#include <QLabel>
#include <QTimer>

#include "support/PreviewAnswers.h"
#include "comm/ui/WaitATOKDialog.h"
#include "comm/ui/WaitNotice.h"
#include "strings/StringIds.h"
#include "view/TransferTestSupport.h"
#include "view/UtilityView.h"
#include "doc/DocumentTransfer.h"

namespace {

const std::vector<PhonebookEntry> kHandsetEntries = {MakeEntry(1, Kana::A), MakeEntry(20, Kana::N)};

}  // namespace

class TransferRealTimingTest : public QObject {
  Q_OBJECT

 private:
  TransferFixture m_fixture;
  std::unique_ptr<StoreEnvironment> m_environment = StoreEnvironment::CreatePrivate();
  WatchingPrompts m_prompts;

  // What the event loop did while the wake-up notice was up.
  struct NoticeWatch {
    int shown = 0;
    int hidden = 0;
    int ticksWhileShown = 0;
    bool textsShown = false;
  };

  // Runs `transfer`, watching the notice and a 10 ms timer. (How long the loop may stand
  // still is measured by the transfer stall benchmark.)
  NoticeWatch Run(CUtilityView& view, const std::function<void()>& transfer) {
    NoticeWatch watch;
    CWaitNotice& notice = view.Transfers().WaitNotice();
    connect(&notice, &CWaitNotice::noticeChanged, this, [&](bool shown) {
      (shown ? watch.shown : watch.hidden)++;
      if (shown && notice.Dialog())
        watch.textsShown = notice.Dialog()->isVisible() &&
                           notice.Dialog()->Heading()->text() == QStringLiteral("通信準備中．．．");
    });
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] {
      if (notice.Dialog()) ++watch.ticksWhileShown;
    });
    timer.start(10);
    transfer();
    return watch;
  }

 private slots:
  void initTestCase() {
    CDocumentTransfer::SetTransferTimingForNewDocuments(TransferTiming{});
    m_fixture.StartHandset(kHandsetEntries, {"--wake-delay", "1500"});
  }

  void downloadWithRealTiming() {
    CUtilityDoc doc(*m_environment);
    CUtilityView view(&doc);
    view.show();
    const NoticeWatch watch = Run(view, [&] { view.Transfers().OnDownload(); });
    QCOMPARE(m_prompts.Captions(), QStringList{Text(IDS_DOWNLOAD_DONE_CAPTION)});
    QCOMPARE(Numbers(doc.Store()), QList<int>({1, 2}));  // records in order: numbers 1 and 2
    QCOMPARE(watch.shown, 1);
    QCOMPARE(watch.hidden, 1);
    QVERIFY(watch.textsShown);
    QVERIFY(watch.ticksWhileShown > 0);
    QVERIFY(!view.Transfers().WaitNotice().Dialog());
  }

  void uploadWithRealTiming() {
    m_prompts.messages.clear();
    m_prompts.dialogScripts.push_back(AnswerPreview(true));
    CUtilityDoc doc(*m_environment);
    CUtilityView view(&doc);
    view.show();
    QCOMPARE(doc.Store().AddEntry(MakeEntry(300, Kana::KaTou)), StoreResult::Ok);
    view.OnUpdate();
    const NoticeWatch watch = Run(view, [&] { view.Transfers().OnUpload(); });
    QCOMPARE(m_prompts.Captions(), QStringList({Text(IDS_UPLOAD_DONE_CAPTION)}));
    QCOMPARE(m_prompts.dialogsRun, 1);  // the preview
    QCOMPARE(watch.shown, 2);           // the backup's session, then the upload's
    QVERIFY(watch.ticksWhileShown > 0);
    QVERIFY(m_fixture.HandsetLog().contains(QStringLiteral("upload complete: 120000 bytes in 118 blocks")));
    QVERIFY(m_fixture.HandsetLog().contains(QStringLiteral("restart")));
  }
};

QTEST_MAIN(TransferRealTimingTest)
#include "TransferRealTimingTest.moc"

// Transfers meeting the editor's windows: Download with no phonebook open, and closing a
// phonebook or the whole editor while its transfer runs.
#include <QAccessible>
#include <QFile>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

#include "app/ChildFrame.h"
#include "app/LinkTraceSetting.h"
#include "doc/DocumentTransfer.h"
#include "ui/CommandIds.h"
#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "comm/ui/WaitNotice.h"
#include "strings/StringIds.h"
#include "view/TransferRunner.h"
#include "view/TransferTestSupport.h"
#include "view/UtilityView.h"

namespace {

const std::vector<PhonebookEntry> kHandsetEntries = {MakeEntry(4, Kana::A), MakeEntry(5, Kana::Wo)};

// Presses ファイル → 閉じる as a screen reader does: the item's accessible press action,
// without opening the menu.
bool PressCloseAccessibly(QMenuBar* bar) {
  QAccessibleInterface* file = QAccessible::queryAccessibleInterface(bar->actions().first()->menu());
  for (int i = 0; i < file->childCount(); ++i) {
    QAccessibleInterface* item = file->child(i);
    if (!item->text(QAccessible::Name).startsWith(QStringLiteral("閉じる"))) continue;
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    return true;
  }
  return false;
}

}  // namespace

class TransferWindowsTest : public EditorTest<WatchingPrompts> {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> m_fixture;

  void Start() { QVERIFY(StartApp()); }

  // Once the active phonebook's progress dialog shows `bytes`, runs `action` (once).
  void WhenProgressReaches(int bytes, std::function<void(CProgressDialog&)> action) {
    ::WhenProgressReaches(Frame(), [this]() -> CProgressDialog* {
      CChildFrame* child = Frame()->ActiveChild();
      return child ? &child->GetView()->Transfers().ProgressDialog() : nullptr;
    }, bytes, std::move(action));
  }

  // Closes the one phonebook window and waits until it is gone.
  void ClosePhonebook() {
    QPointer<CChildFrame> child = Frame()->ActiveChild();
    QVERIFY(child);
    QVERIFY(child->close());
    QTRY_VERIFY(child.isNull());
  }

 private slots:
  void init() {
    m_fixture = std::make_unique<TransferFixture>();
    SetUpEditor();
    CDocumentTransfer::SetTransferTimingForNewDocuments(EditorQuickTiming(true));
  }
  void cleanup() {
    TearDownEditor();
    m_fixture.reset();
  }

  void downloadWithNoPhonebookOpenCreatesOne() {
    m_fixture->StartHandset(kHandsetEntries);
    Start();
    ClosePhonebook();
    QCOMPARE(Frame()->CurrentMenuId(), int(IDR_MAINFRAME));

    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));

    const QList<CChildFrame*> children = Frame()->Children();
    QCOMPARE(children.size(), 1);
    CUtilityDoc* doc = children.front()->GetDocument();
    QCOMPARE(doc->GetTitle(), QStringLiteral("電話帳2"));
    QCOMPARE(m_prompts->Captions(), QStringList{Text(IDS_DOWNLOAD_DONE_CAPTION)});  // no confirmation asked
    // The image keeps entries in order, not their numbers: records 1 and 2 come back.
    QCOMPARE(Numbers(doc->Store()), QList<int>({1, 2}));
    QVERIFY(doc->IsModified());
  }

  // After Abort the transfer may still be ending when its window closes: the close ends it
  // (the handset is told, the port closed) and nothing reports to the closed window.
  void closingAPhonebookEndsItsTransfer() {
    m_fixture->StartHandset(kHandsetEntries, {"--silent-after", "3"});
    Start();
    WhenProgressReaches(3072, [](CProgressDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));
    QVERIFY(Frame()->ActiveChild()->GetDocument()->Transfer().IsTransferBusy());
    QVERIFY(!Frame()->QueryCommand(ID_DOWNLOAD).enabled);

    ClosePhonebook();

    QTRY_VERIFY(m_fixture->HandsetLog().contains(QStringLiteral("end of link")));
    QTest::qWait(200);  // a late report would arrive now
    QVERIFY(m_prompts->messages.empty());
    QVERIFY(Frame()->ExecuteCommand(ID_FILE_NEW));  // the editor goes on
  }

  // The window can also go while the progress dialog is still up (the program closes it).
  void closingAPhonebookDuringItsProgressDialog() {
    m_fixture->StartHandset(kHandsetEntries);
    Start();
    QPointer<CChildFrame> child = Frame()->ActiveChild();
    WhenProgressReaches(2048, [child](CProgressDialog&) { child->close(); });

    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));

    QTRY_VERIFY(child.isNull());
    QTRY_VERIFY(m_fixture->HandsetLog().contains(QStringLiteral("end of link")));
    QVERIFY(m_prompts->messages.empty());
    QVERIFY(Frame()->Children().isEmpty());
  }

  // While the handset is woken (the notice up, the start running on a worker) no route
  // closes or changes the phonebook: a screen reader's ファイル → 閉じる, the command
  // router, the window's close, the exit. The silent emulator makes the start give up.
  void nothingClosesOrChangesThePhonebookWhileTheHandsetWakes() {
    m_fixture->StartHandset(kHandsetEntries, {"--silent-wake"});
    Start();
    QPointer<CChildFrame> child = Frame()->ActiveChild();
    bool tried = false;
    connect(&child->GetView()->Transfers().WaitNotice(), &CWaitNotice::noticeChanged, this, [&](bool shown) {
      if (!shown || tried) return;
      tried = true;
      QVERIFY(PressCloseAccessibly(Frame()->menuBar()));
      for (int id : {ID_FILE_CLOSE, ID_APP_EXIT, ID_DELETE_ALL, ID_FILE_SAVE, ID_ADD_ENTRY})
        QVERIFY(!Frame()->ExecuteCommand(id));
      QVERIFY(Frame()->QueryCommand(ID_FILE_NEW).enabled);  // other phonebooks are not held
      QVERIFY(!child->close());
      QCloseEvent closeMainWindow;  // as the editor's own exit asks it
      QCoreApplication::sendEvent(Frame(), &closeMainWindow);
      QVERIFY(!closeMainWindow.isAccepted());
      QTest::qWait(50);  // a deferred deletion would happen now
    });
    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));
    QVERIFY(tried && child);
    QCOMPARE(m_prompts->Captions(), QStringList{Text(IDS_NO_ANSWER_CAPTION)});
    QVERIFY(PressCloseAccessibly(Frame()->menuBar()));  // once the session has ended
    QTRY_VERIFY(child.isNull());
  }

  void exitingTheEditorEndsARunningTransfer() {
    m_fixture->StartHandset(kHandsetEntries, {"--silent-after", "3"});
    Start();
    WhenProgressReaches(3072, [](CProgressDialog& dialog) { dialog.AbortButton()->click(); });
    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));

    QVERIFY(Frame()->ExecuteCommand(ID_APP_EXIT));
    m_app->ExitInstance();
    m_app.reset();

    QVERIFY(m_fixture->HandsetLog().contains(QStringLiteral("end of link")));
    QVERIFY(m_prompts->messages.empty());
  }

  // 通信 → 通信ログを記録: off at first; on, it is kept for the next run and the editor's
  // transfers write their steps and both directions of the link to the trace file. A trace
  // file that cannot be written is told, and the transfer goes on.
  void linkTraceSettingIsKeptAndTracesTransfers() {
    m_fixture->StartHandset(kHandsetEntries);
    Start();
    QVERIFY(!Frame()->QueryCommand(ID_LINK_TRACE).checked);
    CDocumentTransfer::SetTraceFile(LinkTraceFilePath().toStdString() + "/no/such/folder/trace.txt");
    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));
    QCOMPARE(m_prompts->Captions(), QStringList({Text(IDS_APP_TITLE), Text(IDS_DOWNLOAD_DONE_CAPTION)}));
    QVERIFY(m_prompts->messages.front().text.contains(QStringLiteral("no/such/folder/trace.txt")));

    CDocumentTransfer::SetTraceFile({});
    m_prompts->messages.clear();
    m_prompts->answers = {PromptAnswer::Ok};  // download over the changed phonebook
    QVERIFY(Frame()->ExecuteCommand(ID_LINK_TRACE));
    QVERIFY(Frame()->QueryCommand(ID_LINK_TRACE).checked);
    QVERIFY(Frame()->ExecuteCommand(ID_DOWNLOAD));
    QCOMPARE(m_prompts->Captions(), QStringList({Text(IDS_CONFIRM_DOWNLOAD_CAPTION), Text(IDS_DOWNLOAD_DONE_CAPTION)}));
    QFile file(LinkTraceFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString trace = QString::fromUtf8(file.readAll());
    for (const char* part : {"step  wake the handset", " sent  41 54 0d ", " recv  ", "step  download: ok",
                             "step  port closed"})
      QVERIFY2(trace.contains(QLatin1String(part)), part);

    CCommandHandlers nextRun;  // what the next start of the editor reads
    CDocumentTransfer::SetTraceFile({});
    BindLinkTraceSetting(nextRun);
    QVERIFY(!CDocumentTransfer::TraceFile().empty());
    QVERIFY(nextRun.OnCommand(ID_LINK_TRACE));  // off again, and kept so
    CDocumentTransfer::SetTraceFile("unchanged");
    CCommandHandlers runAfter;
    BindLinkTraceSetting(runAfter);
    QVERIFY(CDocumentTransfer::TraceFile().empty());
  }
};

QTEST_MAIN(TransferWindowsTest)
#include "TransferWindowsTest.moc"

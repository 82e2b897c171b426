// Download and upload from a phonebook's view against the emulator on a pseudo-terminal:
// the confirmations, the progress dialog, every result message with its icon, what each
// outcome does to the entries, the restart after an upload, and a second transfer
// refused while the first is still ending.
#include "backup/ui/BackupSettings.h"
#include "strings/StringIds.h"
#include "ui/CommandIds.h"
#include "view/UtilityView.h"
#include "doc/DocumentTransfer.h"
#include "view/TransferTestSupport.h"

namespace {

const std::vector<PhonebookEntry> kHandsetEntries = {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka),
                                                     MakeEntry(3, Kana::SaTou)};
const std::vector<PhonebookEntry> kLocalEntries = {MakeEntry(7, Kana::Wa), MakeEntry(9, Kana::YaMaDa)};

struct Expected {
  int caption;
  int text;
  MessageIcon icon;
};

}  // namespace

Q_DECLARE_METATYPE(MessageIcon)

class TransferViewTest : public EditorTest<WatchingPrompts> {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> m_fixture;

  void OpenPhonebook(const std::vector<PhonebookEntry>& entries, bool modified,
                     const TransferTiming& timing = EditorQuickTiming()) {
    CDocumentTransfer::SetTransferTimingForNewDocuments(timing);
    EditorTest::OpenPhonebook(entries, modified);
  }

  // `note`: a paragraph that follows the text (0: none).
  void ExpectMessage(const MessageRequest& message, int caption, int text, MessageIcon icon, int note = 0) {
    QCOMPARE(message.caption, Text(caption));
    QCOMPARE(message.text, note ? Text(text) + "\r\n\r\n" + Text(note) : Text(text));
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.buttons, PromptButtons::Ok);
    QCOMPARE(message.owner, static_cast<QWidget*>(m_view.get()));
  }

  bool CommandEnabled(int id) {
    CommandState state;
    return m_view->OnUpdateCommand(id, state) && state.enabled;
  }

  // Presses Esc in the progress dialog once it shows at least `bytes` of progress.
  void AbortAt(int bytes) {
    WhenProgressReaches(m_view.get(), [this] { return &m_view->Transfers().ProgressDialog(); }, bytes,
                        [](CProgressDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  }

 private slots:
  void initTestCase() { qRegisterMetaType<MessageIcon>(); }

  // The upload without the backup and its preview (the setting turned off) is tested here.
  void init() {
    m_fixture = std::make_unique<TransferFixture>();
    SetBackupBeforeUpload(false);
    SetUpEditor();
  }
  void cleanup() {
    TearDownEditor();
    m_fixture.reset();
  }

  // Success replaces the list and marks the phonebook changed; unsaved changes are only
  // overwritten after the user agreed.
  void downloadReplacesTheList_data() {
    QTest::addColumn<bool>("modified");
    QTest::newRow("saved phonebook: no question") << false;
    QTest::newRow("unsaved changes: confirmed first") << true;
  }
  void downloadReplacesTheList() {
    QFETCH(bool, modified);
    m_fixture->StartHandset(kHandsetEntries);
    OpenPhonebook(kLocalEntries, modified);
    m_prompts->answers = {PromptAnswer::Ok};
    QList<int> progressSeen;
    m_prompts->onMessage = [&](const MessageRequest&) {
      progressSeen << m_view->Transfers().ProgressDialog().Bar()->value();
    };

    m_view->Transfers().OnDownload();

    const auto& messages = m_prompts->messages;
    QCOMPARE(int(messages.size()), modified ? 2 : 1);
    if (modified) {
      QCOMPARE(messages[0].caption, Text(IDS_CONFIRM_DOWNLOAD_CAPTION));
      QCOMPARE(messages[0].text, Text(IDS_CONFIRM_DOWNLOAD));
      QCOMPARE(messages[0].icon, MessageIcon::Question);
      QCOMPARE(messages[0].buttons, PromptButtons::OkCancel);
      QCOMPARE(messages[0].defaultButton, PromptAnswer::Cancel);
    }
    ExpectMessage(messages.back(), IDS_DOWNLOAD_DONE_CAPTION, IDS_DOWNLOAD_DONE, MessageIcon::None);
    QCOMPARE(progressSeen.back(), 120000);  // the dialog had reached the end
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({1, 2, 3}));
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 3);
    QVERIFY(m_doc->IsModified());
    QVERIFY(!m_view->Transfers().ProgressDialog().HasWindow());
    QVERIFY(!m_doc->Transfer().IsTransferBusy());
    QVERIFY(m_fixture->HandsetLog().contains(QStringLiteral("end of link")));
    // The download is one step: undo brings the phonebook's own entries back exactly.
    m_view->History().OnEditUndo();
    QVERIFY(StoredEntries(*m_doc) == kLocalEntries);
    QCOMPARE(Column(m_view->Lists().NumberList(), 0), (QStringList{"0007", "0009"}));
    m_view->History().OnEditRedo();
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({1, 2, 3}));
  }

  // Every fault ends in its message with the entries and the modified flag as they were,
  // and the editor can transfer again at once.
  void failedDownloadLeavesTheEntries_data() {
    QTest::addColumn<QStringList>("options");   // "missing": no port at all
    QTest::addColumn<StringId>("caption");
    QTest::addColumn<StringId>("text");
    QTest::newRow("port cannot be opened") << QStringList{"missing"}
        << IDS_PORT_UNAVAILABLE_CAPTION << IDS_PORT_UNAVAILABLE;
    QTest::newRow("handset never wakes") << QStringList{"--silent-wake"}
        << IDS_NO_ANSWER_CAPTION << IDS_NO_ANSWER;
    QTest::newRow("phonebook locked") << QStringList{"--locked"}
        << IDS_COMM_ERROR_CAPTION << IDS_PHONEBOOK_LOCKED;
    QTest::newRow("block refused") << QStringList{"--reject", "3"}
        << IDS_DOWNLOAD_FAILED_CAPTION << IDS_DOWNLOAD_FAILED;
    QTest::newRow("bad checksum") << QStringList{"--bad-checksum", "3"}
        << IDS_DOWNLOAD_FAILED_CAPTION << IDS_DOWNLOAD_FAILED;
    QTest::newRow("silent in mid-transfer") << QStringList{"--silent-after", "3"}
        << IDS_NO_ANSWER_CAPTION << IDS_NO_ANSWER;
    QTest::newRow("hang-up in mid-transfer") << QStringList{"--hang-up-after", "3"}
        << IDS_NO_ANSWER_CAPTION << IDS_NO_ANSWER;
    QTest::newRow("garbage without end") << QStringList{"--garbage", "3"}
        << IDS_DOWNLOAD_FAILED_CAPTION << IDS_DOWNLOAD_FAILED;
    QTest::newRow("flood while waking") << QStringList{"--flood-after", "0"}
        << IDS_NO_ANSWER_CAPTION << IDS_NO_ANSWER;
  }
  void failedDownloadLeavesTheEntries() {
    QFETCH(QStringList, options);
    QFETCH(StringId, caption);
    QFETCH(StringId, text);
    if (options == QStringList{"missing"}) {
      m_fixture->NameMissingPort();
    } else {
      std::vector<std::string> handsetOptions;
      for (const QString& option : options) handsetOptions.push_back(option.toStdString());
      m_fixture->StartHandset(kHandsetEntries, handsetOptions);
    }
    OpenPhonebook(kLocalEntries, false);

    m_view->Transfers().OnDownload();

    QCOMPARE(int(m_prompts->messages.size()), 1);
    ExpectMessage(m_prompts->Last(), caption, text, MessageIcon::Error);
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({7, 9}));
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 2);
    QVERIFY(!m_doc->IsModified());
    QVERIFY(!m_doc->Transfer().IsTransferBusy());
    QVERIFY(CommandEnabled(ID_DOWNLOAD));
    QVERIFY(CommandEnabled(ID_UPLOAD));
  }

  // Blocks of one byte, then empty frames: without Abort the download would go on for
  // half an hour.
  void abortedDownloadLeavesTheEntries() {
    m_fixture->StartHandset(kHandsetEntries, {"--block-size", "1", "--empty-more", "3"});
    OpenPhonebook(kLocalEntries, true, EditorQuickTiming(true));
    m_prompts->answers = {PromptAnswer::Ok};
    AbortAt(4096);

    m_view->Transfers().OnDownload();
    QTRY_VERIFY_WITH_TIMEOUT(!m_doc->Transfer().IsTransferBusy(), 10000);

    QCOMPARE(int(m_prompts->messages.size()), 2);
    ExpectMessage(m_prompts->Last(), IDS_DOWNLOAD_ABORTED_CAPTION, IDS_DOWNLOAD_ABORTED, MessageIcon::Warning);
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({7, 9}));
    QVERIFY(m_doc->IsModified());
  }

  // After Abort closed the dialog the session may still be ending: Download and Upload
  // are refused until its end has been reported, then work again.
  void transferIsRefusedWhileTheLastOneEnds() {
    m_fixture->StartHandset(kHandsetEntries, {"--silent-after", "3"});
    OpenPhonebook(kLocalEntries, false);
    AbortAt(3072);  // all three answered blocks stored: the transfer then waits in vain

    m_view->Transfers().OnDownload();  // returns when Abort closed the dialog

    QVERIFY(m_doc->Transfer().IsTransferBusy());
    QVERIFY(!CommandEnabled(ID_DOWNLOAD));
    QVERIFY(!CommandEnabled(ID_UPLOAD));
    m_view->Transfers().OnUpload();
    m_view->Transfers().OnDownload();
    QVERIFY(m_prompts->messages.empty());
    // The abort ended the wait for the silent handset's reply.
    QTRY_VERIFY_WITH_TIMEOUT(!m_doc->Transfer().IsTransferBusy(), 10000);
    QCOMPARE(int(m_prompts->messages.size()), 1);
    ExpectMessage(m_prompts->Last(), IDS_DOWNLOAD_ABORTED_CAPTION, IDS_DOWNLOAD_ABORTED, MessageIcon::Warning);
    QVERIFY(CommandEnabled(ID_DOWNLOAD));
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({7, 9}));
  }

  void cancelledConfirmationChangesNothing_data() {
    QTest::addColumn<bool>("download");
    QTest::newRow("download") << true;
    QTest::newRow("upload") << false;
  }
  void cancelledConfirmationChangesNothing() {
    QFETCH(bool, download);
    m_fixture->StartHandset(kHandsetEntries);
    OpenPhonebook(kLocalEntries, true);
    m_prompts->answers = {PromptAnswer::Cancel};
    download ? m_view->Transfers().OnDownload() : m_view->Transfers().OnUpload();
    QCOMPARE(int(m_prompts->messages.size()), 1);
    QCOMPARE(m_prompts->Last().caption, Text(download ? IDS_CONFIRM_DOWNLOAD_CAPTION : IDS_CONFIRM_UPLOAD_CAPTION));
    QCOMPARE(m_prompts->Last().text, Text(download ? IDS_CONFIRM_DOWNLOAD : IDS_CONFIRM_UPLOAD));
    QCOMPARE(m_prompts->Last().defaultButton, PromptAnswer::Cancel);
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({7, 9}));
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_fixture->HandsetLog().isEmpty());  // the port was never opened
  }

  void uploadOfAnEmptyPhonebookIsRefused() {
    m_fixture->StartHandset(kHandsetEntries);
    OpenPhonebook({}, false);
    m_view->Transfers().OnUpload();
    QCOMPARE(int(m_prompts->messages.size()), 1);
    ExpectMessage(m_prompts->Last(), IDS_NO_ENTRIES_CAPTION, IDS_NO_ENTRIES, MessageIcon::Warning);
    QVERIFY(m_fixture->HandsetLog().isEmpty());
  }

  // The success message comes first; the restart is sent only once it is closed.
  void uploadSucceedsThenRestartsTheHandset() {
    m_fixture->StartHandset({});
    OpenPhonebook(kHandsetEntries, false);
    m_prompts->answers = {PromptAnswer::Ok};
    QString logWhenToldOfSuccess;
    m_prompts->onMessage = [&](const MessageRequest& message) {
      if (message.caption == Text(IDS_UPLOAD_DONE_CAPTION)) logWhenToldOfSuccess = m_fixture->HandsetLog();
    };

    m_view->Transfers().OnUpload();

    QCOMPARE(int(m_prompts->messages.size()), 2);
    QCOMPARE(m_prompts->messages[0].caption, Text(IDS_CONFIRM_UPLOAD_CAPTION));
    QCOMPARE(m_prompts->messages[0].icon, MessageIcon::Question);
    ExpectMessage(m_prompts->Last(), IDS_UPLOAD_DONE_CAPTION, IDS_UPLOAD_DONE, MessageIcon::None);
    QVERIFY(logWhenToldOfSuccess.contains(QStringLiteral("upload complete: 120000 bytes in 118 blocks")));
    QVERIFY(!logWhenToldOfSuccess.contains(QStringLiteral("restart")));
    QTRY_VERIFY(m_fixture->HandsetLog().contains(QStringLiteral("restart")));
    const PhonebookImage expected = TransferFixture::ImageOf(kHandsetEntries);
    QCOMPARE(m_fixture->Uploaded(),
             QByteArray(reinterpret_cast<const char*>(expected.data()), int(expected.size())));
    QVERIFY(!m_doc->IsModified());  // an upload changes nothing in the phonebook
  }

  void failedUploadShowsItsMessage_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<StringId>("caption");
    QTest::addColumn<StringId>("text");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<int>("note");  // after "DEL" the handset's phonebook may be gone
    QTest::newRow("locked") << QStringList{"--locked"}
        << IDS_COMM_ERROR_CAPTION << IDS_PHONEBOOK_LOCKED << MessageIcon::Error << 0;
    QTest::newRow("block refused") << QStringList{"--reject", "5"}
        << IDS_UPLOAD_FAILED_CAPTION << IDS_UPLOAD_FAILED << MessageIcon::Error << int(IDS_HANDSET_PHONEBOOK_AT_RISK);
    QTest::newRow("silent") << QStringList{"--silent-after", "5"}
        << IDS_NO_ANSWER_CAPTION << IDS_NO_ANSWER << MessageIcon::Error << int(IDS_HANDSET_PHONEBOOK_AT_RISK);
    QTest::newRow("aborted") << QStringList{"abort"}
        << IDS_UPLOAD_ABORTED_CAPTION << IDS_UPLOAD_ABORTED << MessageIcon::Warning
        << int(IDS_HANDSET_PHONEBOOK_AT_RISK);
  }
  void failedUploadShowsItsMessage() {
    QFETCH(QStringList, options);
    QFETCH(StringId, caption);
    QFETCH(StringId, text);
    QFETCH(MessageIcon, icon);
    QFETCH(int, note);
    const bool abort = options == QStringList{"abort"};
    std::vector<std::string> handsetOptions;
    if (!abort)
      for (const QString& option : options) handsetOptions.push_back(option.toStdString());
    m_fixture->StartHandset({}, handsetOptions);
    OpenPhonebook(kHandsetEntries, false, EditorQuickTiming(abort));
    m_prompts->answers = {PromptAnswer::Ok};
    if (abort) AbortAt(2048);

    m_view->Transfers().OnUpload();
    QTRY_VERIFY_WITH_TIMEOUT(!m_doc->Transfer().IsTransferBusy(), 10000);

    QCOMPARE(int(m_prompts->messages.size()), 2);
    ExpectMessage(m_prompts->Last(), caption, text, icon, note);
    QVERIFY(!m_fixture->HandsetLog().contains(QStringLiteral("restart")));
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({1, 2, 3}));
  }
};

QTEST_MAIN(TransferViewTest)
#include "TransferViewTest.moc"

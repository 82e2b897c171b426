// The editor when a file call fails or the file changes under it: opening, importing,
// saving and downloading, with the C library's calls on the test's files (or, for the
// download, on the phonebook's store) failed at the first and last read and write
// (tests/support/SyscallFaults.h, linked in front of the C library). Each must end in the
// editor's message with the cause and leave the windows, the phonebook, its modified flag
// and the files as they were.
#include <QDir>
#include <QFileInfo>

#include <cstring>

#include "doc/DocumentExchange.h"
#include "doc/UtilityDoc.h"
#include "doc/DocumentTransfer.h"
#include "files/FailureText.h"
#include "files/FileByteReader.h"
#include "strings/StringIds.h"
#include "support/LongDocument.h"
#include "support/SyscallFaults.h"
#include "view/TransferTestSupport.h"
#include "view/UtilityView.h"

namespace {

const std::vector<PhonebookEntry> kEntries = {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka),
                                              MakeEntry(3, Kana::SaTou)};

// The 1-based place among `calls` of the first or last one named `name`; 0 when none is.
int Place(const std::vector<sysfaults::Call>& calls, const char* name, bool last) {
  int found = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].name != name) continue;
    found = static_cast<int>(i) + 1;
    if (!last) break;
  }
  return found;
}

QString Cause(int error) { return QString::fromStdString(ReadFailureCause(error)); }

// What happens at the chosen call: an errno, or another program's change to the file.
struct Strike {
  const char* call;  // the function, as the layer names it
  bool last;         // its last call rather than its first
  int error;         // 0: `change` runs instead
  std::function<void(const QString& path)> change;
};

}  // namespace

Q_DECLARE_METATYPE(Strike)

class FileFaultsTest : public EditorTest<> {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> m_fixture;
  QTemporaryDir m_folder;
  QString m_book;            // a long phonebook document in the watched folder
  QByteArray m_bookBytes;

  // Runs `action` once with nothing armed and returns the calls it made in the folder.
  std::vector<sysfaults::Call> CallsOf(const QString& folder, const std::function<void()>& action) {
    sysfaults::Watch(folder.toStdString());
    action();
    std::vector<sysfaults::Call> calls = sysfaults::Calls();
    sysfaults::StopWatching();
    return calls;
  }

  // Runs `action` with `strike` armed on the watched folder; whether it fired.
  bool Struck(const QString& folder, const Strike& strike, const std::vector<sysfaults::Call>& calls,
              const QString& path, const std::function<void()>& action) {
    const int place = Place(calls, strike.call, strike.last);
    if (place == 0) {
      qWarning("no %s call", strike.call);
      return false;
    }
    sysfaults::Watch(folder.toStdString());
    if (strike.error != 0) sysfaults::ArmFailure(place, strike.error);
    else sysfaults::ArmStep(place, [&] { strike.change(path); });
    action();
    const bool fired = sysfaults::Fired();
    sysfaults::StopWatching();
    return fired;
  }

  // The last message is the framework's read failure for `path`, with `cause` below.
  void ExpectReadFailure(const QString& path, const QString& cause) {
    QCOMPARE(m_prompts->Last().caption, Text(IDS_APP_TITLE));
    QVERIFY2(m_prompts->Last().text.startsWith(Text(AFX_IDP_FILE_READ_ERROR).arg(path)),
             qPrintable(m_prompts->Last().text));
    QVERIFY2(m_prompts->Last().text.endsWith(cause), qPrintable(m_prompts->Last().text));
  }

  QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }

  // A phonebook window holding kEntries, saved to `path`, unmodified.
  void OpenSavedPhonebook(const QString& path) {
    OpenPhonebook(kEntries);
    QVERIFY(m_doc->DoSave(path));
    QVERIFY(!m_doc->IsModified());
  }

  // The faults each read test strikes: the first and last read, the rewind and the checks
  // at a pass's end failing, and the file cut short, grown, replaced or removed in mid-read.
  void AddReadStrikes() {
    QTest::addColumn<Strike>("strike");
    QTest::addColumn<int>("cause");
    const auto truncate = [](const QString& path) { QFile(path).resize(1000); };
    const auto grow = [](const QString& path) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::Append));
      file.write("9999,more,,0311112222,,,1\r\n");
    };
    const auto replace = [](const QString& path) {
      QFile::remove(path + ".new");
      QVERIFY(QFile::copy(path, path + ".new"));
      QVERIFY(::rename((path + ".new").toLocal8Bit().constData(), path.toLocal8Bit().constData()) == 0);
    };
    QTest::newRow("first read fails") << Strike{"read", false, EIO, {}} << EIO;
    QTest::newRow("last read fails") << Strike{"read", true, EIO, {}} << EIO;
    QTest::newRow("rewind fails") << Strike{"lseek", true, EIO, {}} << EIO;
    QTest::newRow("size check fails") << Strike{"fstat", true, EIO, {}} << EIO;
    QTest::newRow("name check fails") << Strike{"stat", true, EIO, {}} << EIO;
    QTest::newRow("cut short while read") << Strike{"read", true, 0, truncate} << kFileChangedWhileRead;
    QTest::newRow("grown while read") << Strike{"read", true, 0, grow} << kFileChangedWhileRead;
    QTest::newRow("replaced while read") << Strike{"lseek", true, 0, replace} << kFileChangedWhileRead;
    const auto rewrite = [](const QString& path) {  // the same size, written a second later
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadWrite));
      const QDateTime written = file.fileTime(QFileDevice::FileModificationTime);
      file.write(QByteArray(file.size(), 'z'));
      QVERIFY(file.setFileTime(written.addSecs(1), QFileDevice::FileModificationTime));
    };
    QTest::newRow("rewritten while read") << Strike{"read", true, 0, rewrite} << kFileChangedWhileRead;
    QTest::newRow("removed while read") << Strike{"read", true, 0, [](const QString& path) { QFile::remove(path); }}
                                        << kFileChangedWhileRead;
  }

 private slots:
  void init() {
    m_fixture = std::make_unique<TransferFixture>();
    SetUpEditor();
    CDocumentTransfer::SetTransferTimingForNewDocuments(EditorQuickTiming());
    m_book = m_folder.filePath(QStringLiteral("book.csv"));
    m_bookBytes = QByteArray::fromStdString(LongDocument(1000, "\x8E\x52\x93\x63\x91\xBE\x98\x59"));  // 山田太郎
    QVERIFY(m_bookBytes.size() > 64 * 1024);
    WriteFile(m_book, m_bookBytes);
  }
  void cleanup() {
    sysfaults::StopWatching();
    TearDownEditor();
    m_fixture.reset();
  }

  void openThatCannotReadOpensNoWindow_data() { AddReadStrikes(); }
  void openThatCannotReadOpensNoWindow() {
    QFETCH(Strike, strike);
    QFETCH(int, cause);
    QVERIFY(StartApp());
    const int windows = Frame()->Children().size();
    const auto calls = CallsOf(m_folder.path(), [&] {
      CUtilityDoc* opened = m_app->OpenDocumentFile(m_book);
      QVERIFY(opened);
      opened->OnFileClose();
    });
    QTRY_COMPARE(Frame()->Children().size(), windows);
    QVERIFY(Struck(m_folder.path(), strike, calls, m_book,
                   [&] { QVERIFY(!m_app->OpenDocumentFile(m_book)); }));
    QCOMPARE(Frame()->Children().size(), windows);
    ExpectReadFailure(m_book, Cause(cause));
    if (strike.error != 0) QCOMPARE(FileBytes(m_book), m_bookBytes);
  }

  void importThatCannotReadChangesNothing_data() { AddReadStrikes(); }
  void importThatCannotReadChangesNothing() {
    QFETCH(Strike, strike);
    QFETCH(int, cause);
    OpenPhonebook(kEntries);
    const auto import = [&] {
      m_prompts->openAnswer = {m_book};
      m_prompts->answers = {PromptAnswer::Ok};
      m_doc->Exchange().OnFileImport();
    };
    const auto calls = CallsOf(m_folder.path(), import);
    QCOMPARE(m_doc->Store().EntryCount(), 1000);  // every row imported, the three overwritten
    OpenPhonebook(kEntries);
    QVERIFY(Struck(m_folder.path(), strike, calls, m_book, import));
    ExpectReadFailure(QDir::toNativeSeparators(m_book), Cause(cause));
    QCOMPARE(StoredEntries(*m_doc), kEntries);
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 3);
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(m_doc->History().Count(), 0);
  }

  void saveThatCannotWriteKeepsTheFile_data() {
    QTest::addColumn<Strike>("strike");
    QTest::newRow("creating the new file runs out of space") << Strike{"open", false, ENOSPC, {}};
    QTest::newRow("first write runs out of space") << Strike{"write", false, ENOSPC, {}};
    QTest::newRow("last write fails") << Strike{"write", true, EIO, {}};
    QTest::newRow("sync fails") << Strike{"fsync", false, EIO, {}};
    QTest::newRow("closing fails") << Strike{"close", false, EIO, {}};
    QTest::newRow("replacing fails") << Strike{"rename", true, EIO, {}};
  }
  void saveThatCannotWriteKeepsTheFile() {
    QFETCH(Strike, strike);
    const QString path = m_folder.filePath(QStringLiteral("saved.csv"));
    OpenSavedPhonebook(path);
    const QByteArray before = FileBytes(path);
    const auto save = [&] {
      Populate({MakeEntry(4, Kana::Wa)});
      m_doc->SetModifiedFlag();
      m_doc->DoFileSave();
    };
    const auto calls = CallsOf(m_folder.path(), save);
    OpenSavedPhonebook(path);
    QVERIFY(Struck(m_folder.path(), strike, calls, path, save));
    QCOMPARE(m_prompts->Last().caption, Text(IDS_APP_TITLE));
    QVERIFY2(m_prompts->Last().text.contains(QFileInfo(path).fileName()), qPrintable(m_prompts->Last().text));
    QCOMPARE(FileBytes(path), before);
    QVERIFY(m_doc->IsModified());
    const QStringList files = QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(files.size() == 2, qPrintable(files.join(' ')));  // no temporary file stays
  }

  // The download writes no file of the user's: what it writes is the phonebook's store,
  // whose reads and writes fail here. The last read is the list's, after the download.
  void downloadThatCannotStoreKeepsThePhonebook_data() {
    QTest::addColumn<Strike>("strike");
    QTest::addColumn<bool>("downloaded");
    QTest::newRow("first store read fails") << Strike{"pread", false, EIO, {}} << false;
    QTest::newRow("first store write fails") << Strike{"pwrite", false, EIO, {}} << false;
    QTest::newRow("last store write runs out of space") << Strike{"pwrite", true, ENOSPC, {}} << false;
    QTest::newRow("the list's last read fails") << Strike{"pread", true, EIO, {}} << true;
  }
  void downloadThatCannotStoreKeepsThePhonebook() {
    QFETCH(Strike, strike);
    QFETCH(bool, downloaded);
    std::vector<PhonebookEntry> received;
    for (int n = 1; n <= 300; ++n) received.push_back(MakeEntry(n, Kana::Wa));
    m_fixture->StartHandset(received);
    OpenPhonebook(kEntries);
    const QString store = QFileInfo(QString::fromStdString(m_doc->Store().DatabasePath())).path();
    const auto calls = CallsOf(store, [&] { m_view->Transfers().OnDownload(); });
    QCOMPARE(m_doc->Store().EntryCount(), 300);
    OpenPhonebook(kEntries);
    m_prompts->Clear();
    QVERIFY(Struck(store, strike, calls, {}, [&] { m_view->Transfers().OnDownload(); }));
    const MessageRequest& message = m_prompts->messages.front();
    if (!downloaded) {
      QCOMPARE(message.caption, Text(IDS_DOWNLOAD_FAILED_CAPTION));
      QVERIFY2(message.text.contains(QString::fromUtf8(std::strerror(strike.error))), qPrintable(message.text));
      QCOMPARE(StoredEntries(*m_doc), kEntries);
      QVERIFY(!m_doc->IsModified());
      return;
    }
    // The download is kept; a list that could not show it says so (before the download's
    // own message), and shows it at the next refresh. (The engine takes this failed read
    // for a damaged page and keeps no errno, so no reason follows the text.)
    QVERIFY2(message.text.startsWith(Text(IDS_LIST_READ_FAILED)), qPrintable(message.text));
    QCOMPARE(m_prompts->Last().caption, Text(IDS_DOWNLOAD_DONE_CAPTION));
    QCOMPARE(StoredEntries(*m_doc), received);
    m_view->OnUpdate();
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 300);
  }
};

QTEST_MAIN(FileFaultsTest)
#include "FileFaultsTest.moc"

// The editor with a full temporary folder under its store (every write that would make the
// store's file longer fails with ENOSPC) or a failing one (EIO): opening, pasting, importing,
// downloading and the list's own edits each end with a message that names the folder, and
// leave the phonebook, its modified flag and the file on disk as they were.
#include <QApplication>
#include <QClipboard>

#include "doc/DocumentExchange.h"
#include "doc/UtilityDoc.h"
#include "doc/DocumentTransfer.h"
#include "files/DocumentFile.h"
#include "strings/StringIds.h"
#include "support/FaultyVfs.h"
#include "view/TransferTestSupport.h"
#include "view/UtilityView.h"

namespace {

const std::vector<PhonebookEntry> kEntries = {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka),
                                              MakeEntry(3, Kana::SaTou)};

// `count` rows numbered from `first`: more than the store's file has room for already.
QByteArray Rows(int first, int count) {
  QByteArray rows;
  for (int n = first; n < first + count; ++n)
    rows += QByteArray::number(n).rightJustified(4, '0') + ",name" + QByteArray::number(n) +
            ",\xB1,0312345678,,,1\r\n";
  return rows;
}

std::vector<PhonebookEntry> ManyEntries(int count) {
  std::vector<PhonebookEntry> entries;
  for (int n = 1; n <= count; ++n) entries.push_back(MakeEntry(n, Kana::Wa));
  return entries;
}

}  // namespace

class FullTempFolderTest : public EditorTest<> {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> m_fixture;
  QTemporaryDir m_folder;

  QString FilePath(const char* name) const { return m_folder.filePath(QString::fromUtf8(name)); }

  // A saved phonebook of kEntries on screen, then the disk runs full (or fails).
  void OpenFullPhonebook(faultvfs::Fault fault = faultvfs::Fault::FullDisk) {
    OpenPhonebook(kEntries);
    faultvfs::Arm(1, fault);
  }

  // The last message is `caption`/`text` followed by the store's folder and the reason.
  void ExpectStoreFailure(const QString& caption, const QString& text,
                          const QString& reason = QStringLiteral("No space left on device")) {
    QCOMPARE(m_prompts->Last().caption, caption);
    QVERIFY2(m_prompts->Last().text.startsWith(text), qPrintable(m_prompts->Last().text));
    QVERIFY(m_prompts->Last().text.contains(QStringLiteral("作業用フォルダ")));
    QVERIFY(m_prompts->Last().text.contains(reason));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Error);
  }

  // Nothing changed: the entries, the list and the modified flag.
  void ExpectUnchanged() {
    faultvfs::Disarm();
    QCOMPARE(Numbers(m_doc->Store()), QList<int>({1, 2, 3}));
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 3);
    QVERIFY(!m_doc->IsModified());
  }

 private slots:
  void initTestCase() { faultvfs::Install(); }

  void init() {
    m_fixture = std::make_unique<TransferFixture>();
    SetUpEditor();
    CDocumentTransfer::SetTransferTimingForNewDocuments(EditorQuickTiming());
  }
  void cleanup() {
    faultvfs::Disarm();
    TearDownEditor();
    m_fixture.reset();
  }

  void openingRefusesTheFileAndLeavesIt() {
    const QString path = FilePath("book.csv");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0001,a,\xB1,0123,,,1\r\n0002,b,\xB6,0456,,,2\r\n");
    file.close();
    faultvfs::Arm(1, faultvfs::Fault::FullDisk);
    CUtilityDoc doc(*m_environment);
    QVERIFY(!doc.OnOpenDocument(path));
    ExpectStoreFailure(Text(IDS_APP_TITLE), Text(AFX_IDP_FILE_READ_ERROR).arg(path));
    QVERIFY(!m_prompts->Last().owner);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("0001,a,\xB1,0123,,,1\r\n0002,b,\xB6,0456,,,2\r\n"));
  }

  void pasteAddsNothing() {
    OpenFullPhonebook();
    QApplication::clipboard()->setText(QString::fromLatin1(",QV PhoneBook,,11,0\r\n" + Rows(5, 300)));
    m_view->Clipboard().OnEditPaste();
    ExpectStoreFailure(Text(IDS_PASTE_LIMIT_CAPTION), Text(IDS_PASTE_STORE_FAILED));
    ExpectUnchanged();
  }

  void importAddsNothing() {
    QByteArray cards;  // the first ones have the names and phone number of the entries
    for (int n = 1; n <= 300; ++n)
      cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:N" + QByteArray::number(n) + "\r\nTEL:0123\r\nEND:VCARD\r\n";
    const struct { const char* name; QByteArray content; int textId; } files[] = {
        {"rows.csv", "0001,over,\xB1,0123,,,1\r\n" + Rows(9, 300), IDS_IMPORT_STORE_FAILED},
        {"cards.vcf", cards, IDS_VCARD_STORE_FAILED}};
    for (const auto& each : files) {
      OpenFullPhonebook();
      QFile file(FilePath(each.name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(each.content);
      file.close();
      m_prompts->openAnswer = {file.fileName()};
      m_prompts->answers = {PromptAnswer::Ok};
      m_prompts->dialogScripts = {[](QDialog&) { return int(QDialog::Accepted); }};
      m_doc->Exchange().OnFileImport();
      ExpectStoreFailure(Text(IDS_REGISTER_CAPTION), Text(each.textId));
      ExpectUnchanged();
    }
  }

  void downloadKeepsTheList() {
    m_fixture->StartHandset(ManyEntries(1000));
    OpenFullPhonebook();
    m_view->Transfers().OnDownload();
    ExpectStoreFailure(Text(IDS_DOWNLOAD_FAILED_CAPTION), Text(IDS_DOWNLOAD_FAILED));
    QCOMPARE(m_prompts->Last().owner, static_cast<QWidget*>(m_view.get()));
    ExpectUnchanged();
  }

  void listEditsAreRefused() {
    // Deleting needs no room: a disk that fails a write is what stops it.
    OpenFullPhonebook(faultvfs::Fault::IoErrorOnce);
    m_prompts->answers = {PromptAnswer::Ok};
    m_view->Entries().OnDeleteAll();
    ExpectStoreFailure(Text(IDS_WRITE_CAPTION), Text(IDS_WRITE_FAILED), QStringLiteral("Input/output error"));
    ExpectUnchanged();
    QCOMPARE(m_doc->History().Count(), 0);  // nothing to undo
    // With room again, the same phonebook saves as it was.
    const QString path = FilePath("saved.csv");
    QVERIFY(m_doc->OnSaveDocument(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().count("\r\n"), 3);
  }

  void undoThatCannotWriteKeepsTheStep() {
    OpenPhonebook(kEntries);
    m_prompts->answers = {PromptAnswer::Ok};
    m_view->Entries().OnDeleteAll();
    faultvfs::Arm(1, faultvfs::Fault::IoErrorOnce);  // the rows fit in the freed pages
    m_view->History().OnEditUndo();
    ExpectStoreFailure(Text(IDS_UNDO), Text(IDS_UNDO_FAILED), QStringLiteral("Input/output error"));
    QCOMPARE(m_view->Lists().NumberList()->Model()->rowCount(), 0);
    QVERIFY(m_doc->History().CanUndo() && !m_doc->History().CanRedo() && m_doc->IsModified());
    faultvfs::Disarm();
    m_view->History().OnEditUndo();
    ExpectUnchanged();
  }
};

QTEST_MAIN(FullTempFolderTest)
#include "FullTempFolderTest.moc"

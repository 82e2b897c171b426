// vCard files through a phonebook window's commands: export of all or the selected rows in
// either version, imported back through the duplicate dialog; the summary; bad files.
#include <QAbstractButton>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>

#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "doc/DocumentExchange.h"
#include "support/EditorFixture.h"

namespace {

const QString kData = QStringLiteral(QVBOOK_FILES_DATA "/");

QString LineOf(const PhonebookEntry& e) {  // the entry's texts and group, without its number
  return FromCp932(e.name + ',' + e.reading + ',' + e.phone1 + ',' + e.phone2 + ',' + e.phone3) + ',' +
         QString::number(e.group);
}

}  // namespace

class VcardExchangeTest : public EditorTest<> {
  Q_OBJECT

  QTemporaryDir m_folder;

  QStringList SortedLines() {
    std::vector<PhonebookEntry> entries;
    EXPECT_STORED(m_doc->Store().ListAllEntries(entries));
    QStringList lines;
    for (const PhonebookEntry& entry : entries) lines << LineOf(entry);
    lines.sort();
    return lines;
  }
  const MessageRequest& Import(const QString& path) {
    m_prompts->openAnswer = {path};
    m_prompts->answers = {PromptAnswer::Ok};
    m_doc->Exchange().OnFileImport();
    return m_prompts->Last();
  }

 private slots:
  void init() {
    SetUpEditor();
    OpenPhonebook();
    QVERIFY(m_doc->OnOpenDocument(kData + "vcard-roundtrip.csv"));
    m_view->OnUpdate();
  }
  void cleanup() { TearDownEditor(); }

  // Each card read back duplicates the entry it was written from; the dialog's answer holds for all.
  void exportedCardsImportAsTheirEntries_data() {
    for (const char* column : {"filter", "method"}) QTest::addColumn<int>(column);
    QTest::addColumn<QList<int>>("rows");  // selected; none: the whole phonebook
    for (const char* column : {"duplicate", "exported", "imported"}) QTest::addColumn<QString>(column);
    QTest::newRow("3.0 all, overwrite") << 0 << 1056 << QList<int>{} << "0001"
                                        << "電話帳の全データ12件をエクスポートしました。"
                                        << "登録した件数 ：12件\r\n  うち上書き登録した件数 ：12件";
    QTest::newRow("2.1 selected, add") << 1 << 1057 << QList<int>{1, 5, 9} << "0002"
                                       << "選択した3件のデータをエクスポートしました。" << "登録した件数 ：3件";
  }
  void exportedCardsImportAsTheirEntries() {
    QFETCH(int, filter);
    QFETCH(QList<int>, rows);
    QStringList expected = SortedLines();
    for (int row : rows) {
      m_view->Lists().NumberList()->selectionModel()->select(m_view->Lists().NumberList()->Model()->index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
      expected << LineOf(Stored(FromCp932(m_view->Lists().NumberList()->Model()->ItemBytes(row, 0)).toInt()));  // its copy
    }
    m_prompts->saveAnswer = m_folder.filePath("export.vcf");
    m_prompts->saveFilterAnswer = filter;
    QVERIFY(m_view->OnCommand(ID_FILE_EXPORT));
    QCOMPARE(m_prompts->fileDialogs.back().filters,
             (QStringList{Text(IDS_VCARD_30_FILTER), Text(IDS_VCARD_21_FILTER)}));
    QFETCH(QString, exported);
    QCOMPARE(m_prompts->Last().caption, Text(IDS_EXPORT_DONE_CAPTION));
    QVERIFY(m_prompts->Last().text.endsWith(exported));
    QFile file(m_prompts->saveAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().mid(13, 11), QByteArray(filter ? "VERSION:2.1" : "VERSION:3.0"));

    QStringList shown;
    QFETCH(int, method);
    m_prompts->dialogScripts = {[&](QDialog& dialog) {
      shown << dialog.windowTitle();
      for (const char* id : {"1030", "1002", "1007"})
        shown << dialog.findChild<QWidget*>(id)->property("text").toString();
      for (QString id : {QString::number(method), QStringLiteral("1059"), QStringLiteral("1")})
        dialog.findChild<QAbstractButton*>(id)->click();  // the method, for all later duplicates too, OK
      return dialog.result();
    }};
    const MessageRequest& done = Import(file.fileName());
    QFETCH(QString, duplicate);
    QCOMPARE(shown, (QStringList{Text(IDS_VCARD_IMPORT_CAPTION), Text(IDS_VCARD_DUPLICATE_MESSAGE),
                                 Text(IDS_VCARD_STORED_NUMBER_LABEL), duplicate}));
    QFETCH(QString, imported);
    QCOMPARE(done.caption, Text(IDS_IMPORT_DONE_CAPTION));
    QVERIFY2(done.text.endsWith("\r\n\r\n" + imported), qPrintable(done.text));
    expected.sort();
    QCOMPARE(SortedLines(), expected);
    QVERIFY(m_doc->IsModified());
  }

  void summaryListsTheCardsInItsDetails() {
    const MessageRequest& done = Import(kData + "vcard-smartphone-30.vcf");
    QVERIFY(done.text.contains("電話番号がないため登録しなかった件数 ：1件") && !done.text.contains("件目"));
    QVERIFY(done.details.startsWith("登録した件数 ：4件\r\n"));
    QVERIFY(done.details.contains("\r\n    3件目（22行目） メールだけの人\r\n"));
  }

  void badFilesChangeNothing_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut off") << "vcard-truncated.vcf" << "ファイルからデータの読出し1 行目から始まるデータが END:VCARD";
    QTest::newRow("binary") << "vcard-binary.vcf" << "ファイルからデータの読出しvCard ファイルではありません。";
    QTest::newRow("100 MB") << "" << "インポートファイルのオープンファイルが大きすぎます（64 MB まで）。";
  }
  void badFilesChangeNothing() {
    QFile big(m_folder.filePath("big.vcf"));  // sparse: it takes no room on the disk
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(100LL << 20));
    const QStringList before = SortedLines();
    QFETCH(QString, file);
    const MessageRequest& refused = Import(file.isEmpty() ? big.fileName() : kData + file);
    QFETCH(QString, message);
    QVERIFY((refused.caption + refused.text).startsWith(message) && refused.icon == MessageIcon::Error);
    QVERIFY(SortedLines() == before && !m_doc->IsModified());
  }
};

QTEST_MAIN(VcardExchangeTest)
#include "VcardExchangeTest.moc"

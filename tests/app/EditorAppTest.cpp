// Start-up and the life of phonebook windows: one instance, the first phonebook, the limit
// of three, opening (with its failures), saving, the save prompt on closing.
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <cstring>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "doc/UtilityDoc.h"
#include "support/EditorFixture.h"
#include "view/UtilityView.h"

namespace {

QStringList Titles(CMainFrame* frame) {
  QStringList titles;
  for (CChildFrame* child : frame->Children()) titles << child->GetDocument()->GetTitle();
  return titles;
}

// What qvbook-cli prints on its standard error for `arguments`, line breaks as the editor's.
QString CliErrors(const QStringList& arguments) {
  QProcess cli;
  cli.start(QStringLiteral(QVBOOK_CLI), arguments);
  cli.waitForFinished();
  return QString::fromUtf8(cli.readAllStandardError());
}

QString TerminalLines(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class EditorAppTest : public EditorTest<> {
  Q_OBJECT

 private:
  QTemporaryDir m_folder;

  void Start(const QStringList& arguments = {}) { QVERIFY(StartApp(arguments)); }

  QString BookPath(const char* name, const QByteArray& content) {
    const QString path = m_folder.filePath(QString::fromUtf8(name));
    WriteFile(path, content);
    return path;
  }

 private slots:
  void init() { SetUpEditor(); }
  void cleanup() { TearDownEditor(); }

  void startsWithOneEmptyPhonebook() {
    Start();
    QCOMPARE(Titles(Frame()), QStringList{QString::fromUtf8("電話帳1")});
    QVERIFY(Frame()->ActiveChild()->isMaximized());
    QCOMPARE(Frame()->CurrentMenuId(), 129);
    QCOMPARE(Frame()->windowTitle(), QString::fromUtf8("Velmora-QV 電話帳ソフト - [電話帳1[*]]"));
    QVERIFY(m_prompts->messages.empty());
  }

  void startsWithTheFileGivenAndNoEmptyPhonebook() {
    const QString path = BookPath("book.csv", "0002,Sato,\xBB\xC4\xB3,0312,,,3\r\n");
    Start({path});
    QCOMPARE(Titles(Frame()), QStringList{"book.csv"});
    CUtilityView* view = Frame()->ActiveChild()->GetView();
    QCOMPARE(view->Lists().NumberList()->model()->rowCount(), 1);
    QCOMPARE(view->Lists().NumberList()->model()->index(0, 2).data().toString(), QString::fromUtf8("ｻﾄｳ"));
  }

  void secondInstanceIsRefusedAndTheFirstGoesOn() {
    Start();
    CUtilityApp second(*m_environment, m_lockName);
    QVERIFY(!second.InitInstance({}));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("二重起動"));
    QCOMPARE(m_prompts->Last().text,
             QString::fromUtf8("「Velmora-QV 電話帳ソフト」はすでに起動しています。\r\n\r\n"
                               "起動中の「Velmora-QV 電話帳ソフト」を終了してから、再起動してください。"));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    QVERIFY(m_prompts->Last().owner == nullptr);
    QCOMPARE(Frame()->Children().size(), 1);
  }

  void aFourthPhonebookIsRefused() {
    Start();
    QVERIFY(m_app->OnFileNew());
    QVERIFY(m_app->OnFileNew());
    QVERIFY(!m_app->OnFileNew());
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("ファイルの新規作成"));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    const QString path = BookPath("more.csv", "");
    QVERIFY(!m_app->OpenDocumentFile(path));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("ファイルのオープン"));
    // A dropped file meets the same refusal.
    m_prompts->Clear();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QVERIFY(Frame()->OnDropFiles(data));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("ファイルのオープン"));
    QCOMPARE(Frame()->Children().size(), 3);
    // Closing one makes room again; the refused attempt did not use up a title number.
    QVERIFY(Frame()->Children().first()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_app->OnFileNew());
    QCOMPARE(Titles(Frame()).last(), QString::fromUtf8("電話帳4"));
  }

  // Not for want of a slot: the refusal names the work folder and what is wrong with it.
  void anUnusableWorkFolderIsNamedInTheRefusal() {
    const QString notAFolder = BookPath("qvbook", "");
    m_environment = StoreEnvironment::CreateShared(QFile::encodeName(notAFolder).toStdString());
    m_app = std::make_unique<CUtilityApp>(*m_environment, m_lockName);
    QVERIFY(!m_app->InitInstance({}));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("ファイルの新規作成"));
    QVERIFY2(m_prompts->Last().text.endsWith(
                 QString::fromUtf8("\r\n\r\n作業用フォルダ %1 を使用できません（フォルダではありません）。")
                     .arg(notAFolder)),
             qPrintable(m_prompts->Last().text));
  }

  void droppedFilesOpenEachInItsWindowAndOpenFilesAreActivated() {
    Start();
    const QString a = BookPath("a.csv", "");
    const QString b = BookPath("b.txt", "");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    QVERIFY(Frame()->OnDropFiles(data));
    QCOMPARE(Titles(Frame()), (QStringList{QString::fromUtf8("電話帳1"), "a.csv", "b.txt"}));
    CUtilityDoc* again = m_app->OpenDocumentFile(m_folder.path() + "/./a.csv");
    QCOMPARE(Frame()->Children().size(), 3);
    QCOMPARE(Frame()->ActiveChild()->GetDocument(), again);
    QCOMPARE(again->GetTitle(), QString("a.csv"));
  }

  void openFailuresNameThePathAndOpenNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("missing") << "missing.csv" << QString::fromUtf8("Velmora-QV 電話帳ソフト")
                             << QString::fromUtf8("%1\nこのファイルが見つかりません。\nパスとファイル名が正しいかどうか確認してださい。")
                             << int(MessageIcon::Warning);
    QTest::newRow("below a file") << "bad.csv/book.csv" << QString::fromUtf8("Velmora-QV 電話帳ソフト")
                                  << QString::fromUtf8("%1\nこのファイルが見つかりません。\nパスとファイル名が正しいかどうか確認してださい。")
                                  << int(MessageIcon::Warning);
    QTest::newRow("folder") << "folder.csv" << QString::fromUtf8("Velmora-QV 電話帳ソフト")
                            << QString::fromUtf8("%1 の読み取り中に予期しないエラーが発生しました。")
                            << int(MessageIcon::Warning);
    QTest::newRow("not a phonebook") << "bad.csv" << QString::fromUtf8("ファイルからデータの読出し")
                                     << QString::fromUtf8("ファイル形式が不正です。\r\n\r\n指定したファイルをご確認ください。")
                                     << int(MessageIcon::Error);
  }

  void openFailuresNameThePathAndOpenNothing() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QDir(m_folder.path()).mkdir("folder.csv");
    BookPath("bad.csv", "0001,a,,1,,,1\r\n0001,b,,2,,,1\r\n");
    Start();
    const QString path = m_folder.filePath(name);
    QVERIFY(!m_app->OpenDocumentFile(path));
    QCOMPARE(m_prompts->Last().caption, caption);
    QCOMPARE(m_prompts->Last().text, text.contains("%1") ? text.arg(path) : text);
    QCOMPARE(int(m_prompts->Last().icon), icon);
    QCOMPARE(Frame()->Children().size(), 1);
    // qvbook-cli says the same.
    const QString cli = CliErrors({QStringLiteral("show"), path});
    QVERIFY2(cli.startsWith(caption + "\n" + TerminalLines(m_prompts->Last().text)), qPrintable(cli));
  }

  void openDialogHasTheTitleAndFilters() {
    Start();
    const QString path = BookPath("chosen.csv", "");
    m_prompts->openAnswer = {path};
    QVERIFY(Frame()->ExecuteCommand(57601));
    QCOMPARE(m_prompts->fileDialogs.back().title, QString::fromUtf8("開く"));
    QCOMPARE(m_prompts->fileDialogs.back().filters,
             (QStringList{QString::fromUtf8("CSV ファイル (*.csv)"), QString::fromUtf8("すべてのファイル (*.*)")}));
    QCOMPARE(Titles(Frame()).last(), QString("chosen.csv"));
  }

  void closingAModifiedPhonebookAsksToSave() {
    Start();
    CChildFrame* child = Frame()->ActiveChild();
    child->GetDocument()->SetModifiedFlag();
    m_prompts->answers.push_back(PromptAnswer::Cancel);
    QVERIFY(!child->close());
    const MessageRequest& asked = m_prompts->Last();
    QCOMPARE(asked.text, QString::fromUtf8("電話帳1 への変更を保存しますか?"));
    QCOMPARE(asked.buttons, PromptButtons::YesNoCancel);
    QCOMPARE(asked.defaultButton, PromptAnswer::Yes);
    QCOMPARE(Frame()->Children().size(), 1);
    // Yes saves through the save dialog, then the window goes.
    const QString path = m_folder.filePath("saved.csv");
    m_prompts->answers.push_back(PromptAnswer::Yes);
    m_prompts->saveAnswer = path;
    QCOMPARE(child->GetDocument()->Store().AddEntry(MakeEntry(12, Kana::A)), StoreResult::Ok);
    QVERIFY(child->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_prompts->fileDialogs.back().title, QString::fromUtf8("名前を付けて保存"));
    QCOMPARE(ReadFile(path), QByteArray("0012,N12,\xB1,0123,,,1\r\n"));
    QCOMPARE(Frame()->Children().size(), 0);
    QCOMPARE(Frame()->CurrentMenuId(), 128);
  }

  void exitAsksForEveryModifiedPhonebookAndCancelKeepsRunning() {
    Start();
    m_app->OnFileNew();
    for (CChildFrame* child : Frame()->Children()) child->GetDocument()->SetModifiedFlag();
    m_prompts->answers = {PromptAnswer::No, PromptAnswer::Cancel};
    QVERIFY(!Frame()->close());
    QCOMPARE(m_prompts->messages.size(), size_t(2));
    QCOMPARE(Frame()->Children().size(), 1);
  }

  void failedSaveKeepsThePreviousFileAndTheModifiedFlag() {
    Start();
    CUtilityDoc* doc = Frame()->ActiveChild()->GetDocument();
    QCOMPARE(doc->Store().AddEntry(MakeEntry(1, Kana::A)), StoreResult::Ok);
    doc->SetModifiedFlag();
    const QString missingFolder = m_folder.filePath("no/such/book.csv");
    QVERIFY(!doc->DoSave(missingFolder));
    const QString text = QString::fromUtf8("%1 の書き込み中に予期しないエラーが発生しました。").arg(missingFolder);
    const QString reason = missingFolder + ": " + QString::fromLocal8Bit(std::strerror(ENOENT));
    QCOMPARE(m_prompts->Last().text, text + "\r\n\r\n" + reason);  // the cause too, as qvbook-cli's detail lines
    const QString cli = CliErrors({QStringLiteral("convert"), BookPath("in.csv", ""), missingFolder});
    QVERIFY2(cli.contains("\n" + text + "\n" + reason + "\n"), qPrintable(cli));
    QVERIFY(doc->IsModified());
    QCOMPARE(doc->GetTitle(), QString::fromUtf8("電話帳1"));
    // A good save takes the path and name; saving again under ".CSV" writes tabs.
    const QString path = m_folder.filePath("book.CSV");
    QVERIFY(doc->DoSave(path));
    QVERIFY(!doc->IsModified());
    QCOMPARE(doc->GetTitle(), QString("book.CSV"));
    QCOMPARE(ReadFile(path), QByteArray("0001\tN1\t\xB1\t0123\t\t\t1\r\n"));
  }
};

QTEST_MAIN(EditorAppTest)
#include "EditorAppTest.moc"

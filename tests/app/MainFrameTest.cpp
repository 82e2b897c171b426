// The main window: both menu bars, the toolbar, the accelerators, the command states with
// and without a phonebook, the status bar, the about box and the manual command.
#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QTemporaryDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "ui/CommandIds.h"
#include "app/MainFrame.h"
#include "app/ManualLauncher.h"
#include "ui/CommandTable.h"
#include "ui/MenuBuilder.h"
#include "ui/MenuResources.h"
#include "app/UtilityApp.h"
#include "comm/ui/ProgressDialog.h"
#include "doc/UtilityDoc.h"
#include "support/EditorFixture.h"
#include "view/UtilityView.h"

namespace {

// The menu bar as "title: id id - id" lines ("-" a separator).
QStringList MenuOutline(QMenuBar* bar) {
  QStringList lines;
  for (QAction* top : bar->actions()) {
    QString line = top->text() + ":";
    for (QAction* item : top->menu()->actions())
      line += item->isSeparator() ? QString(" -") : QString(" %1").arg(CommandIdOf(item));
    lines << line;
  }
  return lines;
}

class FakeShell : public IShellLauncher {
 public:
  bool StartProgram(const QString& program, const QStringList& arguments) override {
    started << program + " " + arguments.join(' ');
    return readerInstalled;
  }
  bool OpenWithAssociatedProgram(const QString& path) override {
    opened << path;
    return true;
  }
  bool readerInstalled = false;
  QStringList started;
  QStringList opened;
};

}  // namespace

class MainFrameTest : public EditorTest<> {
  Q_OBJECT

 private:
  CUtilityView* View() { return Frame()->ActiveChild()->GetView(); }
  bool Enabled(int id) { return Frame()->QueryCommand(id).enabled; }

  void CloseAll() {
    QVERIFY(Frame()->CloseAllChildren());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private slots:
  void init() {
    SetUpEditor();
    QVERIFY(StartApp());
    QApplication::setActiveWindow(Frame());
  }
  void cleanup() { TearDownEditor(); }

  void menusSwitchWithThePhonebookWindow() {
    QCOMPARE(MenuOutline(Frame()->menuBar()),
             (QStringList{
                 QString::fromUtf8("ファイル(&F): 57600 57601 57602 57603 57604 32798 32820 57665"),
                 QString::fromUtf8("編集(&E): 57643 57644 - 57635 57634 57637 - 57636"),
                 QString::fromUtf8("表示(&V): 59392 59393 - 32773 32774"),
                 QString::fromUtf8("データ(&D): 32778 32779 32793 - 32780"),
                 QString::fromUtf8("通信(&C): 32783 32784 - 32830 32831"),
                 QString::fromUtf8("ウィンドウ(&W): 57650 57651 57649"),
                 QString::fromUtf8("ヘルプ(&H): 32805 57664")}));
    CloseAll();
    QCOMPARE(Frame()->CurrentMenuId(), 128);
    QCOMPARE(MenuOutline(Frame()->menuBar()),
             (QStringList{QString::fromUtf8("ファイル(&F): 57600 57601 - 57602 57665"),
                          QString::fromUtf8("表示(&V): 59392 59393"),
                          QString::fromUtf8("通信(&C): 32783 32784 - 32830 32831"),
                          QString::fromUtf8("ヘルプ(&H): 57666 57664 - 32803")}));
    QCOMPARE(Frame()->windowTitle(), QString::fromUtf8("Velmora-QV 電話帳ソフト"));
  }

  void commandsWithoutAPhonebook() {
    CloseAll();
    QVERIFY(Enabled(ID_FILE_NEW) && Enabled(ID_FILE_OPEN) && Enabled(ID_APP_EXIT));
    QVERIFY(Enabled(ID_DOWNLOAD) && Enabled(ID_APP_ABOUT) && Enabled(ID_OPEN_MANUAL));
    QVERIFY(Enabled(ID_VIEW_TOOLBAR) && Frame()->QueryCommand(ID_VIEW_TOOLBAR).checked == Frame()->ToolBar()->isVisible());
    for (int id : {ID_UPLOAD, ID_FILE_CLOSE, ID_FILE_SAVE, ID_HELP_FINDER, ID_EDIT_CUT,
                   ID_KANA_ORDER, ID_ADD_ENTRY, ID_EDIT_UNDO, ID_NEXT_PANE})
      QVERIFY2(!Enabled(id), qPrintable(QString::number(id)));
    // New from the menu makes a phonebook window again.
    QVERIFY(Frame()->ExecuteCommand(ID_FILE_NEW));
    QCOMPARE(Frame()->CurrentMenuId(), 129);
  }

  void toolbarButtonsFollowTheStates() {
    QList<int> ids;
    for (QAction* action : Frame()->ToolBar()->actions())
      if (!action->isSeparator()) ids << CommandIdOf(action);
    // The search box closes the row.
    QCOMPARE(ids, (QList<int>{57600, 57601, 57603, 57635, 57634, 57637, 57643, 57644, 32773,
                              32774, 32778, 32783, 32784, 32805, 57664, 0}));
    CUtilityDoc* doc = Frame()->ActiveChild()->GetDocument();
    QCOMPARE(doc->Store().AddEntry(MakeEntry(1, Kana::A)), int(StoreOk));
    View()->OnUpdate();
    Frame()->UpdateCommandUI();
    QVERIFY(!Frame()->ToolBar()->Action(ID_EDIT_CUT)->isEnabled());
    QVERIFY(!Frame()->ToolBar()->Action(ID_EDIT_COPY)->isEnabled());
    QVERIFY(Frame()->ToolBar()->Action(ID_NUMBER_ORDER)->isChecked());
    QVERIFY(!Frame()->ToolBar()->Action(ID_KANA_ORDER)->isChecked());
    View()->Lists().NumberList()->SelectRow(0);
    QVERIFY(Frame()->ToolBar()->Action(ID_EDIT_CUT)->isEnabled());
    Frame()->ToolBar()->Action(ID_KANA_ORDER)->trigger();
    QCOMPARE(View()->Lists().Mode(), KanaOrder);
    QVERIFY(Frame()->ToolBar()->Action(ID_KANA_ORDER)->isChecked());
    QVERIFY(!Frame()->ToolBar()->Action(ID_NUMBER_ORDER)->isChecked());
    QCOMPARE(Frame()->ToolBar()->Action(ID_ADD_ENTRY)->toolTip(), QString::fromUtf8("新規追加"));
    QCOMPARE(Frame()->ToolBar()->Action(ID_ADD_ENTRY)->statusTip(), QString::fromUtf8("新規にデータを追加します"));
  }

  // The search box and the undo items reach the active phonebook; the status bar counts.
  void findAndUndoFromTheToolbarAndMenu() {
    PopulatePhonebook(*Frame()->ActiveChild()->GetDocument(), *View(),
                      {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka)});
    TypeText(Frame()->ToolBar()->FindBox(), QString::fromUtf8("ｱ"));
    QCOMPARE(Column(View()->Lists().NumberList(), 0), QStringList{"0001"});
    Frame()->UpdateCommandUI();
    QCOMPARE(Frame()->IdleMessage(), QString::fromUtf8("1 件が一致しました"));
    View()->Lists().NumberList()->SelectRow(0);
    m_prompts->answers = {PromptAnswer::Ok};
    QVERIFY(Frame()->ExecuteCommand(ID_DELETE_ENTRY));
    QMenu* editMenu = Frame()->menuBar()->actions()[1]->menu();
    emit editMenu->aboutToShow();
    QCOMPARE(editMenu->actions()[0]->text(), QString::fromUtf8("元に戻す: 削除\tCtrl+Z(&U)"));
    QCOMPARE(Frame()->ToolBar()->Action(ID_EDIT_UNDO)->toolTip(), QString::fromUtf8("元に戻す: 削除"));
    QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Column(View()->Lists().NumberList(), 0), QStringList{"0001"});
    emit editMenu->aboutToShow();
    QCOMPARE(editMenu->actions()[0]->text(), QString::fromUtf8("元に戻す\tCtrl+Z(&U)"));
    QVERIFY(!editMenu->actions()[0]->isEnabled());
  }

  // Each command is answered by the one target its row names, and every menu item,
  // toolbar button and shortcut comes from a row of its own.
  void everyCommandReachesTheTargetItsRowNames() {
    ICommandTarget& document = Frame()->ActiveChild()->GetDocument()->Commands();
    QSet<int> ids;
    QList<QKeySequence> keys;
    for (const CommandDef& row : CommandTable()) {
      const QByteArray name = QByteArray::number(row.id);
      QVERIFY2(!ids.contains(row.id), name.constData());
      ids << row.id;
      for (const QKeySequence& key : row.keys) {
        QVERIFY2(!keys.contains(key), qPrintable(key.toString()));
        keys << key;
      }
      CommandState state;
      const bool toView = row.target == CommandTarget::View ||
                          row.target == CommandTarget::ViewElseApplication;
      QVERIFY2(View()->OnUpdateCommand(row.id, state) == toView, name.constData());
      QVERIFY2(document.OnUpdateCommand(row.id, state) == (row.target == CommandTarget::Document),
               name.constData());
      // Those of the main window and the application are all enabled with a phonebook open.
      const bool toFrame = row.target == CommandTarget::MainWindow ||
                           row.target == CommandTarget::Application;
      if (toFrame || row.target == CommandTarget::None)
        QVERIFY2(Frame()->QueryCommand(row.id).enabled == toFrame, name.constData());
    }
    std::vector<int> placed = ToolbarCommands();
    for (int menu : {IDR_MAINFRAME, IDR_PHONEBOOK, IDR_CONTEXT_MENU})
      for (const PopupDef& popup : MenuResource(menu))
        placed.insert(placed.end(), popup.items.begin(), popup.items.end());
    for (int id : placed)
      QVERIFY2(id == 0 || CommandOf(id).text, qPrintable(QString::number(id)));
  }

  void displayModeItemsCarryRadioMarks() {
    QMenu* viewMenu = Frame()->menuBar()->actions()[2]->menu();
    emit viewMenu->aboutToShow();
    QAction* kana = viewMenu->actions()[3];
    QAction* number = viewMenu->actions()[4];
    QVERIFY(number->isChecked() && !kana->isChecked());
    QVERIFY(number->actionGroup() && number->actionGroup()->isExclusive());
  }

  void disabledAcceleratorsDoNothing() {
    // No row selected: Edit is disabled, so it does not run.
    QVERIFY(!Frame()->ExecuteCommand(ID_EDIT_ENTRY));
    QVERIFY(!Frame()->ExecuteCommand(ID_EDIT_UNDO));
    QCOMPARE(m_prompts->dialogsRun, 0);
    // An enabled accelerator runs its command.
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(Frame()->Children().size(), 2);
  }

  void windowMenuListsThePhonebooks() {
    m_app->OnFileNew();
    QMenu* windowMenu = Frame()->menuBar()->actions()[5]->menu();
    emit windowMenu->aboutToShow();
    emit windowMenu->aboutToShow();  // the list is rebuilt, not appended twice
    QStringList entries;
    for (QAction* action : windowMenu->actions())
      if (action->property("windowEntry").toBool() && !action->isSeparator())
        entries << QString("%1%2").arg(action->text(), action->isChecked() ? "*" : "");
    QCOMPARE(entries, (QStringList{QString::fromUtf8("&1 電話帳1"), QString::fromUtf8("&2 電話帳2*")}));
  }

  void statusBarShowsIdleTextAndLockPanes() {
    QStringList texts;
    for (QLabel* label : Frame()->statusBar()->findChildren<QLabel*>()) texts << label->accessibleName() + "=" + label->text();
    QVERIFY(texts.contains(QString::fromUtf8("=レディ")));
    for (const char* pane : {"CAP", "NUM", "SCRL"})
      QVERIFY(texts.contains(QString("%1=").arg(pane)));  // no lock lights offscreen
  }

  void aboutBoxShowsNameAndVersion() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QString::fromUtf8("バージョン情報 Velmora-QV 電話帳ソフト"));
    QCOMPARE(about.ProductLabel()->text(), QString::fromUtf8("Velmora-QV 電話帳ソフト"));
    QVERIFY(about.VersionLabel()->text().endsWith(QString::fromUtf8("Version 1.0.2　　　　　　　　　　　　　1.00")));
    QCOMPARE(FormatFileVersion(1, 0), QString("1.00"));
    QCOMPARE(FormatFileVersion(2, 15), QString("2.15"));
    QVERIFY(Frame()->ExecuteCommand(ID_APP_ABOUT));
    QCOMPARE(m_prompts->dialogsRun, 1);
  }

  void manualFallsBackToTheAssociatedProgram() {
    FakeShell shell;
    m_app->SetShellLauncher(&shell);
    QVERIFY(Frame()->ExecuteCommand(ID_OPEN_MANUAL));
    const QString name = QString::fromUtf8("Velmora-QV用電話帳編集ソフト_マニュアル.pdf");
    QCOMPARE(shell.started.size(), 1);
    QVERIFY(shell.started.first().startsWith("acrord32 "));
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(shell.opened.first().endsWith(name));
    shell.readerInstalled = true;
    QVERIFY(Frame()->ExecuteCommand(ID_OPEN_MANUAL));
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(m_prompts->messages.empty());
    m_app->SetShellLauncher(&DesktopShell());
  }

  // A screen reader reads the names: they follow the captions, and the progress label's
  // name is its text.
  void accessibleNamesFollowWhatTheScreenShows() {
    const auto name = [](QObject* object) {
      return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
    };
    QCOMPARE(name(Frame()), Frame()->windowTitle());
    QVERIFY(Frame()->windowTitle().contains(QString::fromUtf8(" - 電話帳1")));
    QTemporaryDir folder;
    m_prompts->saveAnswer = folder.filePath(QStringLiteral("renamed.csv"));
    QVERIFY(Frame()->ExecuteCommand(ID_FILE_SAVE_AS));
    QVERIFY(Frame()->windowTitle().contains(QStringLiteral(" - renamed.csv")));
    QCOMPARE(name(Frame()), Frame()->windowTitle());
    QCOMPARE(name(Frame()->ActiveChild()), QStringLiteral("renamed.csv"));
    QCOMPARE(name(View()), QStringLiteral("renamed.csv"));

    CProgressDialog progress;
    progress.SetProgress(54000);
    QCOMPARE(name(progress.PercentLabel()), QStringLiteral("45%"));
  }

  void manualIsLookedForBeforeTheCurrentFolder() {
    QTemporaryDir first, second;
    const QString name = QString::fromUtf8("Velmora-QV用電話帳編集ソフト_マニュアル.pdf");
    QFile(second.filePath(name)).open(QIODevice::WriteOnly);
    QCOMPARE(FindManual({first.path(), second.path()}), second.filePath(name));
    QCOMPARE(FindManual({first.path()}), name);
  }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"

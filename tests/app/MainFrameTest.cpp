// The main window: both menu bars, the toolbar, the accelerators, the command states with
// and without a phonebook, the status bar, the about box and the manual command.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QTemporaryDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QHeaderView>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>
#include <QSizeGrip>
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
#include "view/FindBar.h"
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

// The objects under `node` that a user can focus or press and that have no name, by class.
// A table's cells are its data (an empty phone number is an empty cell): the table is
// checked, not its cells.
QStringList UnnamedControls(QAccessibleInterface* node) {
  QStringList unnamed;
  for (int i = 0; i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    if (!child || child->state().invisible) continue;
    const QStringList actions = child->actionInterface() ? child->actionInterface()->actionNames() : QStringList();
    const bool pressable = actions.contains(QAccessibleActionInterface::pressAction()) ||
                           actions.contains(QAccessibleActionInterface::toggleAction());
    if ((child->state().focusable || pressable) && child->text(QAccessible::Name).trimmed().isEmpty())
      unnamed << (child->object() ? child->object()->metaObject()->className() : "?");
    if (child->role() != QAccessible::Table) unnamed << UnnamedControls(child);
  }
  return unnamed;
}

QStringList UnnamedControls(QObject* root) {
  return UnnamedControls(QAccessible::queryAccessibleInterface(root));
}

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
                 QString::fromUtf8("データ(&D): 32778 32779 32793 - 32821 - 32780"),
                 QString::fromUtf8("通信(&C): 32783 32784 - 32830 32831 32832"),
                 QString::fromUtf8("ウィンドウ(&W): 57650 57651 57649 - 32840 32841 32842"),
                 QString::fromUtf8("ヘルプ(&H): 32805 57664")}));
    CloseAll();
    QCOMPARE(Frame()->CurrentMenuId(), 128);
    QCOMPARE(MenuOutline(Frame()->menuBar()),
             (QStringList{QString::fromUtf8("ファイル(&F): 57600 57601 - 57602 57665"),
                          QString::fromUtf8("表示(&V): 59392 59393"),
                          QString::fromUtf8("通信(&C): 32783 32784 - 32830 32831 32832"),
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
    QCOMPARE(ids, (QList<int>{57600, 57601, 57603, 57635, 57634, 57637, 57643, 57644, 57636,
                              32773, 32774, 32778, 32783, 32784, 32805, 57664}));
    CUtilityDoc* doc = Frame()->ActiveChild()->GetDocument();
    QCOMPARE(doc->Store().AddEntry(MakeEntry(1, Kana::A)), StoreResult::Ok);
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
    // A command with only a prompt is named by its menu words (the prompt describes it).
    QCOMPARE(Frame()->ToolBar()->Action(ID_OPEN_MANUAL)->text(), QString::fromUtf8("マニュアル"));
  }

  // The search button and the undo items reach the active phonebook; the status bar counts.
  void findAndUndoFromTheToolbarAndMenu() {
    PopulatePhonebook(*Frame()->ActiveChild()->GetDocument(), *View(),
                      {MakeEntry(1, Kana::A), MakeEntry(2, Kana::Ka)});
    Frame()->ToolBar()->Action(ID_EDIT_FIND)->trigger();
    QLineEdit* field = View()->Find().FindBar()->Field();
    QVERIFY(field->isVisible() && field->hasFocus());
    TypeText(field, QString::fromUtf8("ｱ"));
    QCOMPARE(Column(View()->Lists().NumberList(), 0), QStringList{"0001"});
    Frame()->UpdateCommandUI();
    QCOMPARE(Frame()->IdleMessage(), QString::fromUtf8("1 件が一致しました"));
    View()->Lists().NumberList()->SelectRow(0);
    m_prompts->answers = {PromptAnswer::Ok};
    QVERIFY(Frame()->ExecuteCommand(ID_DELETE_ENTRY));
    QMenu* editMenu = Frame()->menuBar()->actions()[1]->menu();
    emit editMenu->aboutToShow();
    QCOMPARE(editMenu->actions()[0]->text(), QString::fromUtf8("元に戻す - 削除\tCtrl+Z(&U)"));
    QCOMPARE(Frame()->ToolBar()->Action(ID_EDIT_UNDO)->toolTip(), QString::fromUtf8("元に戻す - 削除"));
    QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Column(View()->Lists().NumberList(), 0), QStringList{"0001"});
    emit editMenu->aboutToShow();
    QCOMPARE(editMenu->actions()[0]->text(), QString::fromUtf8("元に戻す\tCtrl+Z(&U)"));
    QVERIFY(!editMenu->actions()[0]->isEnabled());
    QCOMPARE(editMenu->actions()[1]->text(), QString::fromUtf8("やり直し - 削除\tCtrl+Y(&R)"));
  }

  // "*" marks unsaved changes in the phonebook window's caption and in the main window's,
  // follows undo back to the saved state and goes with a save.
  void captionsMarkUnsavedChanges() {
    CChildFrame* first = Frame()->ActiveChild();
    QVERIFY(first->windowTitle().endsWith("[*]") && Frame()->windowTitle().contains("[*]"));
    const auto marks = [this, first] {  // the windows' marks, and what a screen reader reads
      return QString("%1%2%3").arg(first->isWindowModified()).arg(Frame()->isWindowModified())
          .arg(QAccessible::queryAccessibleInterface(Frame())->text(QAccessible::Name).contains('*'));
    };
    m_prompts->dialogScripts.push_back(Fill({{FieldName, "Kato"}, {FieldReading, "KATO"}, {FieldPhone1, "1"}}));
    View()->Entries().OnAddEntry();
    QCOMPARE(marks(), QString("111"));
    QVERIFY(Frame()->ExecuteCommand(ID_EDIT_UNDO));
    QCOMPARE(marks(), QString("000"));
    QVERIFY(Frame()->ExecuteCommand(ID_EDIT_REDO));
    QTemporaryDir folder;
    m_prompts->saveAnswer = folder.filePath(QStringLiteral("saved.csv"));
    QVERIFY(Frame()->ExecuteCommand(ID_FILE_SAVE));
    QCOMPARE(marks(), QString("000"));
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
      // Those of the main window and the application are all enabled with a phonebook open
      // (its window maximised).
      const bool toFrame = (row.target == CommandTarget::MainWindow ||
                            row.target == CommandTarget::Application) &&
                           row.id != ID_WINDOW_MAXIMIZE;
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

  // At the main window's first size a full list scrolls down but not sideways.
  void columnsFitTheDefaultWindow() {
    std::vector<PhonebookEntry> entries;
    for (int number = 1; number <= 100; ++number) entries.push_back(MakeEntry(number, Kana::A));
    PopulatePhonebook(*Frame()->ActiveChild()->GetDocument(), *View(), entries);
    Frame()->show();
    CPhoneList* list = View()->Lists().NumberList();
    QTRY_VERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(list->horizontalHeader()->length() <= list->viewport()->width());
  }

  // Cascaded, each phonebook window keeps at least half the area and the title bars of those
  // behind it show; the window menu minimises as the title bar's button does.
  void windowMenuArrangesThePhonebookWindows() {
    Frame()->show();
    m_app->OnFileNew();
    QVERIFY(Frame()->ExecuteCommand(ID_WINDOW_MINIMIZE) && Frame()->ActiveChild()->isMinimized());
    QVERIFY(Frame()->ExecuteCommand(ID_WINDOW_CASCADE));
    const QSize area = Frame()->MdiArea()->viewport()->size();
    const QList<CChildFrame*> windows = Frame()->Children();
    for (CChildFrame* window : windows)
      QVERIFY(window->width() >= area.width() / 2 && window->height() >= area.height() / 2);
    QVERIFY(windows[1]->y() - windows[0]->y() >= 10);
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
    about.show();
    QCOMPARE(about.windowTitle(), QString::fromUtf8("バージョン情報 Velmora-QV 電話帳ソフト"));
    QCOMPARE(about.ProductLabel()->text(), QString::fromUtf8("Velmora-QV 電話帳ソフト"));
    QCOMPARE(about.VersionLabel()->text(), QString::fromUtf8("Version 1.0.2 (1.00)"));
    for (QLabel* label : {about.ProductLabel(), about.VersionLabel(), about.NoteLabel()})
      QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));  // one line
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
    // Without changes the caption shows no mark.
    const auto caption = [this] { return Frame()->windowTitle().remove(QStringLiteral("[*]")); };
    QCOMPARE(name(Frame()), caption());
    QCOMPARE(caption(), QString::fromUtf8("Velmora-QV 電話帳ソフト - [電話帳1]"));
    QTemporaryDir folder;
    m_prompts->saveAnswer = folder.filePath(QStringLiteral("renamed.csv"));
    QVERIFY(Frame()->ExecuteCommand(ID_FILE_SAVE_AS));
    QCOMPARE(caption(), QString::fromUtf8("Velmora-QV 電話帳ソフト - [renamed.csv]"));
    QCOMPARE(name(Frame()), caption());
    QCOMPARE(name(Frame()->ActiveChild()), QStringLiteral("renamed.csv"));
    QCOMPARE(name(View()), QStringLiteral("renamed.csv"));

    CProgressDialog progress;
    progress.SetProgress(54000);
    QCOMPARE(name(progress.PercentLabel()), QStringLiteral("45%"));
  }

  // Everything a user can focus or press has a name: in the main window with the search in
  // use in both orders, its menus and the entry dialog; the status bar and its grip too.
  void everyControlHasAName() {
    Frame()->show();
    View()->Find().OnEditFind();
    TypeText(View()->Find().FindBar()->Field(), "0");
    QCOMPARE(UnnamedControls(Frame()), QStringList());
    View()->Lists().OnKanaOrder();
    QCOMPARE(UnnamedControls(Frame()), QStringList());
    for (QAction* top : Frame()->menuBar()->actions()) {
      top->menu()->popup(QPoint());
      QCOMPARE(UnnamedControls(top->menu()), QStringList());
      top->menu()->hide();
    }
    QStringList inDialog{"not shown"};
    m_prompts->dialogScripts.push_back([&](QDialog& dialog) { inDialog = UnnamedControls(&dialog); return 0; });
    View()->Entries().OnAddEntry();
    QCOMPARE(inDialog, QStringList());
    for (QWidget* part : QList<QWidget*>{Frame()->statusBar(), Frame()->statusBar()->findChild<QSizeGrip*>()})
      QVERIFY(!QAccessible::queryAccessibleInterface(part)->text(QAccessible::Name).isEmpty());
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

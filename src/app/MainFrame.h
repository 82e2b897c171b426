// The main window: menu bar (one for no phonebook, one while a phonebook window is active),
// toolbar, status bar with prompts and lock-key panes, the accelerators, and the area
// that holds the maximised phonebook windows. It routes every command to its handler.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>

#include "ui/CommandTarget.h"

class CChildFrame;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;
class QToolBar;

class CMainFrame : public QMainWindow, public ICommandTarget {
  Q_OBJECT

 public:
  // `application` is the last target of the command route.
  explicit CMainFrame(ICommandTarget* application, QWidget* parent = nullptr);
  ~CMainFrame() override;

  QMdiArea* MdiArea() const { return m_pMdiArea; }
  QToolBar* ToolBar() const { return m_pToolBar; }
  CChildFrame* ActiveChild() const;
  QList<CChildFrame*> Children() const;
  // Shows a new phonebook window, maximised and active.
  void AddChild(CChildFrame* child);
  // Closes every phonebook window; false when one of them stayed open.
  bool CloseAllChildren();

  // 128 while no phonebook window is active, 129 otherwise.
  int CurrentMenuId() const { return m_nMenuId; }
  // The state a command has now, from the first target on the route that knows it.
  CommandState QueryCommand(int id);
  // Runs a command when it is enabled; false when it was not run.
  bool ExecuteCommand(int id);
  // Brings the toolbar, the menu items and the status panes up to date.
  void UpdateCommandUI();
  // The toolbar button of a command.
  QAction* ToolbarAction(int id) const { return m_toolbarActions.value(id); }
  // The toolbar's search box: what is typed searches the active phonebook.
  QLineEdit* FindBox() const { return m_pFindBox; }
  // The status bar's message pane when no prompt is shown: "レディ", or during a search
  // how many entries of the active phonebook match.
  QString IdleMessage() const;
  // Files dropped on the window open as phonebooks; false when `data` holds no file.
  bool OnDropFiles(const QMimeData& data);

  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

 signals:
  void filesDropped(const QStringList& paths);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateToolBar();
  void CreateFindBox();
  void ShowFindText(const QString& text);
  void CreateStatusBar();
  void CreateAccelerators();
  void LoadMenu(int menuId);
  void UpdateMenuStates(QMenu* menu);
  void FillWindowList(QMenu* menu);
  void OnSubWindowActivated(QMdiSubWindow* window);
  void UpdateTitle();
  void UpdateLockKeyPanes();
  QList<ICommandTarget*> Route() const;
  // While a blocking step of a phonebook's transfer session runs (see
  // CUtilityDoc::IsSessionStepRunning), the commands of that phonebook and the exit are
  // held back, whichever route (menu, toolbar, key, accessibility action) they come by.
  bool IsHeldBySessionStep(int id, const ICommandTarget* target) const;
  bool AnySessionStepRunning() const;

  ICommandTarget* m_pApplication;
  QMdiArea* m_pMdiArea = nullptr;
  QToolBar* m_pToolBar = nullptr;
  QLineEdit* m_pFindBox = nullptr;
  QLabel* m_pIdleLabel = nullptr;
  QLabel* m_pCapsPane = nullptr;
  QLabel* m_pNumPane = nullptr;
  QLabel* m_pScrollPane = nullptr;
  QMap<int, QAction*> m_toolbarActions;
  int m_nMenuId = 0;
};

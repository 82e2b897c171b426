// The main window: menu bar (one for no phonebook, one while a phonebook window is active),
// toolbar, status bar, the shortcuts, and the area that holds the maximised phonebook
// windows. Its menus, toolbar and shortcuts run commands through the command router.
#pragma once

#include <QList>
#include <QMainWindow>

#include <memory>

#include "ui/CommandHandlers.h"

class CChildFrame;
class CCommandRouter;
class CMainToolBar;
class CStatusPanes;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // `application` handles the application's commands.
  explicit CMainFrame(ICommandTarget& application, QWidget* parent = nullptr);
  ~CMainFrame() override;

  QMdiArea* MdiArea() const { return m_pMdiArea; }
  CMainToolBar* ToolBar() const { return m_pToolBar; }
  CChildFrame* ActiveChild() const;
  QList<CChildFrame*> Children() const;
  // Shows a new phonebook window, maximised and active.
  void AddChild(CChildFrame* child);
  // Closes every phonebook window; false when one of them stayed open.
  bool CloseAllChildren();

  // 128 while no phonebook window is active, 129 otherwise.
  int CurrentMenuId() const { return m_nMenuId; }
  // The state a command has now, from the target the command table names.
  CommandState QueryCommand(int id) const;
  // Runs a command when it is enabled; false when it was not run.
  bool ExecuteCommand(int id);
  // Brings the toolbar, the menu items and the status panes up to date.
  void UpdateCommandUI();
  // The status bar's message pane when no prompt is shown: "レディ", or during a search
  // how many entries of the active phonebook match.
  QString IdleMessage() const;
  // Files dropped on the window open as phonebooks; false when `data` holds no file.
  bool OnDropFiles(const QMimeData& data);

 signals:
  void filesDropped(const QStringList& paths);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BindCommands();
  void CreateShortcuts();
  void LoadMenu(int menuId);
  void UpdateMenuStates(QMenu* menu);
  void FillWindowList(QMenu* menu);
  void OnSubWindowActivated(QMdiSubWindow* window);
  void UpdateTitle();

  QMdiArea* m_pMdiArea = nullptr;
  CMainToolBar* m_pToolBar = nullptr;
  std::unique_ptr<CStatusPanes> m_pStatusPanes;
  CCommandHandlers m_commands;              // the main window's own commands
  std::unique_ptr<CCommandRouter> m_pRouter;
  int m_nMenuId = 0;
};

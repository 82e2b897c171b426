// The main window.
#include "app/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include "app/ChildFrame.h"
#include "app/CommandRouter.h"
#include "app/Icons.h"
#include "app/MainToolBar.h"
#include "app/StatusPanes.h"
#include "app/WindowArrangement.h"
#include "doc/UtilityDoc.h"
#include "ui/CommandIds.h"
#include "ui/CommandTable.h"
#include "ui/MenuBuilder.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/UtilityView.h"

namespace {

constexpr int kIdleUpdateMs = 250;  // how often toolbar states and lock keys are refreshed

}  // namespace

CMainFrame::CMainFrame(ICommandTarget& application, QWidget* parent) : QMainWindow(parent) {
  setWindowIcon(MainWindowIcon());
  // No accessible name of its own: a screen reader then names the window by its caption,
  // with the phonebook's title that the maximised phonebook window adds to it.
  setAcceptDrops(true);
  m_pMdiArea = new QMdiArea(this);
  m_pMdiArea->setViewMode(QMdiArea::SubWindowView);
  setCentralWidget(m_pMdiArea);
  connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
  m_pRouter = std::make_unique<CCommandRouter>(*m_pMdiArea, m_commands, application);
  BindCommands();

  m_pToolBar = new CMainToolBar(this);
  connect(m_pToolBar, &CMainToolBar::commandTriggered, this, &CMainFrame::ExecuteCommand);
  addToolBar(Qt::TopToolBarArea, m_pToolBar);
  m_pStatusPanes = std::make_unique<CStatusPanes>(*statusBar());
  CreateShortcuts();
  LoadMenu(IDR_MAINFRAME);
  UpdateTitle();

  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
  idle->start(kIdleUpdateMs);
  resize(1024, 720);
}

CMainFrame::~CMainFrame() {
  // The windows go first, while this frame is still whole; none of them reports back.
  disconnect(m_pMdiArea, nullptr, this, nullptr);
  // Closed windows waiting for deletion are among the children too.
  for (CChildFrame* child : findChildren<CChildFrame*>()) {
    disconnect(child, nullptr, this, nullptr);
    disconnect(child->GetDocument(), nullptr, this, nullptr);
    disconnect(child->GetView(), nullptr, this, nullptr);
    delete child;
  }
}

void CMainFrame::BindCommands() {
  m_commands.BindState(ID_VIEW_TOOLBAR, [this](CommandState& state) {
    state.enabled = true;
    state.checked = m_pToolBar->isVisible();
  }, [this] { m_pToolBar->setVisible(!m_pToolBar->isVisible()); });
  m_commands.BindState(ID_VIEW_STATUS_BAR, [this](CommandState& state) {
    state.enabled = true;
    state.checked = statusBar()->isVisible();
  }, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
  const auto anyPhonebook = [this] { return ActiveChild() != nullptr; };
  m_commands.BindWhen(ID_WINDOW_CASCADE, anyPhonebook, [this] { CascadePhonebookWindows(*m_pMdiArea); });
  m_commands.BindWhen(ID_WINDOW_TILE_HORZ, anyPhonebook, [this] { m_pMdiArea->tileSubWindows(); });
  // Minimised windows already line up at the bottom.
  m_commands.BindWhen(ID_WINDOW_ARRANGE, anyPhonebook, [] {});
  // The buttons of the active phonebook window's title bar, for the keyboard and for
  // screen readers, which do not see those buttons.
  const auto activeIs = [this](bool (QWidget::*state)() const, bool wanted) {
    return [this, state, wanted] {
      const CChildFrame* child = ActiveChild();
      return child && (child->*state)() == wanted;
    };
  };
  m_commands.BindWhen(ID_WINDOW_MINIMIZE, activeIs(&QWidget::isMinimized, false),
                      [this] { ActiveChild()->showMinimized(); });
  m_commands.BindWhen(ID_WINDOW_MAXIMIZE, activeIs(&QWidget::isMaximized, false),
                      [this] { ActiveChild()->showMaximized(); });
  m_commands.BindWhen(ID_WINDOW_RESTORE, [this] {
    const CChildFrame* child = ActiveChild();
    return child && (child->isMinimized() || child->isMaximized());
  }, [this] { ActiveChild()->showNormal(); });
  m_commands.Bind(ID_HELP, [] {});  // the editor has no help content
}

void CMainFrame::CreateShortcuts() {
  for (const CommandDef& command : CommandTable()) {
    for (const QKeySequence& key : command.keys) {
      auto* shortcut = new QShortcut(key, this);
      shortcut->setContext(Qt::WindowShortcut);
      const int id = command.id;
      connect(shortcut, &QShortcut::activated, this, [this, id] { ExecuteCommand(id); });
    }
  }
}

void CMainFrame::LoadMenu(int menuId) {
  if (m_nMenuId == menuId) return;
  m_nMenuId = menuId;
  menuBar()->clear();
  for (const PopupDef& popup : MenuResource(menuId)) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup.title));
    AddMenuItems(*menu, popup, [this](int id) { ExecuteCommand(id); });
    const bool windowList = popup.windowList;
    connect(menu, &QMenu::aboutToShow, this, [this, menu, windowList] {
      if (windowList) FillWindowList(menu);
      UpdateMenuStates(menu);
    });
    UpdateMenuStates(menu);
  }
}

void CMainFrame::UpdateMenuStates(QMenu* menu) {
  for (QAction* action : menu->actions()) {
    const int id = CommandIdOf(action);
    if (id != 0) ApplyMenuState(*action, QueryCommand(id));
  }
}

// The open phonebook windows after the window menu's own items, the active one checked.
void CMainFrame::FillWindowList(QMenu* menu) {
  for (QAction* action : menu->actions())
    if (action->property("windowEntry").toBool()) menu->removeAction(action), action->deleteLater();
  const QList<CChildFrame*> children = Children();
  if (children.isEmpty()) return;
  menu->addSeparator()->setProperty("windowEntry", true);
  int number = 1;
  for (CChildFrame* child : children) {
    QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->GetDocument()->GetTitle()));
    action->setProperty("windowEntry", true);
    action->setCheckable(true);
    action->setChecked(child == ActiveChild());
    connect(action, &QAction::triggered, this, [this, child] { m_pMdiArea->setActiveSubWindow(child); });
  }
}

CChildFrame* CMainFrame::ActiveChild() const { return ActivePhonebookWindow(*m_pMdiArea); }

QList<CChildFrame*> CMainFrame::Children() const { return PhonebookWindows(*m_pMdiArea); }

void CMainFrame::AddChild(CChildFrame* child) {
  m_pMdiArea->addSubWindow(child);
  connect(child->GetDocument(), &CUtilityDoc::titleChanged, this, &CMainFrame::UpdateTitle);
  connect(child->GetDocument(), &CUtilityDoc::modifiedChanged, this, &CMainFrame::UpdateTitle);
  connect(child, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateTitle);
  connect(child->GetView(), &CUtilityView::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
  connect(child, &QObject::destroyed, this, [this] {
    if (m_pMdiArea->subWindowList().isEmpty()) OnSubWindowActivated(nullptr);
  });
  child->showMaximized();
  m_pMdiArea->setActiveSubWindow(child);
  OnSubWindowActivated(child);
}

bool CMainFrame::CloseAllChildren() {
  if (m_pRouter->AnySessionStepRunning()) return false;  // none closes, rather than some
  for (CChildFrame* child : Children())
    if (!child->close()) return false;
  return true;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
  auto* child = qobject_cast<CChildFrame*>(window);
  LoadMenu(child ? IDR_PHONEBOOK : IDR_MAINFRAME);
  UpdateTitle();
  if (child) child->GetView()->Lists().CurrentList()->setFocus();
  UpdateCommandUI();
}

void CMainFrame::UpdateTitle() {
  // The active phonebook's caption follows the program's name, in brackets while its
  // window is maximised ("... - [電話帳1*]"), marked "*" while the phonebook has unsaved
  // changes. Qt adds a maximised window's caption in brackets to a title that lacks it.
  QString title = Text(IDR_MAINFRAME);
  const CChildFrame* child = ActiveChild();
  if (child) {
    const QString caption = child->windowTitle();  // "[*]" marks the place of "*"
    title += child->isMaximized() ? QStringLiteral(" - [%1]").arg(caption) : QStringLiteral(" - ") + caption;
  }
  setWindowTitle(title);
  setWindowModified(child && child->GetDocument()->IsModified());
}

void CMainFrame::UpdateCommandUI() {
  m_pToolBar->UpdateStates([this](int id) { return QueryCommand(id); });
  m_pStatusPanes->SetIdleMessage(IdleMessage());
  m_pStatusPanes->UpdateLockKeys();
}

QString CMainFrame::IdleMessage() const {
  const CChildFrame* child = ActiveChild();
  const QString summary = child ? child->GetView()->Find().FindSummary() : QString();
  return summary.isEmpty() ? QString::fromUtf8(UiText::kIdleMessage) : summary;
}

CommandState CMainFrame::QueryCommand(int id) const { return m_pRouter->Query(id); }

bool CMainFrame::ExecuteCommand(int id) {
  if (!m_pRouter->Execute(id)) return false;
  UpdateCommandUI();
  return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!CloseAllChildren()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (OnDropFiles(*event->mimeData())) event->acceptProposedAction();
}

bool CMainFrame::OnDropFiles(const QMimeData& data) {
  QStringList paths;
  for (const QUrl& url : data.urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return false;
  activateWindow();
  emit filesDropped(paths);
  return true;
}

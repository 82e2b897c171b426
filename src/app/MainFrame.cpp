// The main window.
#include "app/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QTableView>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/ChildFrame.h"
#include "ui/CommandIds.h"
#include "app/Icons.h"
#include "ui/MenuBuilder.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "doc/UtilityDoc.h"
#include "platform/LockKeys.h"
#include "view/UtilityView.h"

namespace {

constexpr int kIdleUpdateMs = 250;  // how often toolbar states and lock keys are refreshed

// The X11 display the lock keys are read from; none on Windows, whose backend asks the
// keyboard directly, nor on a display system without X11 (offscreen, Wayland).
void* NativeDisplay() {
#if QT_CONFIG(xcb)
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
    return x11->display();
#endif
  return nullptr;
}

QLabel* MakePane(const QString& text) {
  auto* pane = new QLabel(text);
  pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pane->setAlignment(Qt::AlignCenter);
  pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 12);
  pane->setAccessibleName(text);
  return pane;
}

}  // namespace

CMainFrame::CMainFrame(ICommandTarget* application, QWidget* parent)
    : QMainWindow(parent), m_pApplication(application) {
  setWindowIcon(MainWindowIcon());
  // No accessible name of its own: a screen reader then names the window by its caption,
  // with the phonebook's title that the maximised phonebook window adds to it.
  setAcceptDrops(true);
  m_pMdiArea = new QMdiArea(this);
  m_pMdiArea->setViewMode(QMdiArea::SubWindowView);
  setCentralWidget(m_pMdiArea);
  connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

  CreateToolBar();
  CreateStatusBar();
  CreateAccelerators();
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

void CMainFrame::CreateToolBar() {
  m_pToolBar = new QToolBar(this);
  m_pToolBar->setObjectName(QStringLiteral("toolbar128"));
  m_pToolBar->setAccessibleName(QStringLiteral("ツール バー"));
  m_pToolBar->setMovable(true);
  m_pToolBar->setFloatable(true);
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_pToolBar->setIconSize(QSize(16, 15));
  for (int id : ToolbarCommands()) {
    if (id == 0) {
      m_pToolBar->addSeparator();
      continue;
    }
    QAction* action = m_pToolBar->addAction(CommandIcon(id), TooltipText(id));
    action->setProperty(kCommandIdProperty, id);
    const QString tooltip = TooltipText(id);
    action->setToolTip(tooltip);
    action->setStatusTip(PromptText(id));
    if (tooltip.isEmpty()) action->setText(PromptText(id));
    action->setCheckable(id == ID_KANA_ORDER || id == ID_NUMBER_ORDER);
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    m_toolbarActions.insert(id, action);
  }
  CreateFindBox();
  addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::CreateFindBox() {
  m_pFindBox = new QLineEdit(m_pToolBar);
  m_pFindBox->setPlaceholderText(Text(IDS_FIND_BOX_NAME));
  m_pFindBox->setAccessibleName(Text(IDS_FIND_BOX_NAME));
  m_pFindBox->setToolTip(TooltipText(ID_EDIT_FIND));
  m_pFindBox->setStatusTip(PromptText(ID_EDIT_FIND));
  m_pFindBox->setClearButtonEnabled(true);
  m_pFindBox->setMaximumWidth(m_pFindBox->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
  m_pFindBox->setEnabled(false);
  m_pToolBar->addSeparator();
  m_pToolBar->addWidget(m_pFindBox);
  connect(m_pFindBox, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (CChildFrame* child = ActiveChild()) child->GetView()->SetFindText(text);
  });
}

// The box shows the active phonebook's search; a box being typed in keeps its spaces.
void CMainFrame::ShowFindText(const QString& text) {
  if (m_pFindBox->text().trimmed() != text) m_pFindBox->setText(text);
}

void CMainFrame::CreateStatusBar() {
  m_pIdleLabel = new QLabel(QString::fromUtf8(UiText::kIdleMessage));
  statusBar()->addWidget(m_pIdleLabel, 1);
  m_pCapsPane = MakePane(QStringLiteral("CAP"));
  m_pNumPane = MakePane(QStringLiteral("NUM"));
  m_pScrollPane = MakePane(QStringLiteral("SCRL"));
  statusBar()->addPermanentWidget(m_pCapsPane);
  statusBar()->addPermanentWidget(m_pNumPane);
  statusBar()->addPermanentWidget(m_pScrollPane);
  UpdateLockKeyPanes();
}

void CMainFrame::CreateAccelerators() {
  for (const AcceleratorDef& accelerator : Accelerators()) {
    auto* shortcut = new QShortcut(accelerator.key, this);
    shortcut->setContext(Qt::WindowShortcut);
    const int id = accelerator.id;
    connect(shortcut, &QShortcut::activated, this, [this, id] { ExecuteCommand(id); });
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
    QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->windowTitle()));
    action->setProperty("windowEntry", true);
    action->setCheckable(true);
    action->setChecked(child == ActiveChild());
    connect(action, &QAction::triggered, this, [this, child] { m_pMdiArea->setActiveSubWindow(child); });
  }
}

CChildFrame* CMainFrame::ActiveChild() const {
  return qobject_cast<CChildFrame*>(m_pMdiArea->activeSubWindow());
}

QList<CChildFrame*> CMainFrame::Children() const {
  QList<CChildFrame*> children;
  for (QMdiSubWindow* window : m_pMdiArea->subWindowList())
    if (auto* child = qobject_cast<CChildFrame*>(window)) children.push_back(child);
  return children;
}

void CMainFrame::AddChild(CChildFrame* child) {
  m_pMdiArea->addSubWindow(child);
  connect(child->GetDocument(), &CUtilityDoc::titleChanged, this, &CMainFrame::UpdateTitle);
  connect(child->GetView(), &CUtilityView::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
  connect(child->GetView(), &CUtilityView::findTextChanged, this,
          [this, child](const QString& text) {
            if (child == ActiveChild()) ShowFindText(text);
          });
  connect(child, &QObject::destroyed, this, [this] {
    if (m_pMdiArea->subWindowList().isEmpty()) OnSubWindowActivated(nullptr);
  });
  child->showMaximized();
  m_pMdiArea->setActiveSubWindow(child);
  OnSubWindowActivated(child);
}

bool CMainFrame::CloseAllChildren() {
  if (AnySessionStepRunning()) return false;  // none closes, rather than some
  for (CChildFrame* child : Children())
    if (!child->close()) return false;
  return true;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
  auto* child = qobject_cast<CChildFrame*>(window);
  LoadMenu(child ? IDR_PHONEBOOK : IDR_MAINFRAME);
  UpdateTitle();
  m_pFindBox->setEnabled(child != nullptr);
  ShowFindText(child ? child->GetView()->FindText() : QString());
  if (child) child->GetView()->CurrentList()->setFocus();
  UpdateCommandUI();
}

void CMainFrame::UpdateTitle() {
  QString title = Text(IDR_MAINFRAME);
  if (CChildFrame* child = ActiveChild())
    title += QStringLiteral(" - ") + child->GetDocument()->GetTitle();
  setWindowTitle(title);
}

void CMainFrame::UpdateLockKeyPanes() {
  const LockKeyState keys = QueryLockKeys(NativeDisplay());
  // A pane keeps its place and shows its text only while its lock is on.
  const auto show = [](QLabel* pane, bool on, const char* text) {
    pane->setText(on ? QString::fromLatin1(text) : QString());
  };
  show(m_pCapsPane, keys.capsLock, "CAP");
  show(m_pNumPane, keys.numLock, "NUM");
  show(m_pScrollPane, keys.scrollLock, "SCRL");
}

void CMainFrame::UpdateCommandUI() {
  for (auto it = m_toolbarActions.begin(); it != m_toolbarActions.end(); ++it) {
    const CommandState state = QueryCommand(it.key());
    it.value()->setEnabled(state.enabled);
    if (it.value()->isCheckable()) it.value()->setChecked(state.checked);
    it.value()->setToolTip(state.label.isEmpty() ? TooltipText(it.key()) : state.label);
  }
  m_pIdleLabel->setText(IdleMessage());
  UpdateLockKeyPanes();
}

QString CMainFrame::IdleMessage() const {
  const CChildFrame* child = ActiveChild();
  const QString summary = child ? child->GetView()->FindSummary() : QString();
  return summary.isEmpty() ? QString::fromUtf8(UiText::kIdleMessage) : summary;
}

QList<ICommandTarget*> CMainFrame::Route() const {
  QList<ICommandTarget*> route;
  if (CChildFrame* child = ActiveChild()) {
    route << child->GetView() << child->GetDocument() << child;
  }
  route << const_cast<CMainFrame*>(this) << m_pApplication;
  return route;
}

CommandState CMainFrame::QueryCommand(int id) {
  CommandState state;
  for (ICommandTarget* target : Route())
    if (target && target->OnUpdateCommand(id, state)) {
      if (IsHeldBySessionStep(id, target)) state.enabled = false;
      return state;
    }
  return CommandState{};
}

bool CMainFrame::AnySessionStepRunning() const {
  for (CChildFrame* child : Children())
    if (child->GetDocument()->IsSessionStepRunning()) return true;
  return false;
}

bool CMainFrame::IsHeldBySessionStep(int id, const ICommandTarget* target) const {
  if (id == ID_APP_EXIT) return AnySessionStepRunning();
  CChildFrame* child = ActiveChild();
  if (!child || !child->GetDocument()->IsSessionStepRunning()) return false;
  // Every command the phonebook's own window, view or document handles.
  return target == child || target == child->GetView() || target == child->GetDocument();
}

bool CMainFrame::ExecuteCommand(int id) {
  if (!QueryCommand(id).enabled) return false;
  for (ICommandTarget* target : Route())
    if (target && target->OnCommand(id)) {
      UpdateCommandUI();
      return true;
    }
  return false;
}

bool CMainFrame::OnUpdateCommand(int id, CommandState& state) {
  switch (id) {
    case ID_VIEW_TOOLBAR:
      state.enabled = true;
      state.checked = m_pToolBar->isVisible();
      return true;
    case ID_VIEW_STATUS_BAR:
      state.enabled = true;
      state.checked = statusBar()->isVisible();
      return true;
    case ID_WINDOW_ARRANGE:
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
      state.enabled = ActiveChild() != nullptr;
      return true;
    case ID_HELP:
      state.enabled = true;
      return true;
    default:
      return false;
  }
}

bool CMainFrame::OnCommand(int id) {
  switch (id) {
    case ID_VIEW_TOOLBAR: m_pToolBar->setVisible(!m_pToolBar->isVisible()); return true;
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(!statusBar()->isVisible()); return true;
    case ID_WINDOW_CASCADE: m_pMdiArea->cascadeSubWindows(); return true;
    case ID_WINDOW_TILE_HORZ: m_pMdiArea->tileSubWindows(); return true;
    case ID_WINDOW_ARRANGE: return true;  // minimised windows already line up at the bottom
    case ID_HELP: return true;            // the editor has no help content
    default: return false;
  }
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

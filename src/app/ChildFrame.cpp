// The phonebook window.
#include "app/ChildFrame.h"
#include "doc/DocumentTransfer.h"

#include <QCloseEvent>
#include <QMdiArea>

#include <algorithm>

#include "app/Icons.h"
#include "app/WindowArrangement.h"
#include "doc/UtilityDoc.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/UtilityView.h"

CChildFrame::CChildFrame(CUtilityDoc* document, QWidget* parent)
    : QMdiSubWindow(parent), m_pDoc(document) {
  m_pDoc->setParent(this);
  m_pView = new CUtilityView(m_pDoc, this);
  setWidget(m_pView);
  setWindowIcon(PhonebookIcon());
  setAttribute(Qt::WA_DeleteOnClose);
  connect(m_pDoc, &CUtilityDoc::titleChanged, this, &CChildFrame::UpdateTitle);
  connect(m_pDoc, &CUtilityDoc::modifiedChanged, this, &QWidget::setWindowModified);
  connect(m_pDoc, &CUtilityDoc::closeRequested, this, &QWidget::close);
  UpdateTitle();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::UpdateTitle() {
  // The caption marks unsaved changes with "*" where "[*]" stands; the window, and the
  // view inside it, are named by the phonebook's title.
  setWindowTitle(m_pDoc->GetTitle() + QStringLiteral("[*]"));
  setWindowModified(m_pDoc->IsModified());
  setAccessibleName(m_pDoc->GetTitle());
  m_pView->setAccessibleName(m_pDoc->GetTitle());
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  // A step of the phonebook's transfer session is using it (see IsSessionStepRunning).
  if (m_pDoc->Transfer().IsSessionStepRunning() || !m_pDoc->SaveModified()) {
    event->ignore();
    return;
  }
  m_pDoc->OnCloseDocument();
  QMdiSubWindow::closeEvent(event);
}

void CChildFrame::changeEvent(QEvent* event) {
  QMdiSubWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  // Opened maximised, the window has no place of its own: restored the first time, it
  // takes the place it would have among three cascaded windows.
  const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
  if (normal && !m_bPlaced && mdiArea()) {
    m_bPlaced = true;
    const auto index = static_cast<int>(PhonebookWindows(*mdiArea()).indexOf(this));
    setGeometry(CascadedGeometry(*mdiArea(), *this, std::max(index, 0), kMostPhonebookWindows));
  }
  // After maximise or restore the keyboard goes back to the list.
  if (m_pView) m_pView->Lists().CurrentList()->setFocus();
}

CChildFrame* ActivePhonebookWindow(const QMdiArea& area) {
  return qobject_cast<CChildFrame*>(area.activeSubWindow());
}

QList<CChildFrame*> PhonebookWindows(const QMdiArea& area) {
  QList<CChildFrame*> children;
  for (QMdiSubWindow* window : area.subWindowList())
    if (auto* child = qobject_cast<CChildFrame*>(window)) children.push_back(child);
  return children;
}

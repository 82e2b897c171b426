// Commands to their targets.
#include "app/CommandRouter.h"

#include <QMdiArea>

#include "app/ChildFrame.h"
#include "doc/DocumentTransfer.h"
#include "doc/UtilityDoc.h"
#include "ui/CommandIds.h"
#include "ui/CommandTable.h"
#include "view/UtilityView.h"

CCommandRouter::CCommandRouter(const QMdiArea& area, ICommandTarget& mainWindow,
                               ICommandTarget& application)
    : m_area(area), m_mainWindow(mainWindow), m_application(application) {}

ICommandTarget* CCommandRouter::TargetOf(int id) const {
  CChildFrame* child = ActivePhonebookWindow(m_area);
  switch (CommandOf(id).target) {
    case CommandTarget::View: return child ? child->GetView() : nullptr;
    case CommandTarget::Document: return child ? &child->GetDocument()->Commands() : nullptr;
    case CommandTarget::ViewElseApplication:
      return child ? static_cast<ICommandTarget*>(child->GetView()) : &m_application;
    case CommandTarget::MainWindow: return &m_mainWindow;
    case CommandTarget::Application: return &m_application;
    case CommandTarget::None: return nullptr;
  }
  return nullptr;
}

CommandState CCommandRouter::Query(int id) const {
  CommandState state;
  ICommandTarget* target = TargetOf(id);
  if (!target || !target->OnUpdateCommand(id, state)) return CommandState{};
  if (IsHeldBySessionStep(id, target)) state.enabled = false;
  return state;
}

bool CCommandRouter::Execute(int id) const {
  if (!Query(id).enabled) return false;
  return TargetOf(id)->OnCommand(id);
}

bool CCommandRouter::AnySessionStepRunning() const {
  for (CChildFrame* child : PhonebookWindows(m_area))
    if (child->GetDocument()->Transfer().IsSessionStepRunning()) return true;
  return false;
}

bool CCommandRouter::IsHeldBySessionStep(int id, const ICommandTarget* target) const {
  if (id == ID_APP_EXIT) return AnySessionStepRunning();
  CChildFrame* child = ActivePhonebookWindow(m_area);
  if (!child || !child->GetDocument()->Transfer().IsSessionStepRunning()) return false;
  // Every command the phonebook's own view or document handles.
  return target == child->GetView() || target == &child->GetDocument()->Commands();
}

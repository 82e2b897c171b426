// The routing of the main window's commands: each goes to the one target the command
// table names (the active phonebook's view or document, the main window, the application).
// While a blocking step of a phonebook's transfer session runs (see
// CUtilityDoc::IsSessionStepRunning), the commands of that phonebook and the exit are
// held back, whichever way (menu, toolbar, key, accessibility action) they come.
#pragma once

#include "ui/CommandTarget.h"

class QMdiArea;

class CCommandRouter {
 public:
  // `area` holds the phonebook windows.
  CCommandRouter(const QMdiArea& area, ICommandTarget& mainWindow, ICommandTarget& application);

  // The state a command has now; disabled when its target is absent or held back.
  CommandState Query(int id) const;
  // Runs a command when it is enabled; false when it was not run.
  bool Execute(int id) const;
  bool AnySessionStepRunning() const;

 private:
  ICommandTarget* TargetOf(int id) const;
  bool IsHeldBySessionStep(int id, const ICommandTarget* target) const;

  const QMdiArea& m_area;
  ICommandTarget& m_mainWindow;
  ICommandTarget& m_application;
};

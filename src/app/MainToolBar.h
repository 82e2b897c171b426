// The main window's toolbar: a button for each command of the toolbar layout, with its
// image, name, tooltip and prompt.
#pragma once

#include <QMap>
#include <QToolBar>

#include <functional>

#include "ui/CommandTarget.h"

class CMainToolBar : public QToolBar {
  Q_OBJECT

 public:
  explicit CMainToolBar(QWidget* parent);

  // The button of a command.
  QAction* Action(int id) const { return m_actions.value(id); }
  // Shows each button's state as `query` gives it: enabled, pressed, its words of the moment.
  void UpdateStates(const std::function<CommandState(int)>& query);

 signals:
  void commandTriggered(int id);

 private:
  QMap<int, QAction*> m_actions;
};

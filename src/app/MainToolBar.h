// The main window's toolbar: a button for each command of the toolbar layout, with its
// image, tooltip and prompt, and the search box that searches the active phonebook.
#pragma once

#include <QMap>
#include <QToolBar>

#include <functional>

#include "ui/CommandTarget.h"

class QLineEdit;

class CMainToolBar : public QToolBar {
  Q_OBJECT

 public:
  explicit CMainToolBar(QWidget* parent);

  // The button of a command.
  QAction* Action(int id) const { return m_actions.value(id); }
  QLineEdit* FindBox() const { return m_pFindBox; }
  // Shows the active phonebook's search; a box being typed in keeps its spaces.
  void ShowFindText(const QString& text);
  // Shows each button's state as `query` gives it: enabled, pressed, its words of the moment.
  void UpdateStates(const std::function<CommandState(int)>& query);

 signals:
  void commandTriggered(int id);
  void findTextEdited(const QString& text);

 private:
  void AddFindBox();

  QMap<int, QAction*> m_actions;
  QLineEdit* m_pFindBox = nullptr;
};

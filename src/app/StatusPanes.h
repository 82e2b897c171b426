// The main window's status bar: the message pane ("レディ", the prompt of a menu item or
// button, or the active phonebook's search count) and the CAP, NUM and SCRL panes that
// show their text while that lock is on.
#pragma once

class QLabel;
class QStatusBar;
class QString;

class CStatusPanes {
 public:
  explicit CStatusPanes(QStatusBar& bar);

  void SetIdleMessage(const QString& text);
  void UpdateLockKeys();

 private:
  QLabel* m_pIdleLabel;
  QLabel* m_pCapsPane;
  QLabel* m_pNumPane;
  QLabel* m_pScrollPane;
};

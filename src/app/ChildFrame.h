// The window of one phonebook inside the main window: always opened maximised, titled
// with the document's title, asking to save changes before it closes.
#pragma once

#include <QMdiSubWindow>

#include "ui/CommandTarget.h"

class CUtilityDoc;
class CUtilityView;

class CChildFrame : public QMdiSubWindow, public ICommandTarget {
  Q_OBJECT

 public:
  // Takes ownership of `document`; creates its view.
  explicit CChildFrame(CUtilityDoc* document, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CUtilityDoc* GetDocument() const { return m_pDoc; }
  CUtilityView* GetView() const { return m_pView; }

  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateTitle();

  CUtilityDoc* m_pDoc;
  CUtilityView* m_pView;
};

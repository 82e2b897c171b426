// The window of one phonebook inside the main window: always opened maximised, titled
// with the document's title, asking to save changes before it closes.
#pragma once

#include <QList>
#include <QMdiSubWindow>

class CUtilityDoc;
class CUtilityView;
class QMdiArea;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  // Takes ownership of `document`; creates its view.
  explicit CChildFrame(CUtilityDoc* document, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CUtilityDoc* GetDocument() const { return m_pDoc; }
  CUtilityView* GetView() const { return m_pView; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateTitle();

  CUtilityDoc* m_pDoc;
  CUtilityView* m_pView = nullptr;
  bool m_bPlaced = false;  // the window has had a place of its own, out of the maximised state
};

// The phonebook window `area` has active, or null.
CChildFrame* ActivePhonebookWindow(const QMdiArea& area);
// The phonebook windows of `area`, in the order they were opened.
QList<CChildFrame*> PhonebookWindows(const QMdiArea& area);

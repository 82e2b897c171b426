// The search field above a phonebook's list, the one place where a search is typed: its
// label, the field, how many entries match, and a button that closes it. Esc in the field
// closes it too; Enter or Down goes on to the list. The bar only reports what the user
// does; the view filters.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

class CFindBar : public QWidget {
  Q_OBJECT

 public:
  explicit CFindBar(QWidget* parent = nullptr);

  QLineEdit* Field() const { return m_pField; }
  // Puts `text` into the field without reporting it.
  void SetText(const QString& text);
  // What the bar says about the matches ("12 件が一致しました").
  void SetSummary(const QString& summary);
  QString Summary() const;
  // Shows the bar with the caret in its field and the field's text selected.
  void Open();

 signals:
  // The field's text changed, however it was changed (not by SetText).
  void textChanged(const QString& text);
  void closeRequested();
  void listRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* m_pField;
  QLabel* m_pSummary;
  QToolButton* m_pClose;
};

// The modal dialog shown while a download or upload runs: a bar and a percentage driven
// by the view, and the only way to abort the transfer ("中断(&A)" or Esc).
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 134;
  static constexpr int kRange = 120000;  // bytes of the phonebook image

  explicit CProgressDialog(QWidget* parent = nullptr);

  // Set by the caller before each run.
  QString m_strTitle;                 // "ダウンロード中..." or "アップロード中..."
  std::function<void()> m_onAbort;    // stops the transfer: Abort and Esc call it

  // Runs the dialog modally; its result (0 when the view ended it, Rejected on Abort).
  int DoModal();
  // True while the dialog is up (the view's updates go nowhere otherwise).
  bool HasWindow() const { return isVisible(); }
  // Shows `bytes` transferred: the bar position and the percentage label.
  void SetProgress(long bytes);
  // Ends the modal run with `result`.
  void EndDialog(int result) { done(result); }

  QProgressBar* Bar() const { return m_pProgress; }
  QLabel* PercentLabel() const { return m_pPercent; }
  QPushButton* AbortButton() const { return m_pAbort; }

  // The percentage label's text for `bytes`: whole percent of the image, rounded down,
  // never above 100 (a download counts 1024 per block, which can pass the image's size).
  static QString PercentText(long bytes);

 public slots:
  void accept() override;  // Enter: the dialog stays open
  void reject() override;  // Abort or Esc: raise the abort signal and close

 private:
  void OnInitDialog();

  QProgressBar* m_pProgress;   // control 1012
  QLabel* m_pPercent;          // control 1013
  QPushButton* m_pAbort;       // control 2 (cancel)
};

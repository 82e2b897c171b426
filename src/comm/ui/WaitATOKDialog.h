// The notice shown while the handset wakes up at the start of a transfer ("通信準備中",
// up to a minute). It has no buttons and no close box: it only tells the user to wait.
#pragma once

#include <QDialog>

class QLabel;

class CwaitATOKDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 212;

  explicit CwaitATOKDialog(QWidget* parent = nullptr, int templateId = kTemplateId);

  // Builds the window from the template and shows it, centred on the screen.
  bool Create();

  QLabel* Heading() const { return m_pHeading; }
  QLabel* Advice() const { return m_pAdvice; }

 public slots:
  void reject() override {}  // Esc does not close the notice

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* m_pParent;     // as given at construction
  int m_nTemplateId;      // as given at construction
  QLabel* m_pHeading = nullptr;
  QLabel* m_pAdvice = nullptr;
};

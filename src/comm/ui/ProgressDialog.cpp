// The transfer's progress dialog.
#include "comm/ui/ProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

#include "ui/DialogUnits.h"

CProgressDialog::CProgressDialog(QWidget* parent) : QDialog(parent) {
  // A caption bar without a system menu or close box: Abort is the only way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(QStringLiteral("Dialog"));
  QFont dialogFont = font();
  dialogFont.setPointSize(9);
  setFont(dialogFont);
  const DialogUnits units(dialogFont);

  m_pAbort = new QPushButton(QStringLiteral("中断(&A)"), this);
  m_pAbort->setGeometry(units.Rect(69, 25, 50, 14));
  m_pAbort->setAccessibleName(QStringLiteral("中断"));
  // Enter must not reach the button: only a click, Alt+A, Space on it or Esc abort.
  m_pAbort->setAutoDefault(false);
  m_pAbort->setDefault(false);
  connect(m_pAbort, &QPushButton::clicked, this, &CProgressDialog::reject);

  m_pProgress = new QProgressBar(this);
  m_pProgress->setGeometry(units.Rect(7, 7, 158, 14));
  m_pProgress->setTextVisible(false);
  m_pProgress->setAccessibleName(QStringLiteral("進行状況"));

  m_pPercent = new QLabel(QStringLiteral("100%"), this);
  m_pPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_pPercent->setGeometry(units.Rect(165, 10, 15, 8));
  m_pPercent->setMinimumWidth(m_pPercent->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
  // No accessible name: a screen reader then reads the label's text, the percentage itself.
  m_pPercent->setAccessibleDescription(QStringLiteral("進行率"));

  setFixedSize(units.X(189), units.Y(46));
}

int CProgressDialog::DoModal() {
  OnInitDialog();
  return exec();
}

void CProgressDialog::OnInitDialog() {
  setResult(0);
  setWindowTitle(m_strTitle);
  setAccessibleName(m_strTitle);
  m_pPercent->setText(QStringLiteral("0%"));
  m_pProgress->setRange(0, kRange);
  m_pProgress->setValue(0);
  m_pAbort->setFocus();
}

QString CProgressDialog::PercentText(long bytes) {
  return QStringLiteral("%1%").arg(std::clamp<long>(bytes, 0, kRange) / 1200);
}

void CProgressDialog::SetProgress(long bytes) {
  // The bar ignores values outside its range; a count past the end shows a full bar.
  m_pProgress->setValue(static_cast<int>(std::clamp<long>(bytes, 0, kRange)));
  m_pPercent->setText(PercentText(bytes));
}

void CProgressDialog::accept() {}

void CProgressDialog::reject() {
  if (m_onAbort) m_onAbort();
  QDialog::reject();
}

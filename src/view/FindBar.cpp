// The search field above the list.
#include "view/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QSignalBlocker>
#include <QToolButton>

#include "strings/StringIds.h"
#include "ui/QtText.h"

CFindBar::CFindBar(QWidget* parent) : QWidget(parent) {
  auto* label = new QLabel(Text(IDS_FIND_LABEL), this);
  m_pField = new QLineEdit(this);
  m_pField->setPlaceholderText(Text(IDS_FIND_PLACEHOLDER));
  m_pField->setAccessibleName(Text(IDS_FIND_FIELD_NAME));
  m_pField->setClearButtonEnabled(true);
  // The field's clear button (a tool button inside it) is named for screen readers.
  for (QToolButton* clear : m_pField->findChildren<QToolButton*>()) {
    clear->setAccessibleName(Text(IDS_FIND_CLEAR));
    clear->setToolTip(Text(IDS_FIND_CLEAR));
  }
  const int placeholderWidth = m_pField->fontMetrics().horizontalAdvance(Text(IDS_FIND_PLACEHOLDER));
  m_pField->setMinimumWidth(placeholderWidth + 40);
  label->setBuddy(m_pField);
  m_pSummary = new QLabel(this);
  m_pClose = new QToolButton(this);
  m_pClose->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  m_pClose->setAutoRaise(true);
  m_pClose->setToolTip(Text(IDS_FIND_CLOSE));
  m_pClose->setAccessibleName(Text(IDS_FIND_CLOSE));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 2, 2);
  layout->addWidget(label);
  layout->addWidget(m_pField);
  layout->addSpacing(8);
  layout->addWidget(m_pSummary, 1);
  layout->addWidget(m_pClose);

  m_pField->installEventFilter(this);
  // Every change of the text, typed or not (a paste, an input method's commit, a screen
  // reader setting it), is reported once.
  connect(m_pField, &QLineEdit::textChanged, this, &CFindBar::textChanged);
  connect(m_pClose, &QToolButton::clicked, this, &CFindBar::closeRequested);
}

void CFindBar::SetText(const QString& text) {
  if (m_pField->text() == text) return;
  const QSignalBlocker quiet(m_pField);
  m_pField->setText(text);
}

void CFindBar::SetSummary(const QString& summary) { m_pSummary->setText(summary); }

QString CFindBar::Summary() const { return m_pSummary->text(); }

void CFindBar::Open() {
  show();
  m_pField->setFocus(Qt::ShortcutFocusReason);
  m_pField->selectAll();
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_pField || event->type() != QEvent::KeyPress)
    return QWidget::eventFilter(watched, event);
  switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Escape:
      emit closeRequested();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
      emit listRequested();
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

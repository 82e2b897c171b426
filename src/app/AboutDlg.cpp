// The about box.
#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/CommandIds.h"
#include "ui/DialogUnits.h"
#include "app/Icons.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"

QString FormatFileVersion(int major, int minor) {
  return QString::asprintf("%d.%02d", major, minor);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setWindowTitle(QString::fromUtf8(UiText::kAboutCaption));
  setAccessibleName(windowTitle());
  // The labels are wider and the version two lines tall: the Japanese font here runs
  // wider than the one the box was laid out for, and the version text wraps.
  const DialogUnits units(font());

  auto* icon = new QLabel(this);
  icon->setPixmap(MainWindowIcon().pixmap(units.X(20), units.Y(20)));
  icon->setGeometry(units.Rect(11, 17, 20, 20));

  m_pProduct = new QLabel(Text(IDR_MAINFRAME), this);
  m_pProduct->setTextFormat(Qt::PlainText);
  m_pProduct->setAlignment(Qt::AlignCenter);
  m_pProduct->setGeometry(units.Rect(36, 7, 145, 10));

  m_pVersion = new QLabel(Text(IDS_VERSION_PREFIX) +
                              FormatFileVersion(QVBOOK_VERSION_MAJOR, QVBOOK_VERSION_MINOR),
                          this);
  m_pVersion->setAlignment(Qt::AlignCenter);
  m_pVersion->setWordWrap(true);
  m_pVersion->setGeometry(units.Rect(36, 18, 145, 16));

  m_pNote = new QLabel(Text(IDS_ABOUT_NOTE), this);
  m_pNote->setWordWrap(true);
  m_pNote->setGeometry(units.Rect(36, 36, 145, 18));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  ok->setAccessibleName(QStringLiteral("OK"));
  ok->setGeometry(units.Rect(68, 57, 50, 16));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  setFixedSize(units.X(187), units.Y(81));
}

// The about box.
#include "app/AboutDlg.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/Icons.h"
#include "ui/CommandIds.h"
#include "ui/DialogUnits.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"

QString FormatFileVersion(int major, int minor) {
  return QString::asprintf("%d.%02d", major, minor);
}

namespace {

QLabel* OneLineLabel(const QString& text, Qt::Alignment alignment) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(alignment);
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setWindowTitle(QString::fromUtf8(UiText::kAboutCaption));
  setAccessibleName(windowTitle());
  // A layout rather than fixed places, and no line broken inside a phrase: the box grows
  // with whatever font the system gives it and reads as one block. The version string's
  // ideographic spaces only padded it in a fixed-width label; the file version follows it
  // in brackets on the same line.
  const DialogUnits units(font());
  auto* icon = new QLabel;
  icon->setPixmap(MainWindowIcon().pixmap(units.X(20), units.Y(20)));
  icon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_pProduct = OneLineLabel(Text(IDR_MAINFRAME), Qt::AlignCenter);
  m_pVersion = OneLineLabel(QStringLiteral("%1 (%2)").arg(
                                Text(IDS_VERSION_PREFIX).trimmed(),
                                FormatFileVersion(QVBOOK_VERSION_MAJOR, QVBOOK_VERSION_MINOR)),
                            Qt::AlignCenter);
  m_pNote = OneLineLabel(Text(IDS_ABOUT_NOTE), Qt::AlignLeft | Qt::AlignVCenter);
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setDefault(true);
  ok->setAccessibleName(QStringLiteral("OK"));
  ok->setMinimumWidth(units.X(50));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(units.Y(3));
  texts->addWidget(m_pProduct);
  texts->addWidget(m_pVersion);
  texts->addSpacing(units.Y(3));
  texts->addWidget(m_pNote);
  auto* body = new QHBoxLayout;
  body->setSpacing(units.X(10));
  body->addWidget(icon, 0, Qt::AlignTop);
  body->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.X(11), units.Y(9), units.X(11), units.Y(7));
  layout->setSpacing(units.Y(7));
  layout->addLayout(body);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

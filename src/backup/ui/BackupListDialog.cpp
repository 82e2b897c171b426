// The list of the handset's backups.
#include "backup/ui/BackupListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "strings/StringIds.h"
#include "ui/QtText.h"

CBackupListDialog::CBackupListDialog(const std::vector<BackupInfo>& backups, const QString& folder, QWidget* parent)
    : QDialog(parent), m_backups(backups) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setWindowTitle(Text(IDS_RESTORE_CAPTION));
  setAccessibleName(windowTitle());

  const int guideId = backups.empty() ? IDS_RESTORE_NONE : IDS_RESTORE_GUIDE;
  auto* guide = new QLabel(Text(guideId).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
  auto* where = new QLabel(Text(IDS_RESTORE_FOLDER).arg(folder), this);
  where->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  where->setWordWrap(true);

  m_pList = new QTreeWidget(this);
  m_pList->setRootIsDecorated(false);
  m_pList->setUniformRowHeights(true);
  m_pList->setHeaderLabels({Text(IDS_COLUMN_DATE), Text(IDS_COLUMN_ENTRIES), Text(IDS_COLUMN_SOURCE),
                            Text(IDS_COLUMN_FILE)});
  m_pList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_pList->setAccessibleName(Text(IDS_RESTORE_LIST_NAME));
  guide->setBuddy(m_pList);
  for (const BackupInfo& backup : backups) {
    const QString entries = backup.entries < 0 ? Text(IDS_BACKUP_UNREADABLE) : Text(IDS_ENTRY_COUNT).arg(backup.entries);
    auto* row = new QTreeWidgetItem({QString::fromStdString(backup.dateTime), entries,
                                     QString::fromStdString(backup.source), QString::fromStdString(backup.name)});
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    m_pList->addTopLevelItem(row);
  }

  m_pOpen = new QPushButton(Text(IDS_RESTORE_OPEN), this);
  m_pUpload = new QPushButton(Text(IDS_RESTORE_UPLOAD), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  buttons->addButton(m_pOpen, QDialogButtonBox::ActionRole);
  buttons->addButton(m_pUpload, QDialogButtonBox::ActionRole);
  for (QPushButton* button : {m_pOpen, m_pUpload}) button->setAccessibleName(button->text().remove(QLatin1Char('&')));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_pOpen, &QPushButton::clicked, this, [this] { Choose(Choice::Open); });
  connect(m_pUpload, &QPushButton::clicked, this, [this] { Choose(Choice::Upload); });
  connect(m_pList, &QTreeWidget::itemActivated, this, [this] { Choose(Choice::Open); });
  const auto follow = [this] {
    const bool chosen = m_pList->currentItem() != nullptr;
    m_pOpen->setEnabled(chosen);
    m_pUpload->setEnabled(chosen);
  };
  connect(m_pList, &QTreeWidget::currentItemChanged, this, follow);
  if (m_pList->topLevelItemCount() > 0) m_pList->setCurrentItem(m_pList->topLevelItem(0));
  follow();
  m_pOpen->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(guide);
  layout->addWidget(m_pList, 1);
  layout->addWidget(where);
  layout->addWidget(buttons);
  resize(620, 360);
}

void CBackupListDialog::Choose(Choice choice) {
  const int row = m_pList->indexOfTopLevelItem(m_pList->currentItem());
  if (row < 0) return;
  m_choice = choice;
  m_chosenPath = m_backups[static_cast<std::size_t>(row)].path;
  accept();
}

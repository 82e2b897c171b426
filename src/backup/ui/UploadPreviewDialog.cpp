// The upload's preview dialog.
#include "backup/ui/UploadPreviewDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "strings/StringIds.h"
#include "ui/QtText.h"

namespace {

// A string-table text for a label: its "\r\n" as "\n".
QString LabelText(const std::string& text) { return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString Number(int memoryNumber) { return QStringLiteral("%1").arg(memoryNumber, 4, 10, QLatin1Char('0')); }

QTreeWidget* EntryList(const QStringList& titles) {
  auto* list = new QTreeWidget;
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHeaderLabels(titles);
  return list;
}

// An added or removed entry: its number and every field.
QTreeWidget* WholeEntries(const std::vector<PhonebookEntry>& entries) {
  QTreeWidget* list = EntryList({Text(IDS_FIELD_NUMBER), Text(IDS_FIELD_NAME), Text(IDS_FIELD_READING),
                                 Text(IDS_FIELD_PHONE1), Text(IDS_FIELD_PHONE2), Text(IDS_FIELD_PHONE3),
                                 Text(IDS_FIELD_GROUP)});
  QList<QTreeWidgetItem*> rows;
  for (const PhonebookEntry& entry : entries)
    rows << new QTreeWidgetItem({Number(entry.memoryNumber), FromCp932(entry.name), FromCp932(entry.reading),
                                 FromCp932(entry.phone1), FromCp932(entry.phone2), FromCp932(entry.phone3),
                                 QString::number(entry.group)});
  list->addTopLevelItems(rows);
  return list;
}

// A changed entry: its number and name, the fields that change, their texts before and after.
QTreeWidget* ChangedEntries(const std::vector<EntryChange>& changes) {
  QTreeWidget* list = EntryList({Text(IDS_FIELD_NUMBER), Text(IDS_FIELD_NAME), Text(IDS_COLUMN_CHANGED_FIELDS),
                                 Text(IDS_COLUMN_BEFORE), Text(IDS_COLUMN_AFTER)});
  QList<QTreeWidgetItem*> rows;
  for (const EntryChange& change : changes)
    rows << new QTreeWidgetItem({Number(change.after.memoryNumber), FromCp932(change.after.name),
                                 QString::fromStdString(ChangedFieldNames(change.fields)),
                                 FromCp932(ChangedFieldTexts(change.before, change.fields)),
                                 FromCp932(ChangedFieldTexts(change.after, change.fields))});
  list->addTopLevelItems(rows);
  return list;
}

}  // namespace

CUploadPreviewDialog::CUploadPreviewDialog(const PhonebookChanges& changes, const QString& backupName,
                                           QWidget* parent)
    : QDialog(parent) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setWindowTitle(Text(IDS_CONFIRM_UPLOAD_CAPTION));
  setAccessibleName(windowTitle());

  m_pSummary = new QLabel(LabelText(ChangeSummaryText(changes)), this);
  m_pSummary->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel(this);
  const bool removesMost = changes.RemovesMostEntries();
  const QStyle::StandardPixmap pixmap = removesMost ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxQuestion;
  icon->setPixmap(style()->standardIcon(pixmap).pixmap(32, 32));
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  texts->addWidget(m_pSummary);
  if (removesMost) {
    m_pWarning = new QLabel(Text(IDS_PREVIEW_MANY_REMOVED).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    QFont bold = m_pWarning->font();
    bold.setBold(true);
    m_pWarning->setFont(bold);
    texts->addWidget(m_pWarning);
  }
  auto* backup = new QLabel(Text(IDS_PREVIEW_BACKUP).replace(QStringLiteral("%1"), backupName), this);
  backup->setWordWrap(true);
  texts->addWidget(backup);
  top->addLayout(texts, 1);
  layout->addLayout(top);

  m_pTabs = new QTabWidget(this);
  const struct {
    QTreeWidget* list;
    int title;
    std::size_t count;
  } tabs[] = {{WholeEntries(changes.added), IDS_PREVIEW_TAB_ADDED, changes.added.size()},
              {ChangedEntries(changes.changed), IDS_PREVIEW_TAB_CHANGED, changes.changed.size()},
              {WholeEntries(changes.removed), IDS_PREVIEW_TAB_REMOVED, changes.removed.size()}};
  for (const auto& tab : tabs) {
    const QString title = Text(tab.title).arg(tab.count);
    tab.list->setAccessibleName(title);
    tab.list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pTabs->addTab(tab.list, title);
  }
  // The first tab with anything on it; removals first when they are what matters.
  for (int index : {removesMost ? 2 : 0, 0, 1, 2}) {
    if (List(index)->topLevelItemCount() > 0) {
      m_pTabs->setCurrentIndex(index);
      break;
    }
  }
  layout->addWidget(m_pTabs, 1);

  m_pUpload = new QPushButton(Text(IDS_PREVIEW_UPLOAD_BUTTON), this);
  m_pCancel = new QPushButton(Text(IDS_PREVIEW_CANCEL_BUTTON), this);
  connect(m_pUpload, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
  QPushButton* byDefault = removesMost ? m_pCancel : m_pUpload;
  byDefault->setDefault(true);
  byDefault->setFocus();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_pUpload);
  buttons->addWidget(m_pCancel);
  layout->addLayout(buttons);
  resize(680, 460);
}

QTreeWidget* CUploadPreviewDialog::List(int tab) const { return static_cast<QTreeWidget*>(m_pTabs->widget(tab)); }

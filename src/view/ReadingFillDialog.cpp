// The fill preview: a table over a model of the proposals, the new reading chosen in a
// drop-down that exists only while a cell is edited, so that a thousand rows stay light.
#include "view/ReadingFillDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "strings/StringIds.h"
#include "ui/QtText.h"
#include "view/PhoneListModel.h"

namespace {

constexpr int kReadingsRole = Qt::UserRole + 1;  // the new-reading cell's choices (QStringList)

// The new reading's editor: a drop-down of the suggestions.
class CReadingChoiceDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    auto* choices = new QComboBox(parent);
    choices->addItems(index.data(kReadingsRole).toStringList());
    choices->setAccessibleName(Text(IDS_READING_FILL_COLUMN_NEW));
    return choices;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* choices = static_cast<QComboBox*>(editor);
    choices->setCurrentIndex(std::max(0, choices->findText(index.data().toString())));
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText());
  }
};

QStandardItem* TextItem(const QString& text) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  return item;
}

}  // namespace

CReadingFillDialog::CReadingFillDialog(const std::vector<ReadingProposal>& proposals, QWidget* parent)
    : QDialog(parent), m_proposals(proposals) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setWindowTitle(Text(IDS_READING_FILL_CAPTION));
  setAccessibleName(windowTitle());

  m_pModel = new QStandardItemModel(0, ColumnCount, this);
  m_pModel->setHorizontalHeaderLabels({Text(IDS_READING_FILL_COLUMN_FILL), CPhoneListModel::ColumnTitle(FieldMemoryNumber),
                                       CPhoneListModel::ColumnTitle(FieldName), Text(IDS_READING_FILL_COLUMN_NEW),
                                       Text(IDS_READING_FILL_COLUMN_OLD)});
  for (const ReadingProposal& proposal : m_proposals) {
    auto* fill = TextItem(QString());
    const bool offered = !proposal.readings.empty();
    fill->setCheckable(offered);
    fill->setEnabled(offered);
    fill->setCheckState(offered && proposal.currentReading.empty() ? Qt::Checked : Qt::Unchecked);
    QStringList readings;
    for (const std::string& reading : proposal.readings) readings << FromCp932(reading);
    auto* chosen = new QStandardItem(offered ? readings.front() : Text(IDS_READING_NO_SUGGESTION));
    chosen->setData(readings, kReadingsRole);
    chosen->setEditable(offered);
    m_pModel->appendRow({fill, TextItem(QStringLiteral("%1").arg(proposal.memoryNumber, 4, 10, QLatin1Char('0'))),
                         TextItem(FromCp932(proposal.name)), chosen,
                         TextItem(FromCp932(proposal.currentReading))});
  }
  // Choosing another reading means the row is wanted.
  connect(m_pModel, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
    if (item->column() == ColumnNewReading) m_pModel->item(item->row(), ColumnFill)->setCheckState(Qt::Checked);
  });

  m_pTable = new QTableView(this);
  m_pTable->setModel(m_pModel);
  m_pTable->setItemDelegateForColumn(ColumnNewReading, new CReadingChoiceDelegate(m_pTable));
  m_pTable->setEditTriggers(QAbstractItemView::AllEditTriggers);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  m_pTable->setAccessibleName(windowTitle());
  m_pTable->resizeColumnsToContents();

  auto* note = new QLabel(Text(IDS_READING_FILL_NOTE).arg(m_proposals.size()), this);
  m_pCheckAll = new QPushButton(Text(IDS_READING_FILL_CHECK_ALL), this);
  m_pCheckNone = new QPushButton(Text(IDS_READING_FILL_CHECK_NONE), this);
  for (QPushButton* button : {m_pCheckAll, m_pCheckNone}) {
    button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    button->setAutoDefault(false);
  }
  connect(m_pCheckAll, &QPushButton::clicked, this, [this] { CheckAll(true); });
  connect(m_pCheckNone, &QPushButton::clicked, this, [this] { CheckAll(false); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* checks = new QHBoxLayout;
  checks->addWidget(m_pCheckAll);
  checks->addWidget(m_pCheckNone);
  checks->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  layout->addWidget(m_pTable);
  layout->addLayout(checks);
  layout->addWidget(buttons);
  resize(560, 420);
}

void CReadingFillDialog::CheckAll(bool checked) {
  for (int row = 0; row < m_pModel->rowCount(); ++row) {
    QStandardItem* fill = m_pModel->item(row, ColumnFill);
    if (fill->isCheckable()) fill->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  }
}

std::vector<ChosenReading> CReadingFillDialog::ChosenReadings() const {
  std::vector<ChosenReading> chosen;
  for (int row = 0; row < m_pModel->rowCount(); ++row) {
    if (m_pModel->item(row, ColumnFill)->checkState() != Qt::Checked) continue;
    chosen.push_back({m_proposals[static_cast<std::size_t>(row)].memoryNumber,
                      ToCp932(m_pModel->item(row, ColumnNewReading)->text())});
  }
  return chosen;
}

// The duplicate dialog of the CSV import (dialog 182).
#include "files/ui/ImportSelectDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cstdio>

#include "platform/CodePage.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

QString Resource(int id) {
  // The resources break lines with CR LF; a label wants LF alone.
  return QString::fromUtf8(StringText(id)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString FromCp932(const std::string& bytes) { return QString::fromUtf8(Cp932ToUtf8(bytes)); }

// A field's name for screen readers: its label without the colon.
QString SpokenName(QString label) {
  return label.remove(QStringLiteral(" ：")).remove(QStringLiteral("：")).trimmed();
}

QLineEdit* ReadOnlyEdit(int controlId) {
  auto* edit = new QLineEdit;
  edit->setReadOnly(true);
  edit->setObjectName(QString::number(controlId));
  return edit;
}

// A group box of five labelled read-only edits (name, reading, phone 1..3).
QGroupBox* TextsGroup(const QString& title, const char* const (&labels)[5],
                      const int (&labelIds)[5], const int (&editIds)[5], int groupId,
                      QLineEdit* (&edits)[5]) {
  auto* group = new QGroupBox(title);
  group->setObjectName(QString::number(groupId));
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < 5; ++i) {
    auto* label = new QLabel(QString::fromUtf8(labels[i]));
    label->setObjectName(QString::number(labelIds[i]));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // the colons line up
    edits[i] = ReadOnlyEdit(editIds[i]);
    label->setBuddy(edits[i]);
    edits[i]->setAccessibleName(title + QLatin1Char(' ') + SpokenName(label->text()));
    grid->addWidget(label, i, 0);
    grid->addWidget(edits[i], i, 1);
  }
  return group;
}

}  // namespace

CImportSelectDialog::CImportSelectDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("182"));
  // A title bar without a close box: the dialog ends only with OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(Resource(IDS_IMPORT_CAPTION));

  m_pMessage = new QLabel(Resource(IDS_DUPLICATE_MESSAGE));
  m_pMessage->setObjectName(QStringLiteral("1030"));
  m_pNumberLabel = new QLabel(QStringLiteral("重複しているメモリ番号 ："));
  m_pNumberLabel->setObjectName(QStringLiteral("1002"));
  m_pNumber = ReadOnlyEdit(IDC_DUPLICATE_NUMBER);
  m_pNumberLabel->setBuddy(m_pNumber);
  m_pNumber->setAccessibleName(SpokenName(m_pNumberLabel->text()));
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(m_pNumberLabel);
  numberRow->addWidget(m_pNumber);
  numberRow->addStretch();

  // Both sides are labelled alike (the template wrote the imported side's third phone
  // without the space before the colon).
  static const char* const kLabels[5] = {"名前 ：", "読み ：", "電話番号１ ：", "電話番号２ ：",
                                         "電話番号３ ："};
  auto* rowGroup = TextsGroup(Resource(IDS_IMPORTED_DATA), kLabels,
                              {1036, 1037, 1038, 1039, 1040}, {1041, 1042, 1043, 1044, 1062},
                              1031, m_pRowTexts);
  auto* storedGroup = TextsGroup(QStringLiteral("リストに登録されているデータ"), kLabels,
                                 {1046, 1047, 1048, 1049, 1060}, {1050, 1051, 1052, 1053, 1061},
                                 1045, m_pStoredTexts);
  auto* textsRow = new QHBoxLayout;
  textsRow->addWidget(rowGroup);
  textsRow->addWidget(storedGroup);

  auto* guide = new QLabel(Resource(IDS_METHOD_GUIDE));
  guide->setObjectName(QStringLiteral("1054"));

  auto* methodGroup = new QGroupBox(Resource(IDS_METHOD_GROUP));
  methodGroup->setObjectName(QStringLiteral("1055"));
  auto* methodLayout = new QVBoxLayout(methodGroup);
  m_pMethod = new QButtonGroup(this);
  const struct {
    int id;
    const char* text;
  } kMethods[] = {{IDC_OVERWRITE, "登録済みのデータに上書きする（上書き登録）"},
                  {IDC_ADD_OTHER, "別のメモリ番号で登録する（追加登録）"},
                  {IDC_SKIP, "データの登録を行わない（スキップ）"}};
  for (int method = 0; method < 3; ++method) {
    auto* radio = new QRadioButton(QString::fromUtf8(kMethods[method].text));
    radio->setObjectName(QString::number(kMethods[method].id));
    m_pMethod->addButton(radio, method);
    methodLayout->addWidget(radio);
  }

  m_pContinue = new QCheckBox(QStringLiteral("以降の処理を選択した登録方法で継続する"));
  m_pContinue->setObjectName(QString::number(IDC_CONTINUE));

  m_pOk = new QPushButton(QStringLiteral("OK"));
  m_pOk->setObjectName(QStringLiteral("1"));
  m_pOk->setDefault(true);
  connect(m_pOk, &QPushButton::clicked, this, &CImportSelectDialog::accept);
  // The resource's Cancel button stays hidden; there is no way to cancel.
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
  cancel->setObjectName(QStringLiteral("2"));
  cancel->hide();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_pOk);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pMessage);
  layout->addLayout(numberRow);
  layout->addLayout(textsRow);
  layout->addWidget(guide);
  layout->addWidget(methodGroup);
  layout->addWidget(m_pContinue);
  layout->addLayout(buttons);
  OnInitDialog();
}

void CImportSelectDialog::UseVcardTexts() {
  setWindowTitle(Resource(IDS_VCARD_IMPORT_CAPTION));
  m_pMessage->setText(Resource(IDS_VCARD_DUPLICATE_MESSAGE));
  m_pNumberLabel->setText(Resource(IDS_VCARD_STORED_NUMBER_LABEL));
  m_pNumber->setAccessibleName(SpokenName(m_pNumberLabel->text()));
}

void CImportSelectDialog::SetDuplicate(int memoryNumber, const std::vector<std::string>& rowFields,
                                       const PhonebookEntry& stored) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", memoryNumber);
  m_pNumber->setText(QString::fromLatin1(number));
  for (int i = 0; i < 5; ++i) {
    const std::size_t field = static_cast<std::size_t>(i) + 1;
    m_pRowTexts[i]->setText(field < rowFields.size() ? FromCp932(rowFields[field]) : QString());
  }
  const std::string* storedTexts[5] = {&stored.name, &stored.reading, &stored.phone1,
                                       &stored.phone2, &stored.phone3};
  for (int i = 0; i < 5; ++i) m_pStoredTexts[i]->setText(FromCp932(*storedTexts[i]));
}

void CImportSelectDialog::OnInitDialog() {
  m_nMethod = 0;
  m_bContinue = 0;
  m_pMethod->button(m_nMethod)->setChecked(true);
  m_pContinue->setChecked(m_bContinue != 0);
  m_pOk->setFocus();
}

void CImportSelectDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CImportSelectDialog::reject() {}

void CImportSelectDialog::accept() {
  m_nMethod = m_pMethod->checkedId();
  m_bContinue = m_pContinue->isChecked() ? 1 : 0;
  QDialog::accept();
}

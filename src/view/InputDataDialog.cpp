// The entry dialog.
#include "view/InputDataDialog.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "ui/DialogUnits.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "phonebook/EntryRules.h"
#include "phonebook/ReadingText.h"
#include "readings/ReadingSuggester.h"
#include "strings/StringIds.h"
#include "view/ReadingLoad.h"

namespace {


struct FieldLayout {
  const char* label;
  int x, y, width;     // the field, in dialog units (height 14)
  int labelX, labelY, labelWidth;
};

const FieldLayout kLayout[FieldCount] = {
    {"メモリ番号 ：", 71, 7, 46, 24, 10, 39},
    {"名前 ：", 71, 27, 98, 24, 30, 39},
    {"読み ：", 71, 47, 98, 24, 50, 39},
    {"電話番号１ ：", 71, 67, 129, 24, 70, 39},
    {"電話番号２ ：", 71, 87, 129, 24, 90, 39},
    {"電話番号３ ：", 71, 105, 129, 24, 108, 39},
    {"グループ ：", 71, 123, 129, 34, 125, 28},
};

// Input-method settings of a field: Qt's hints stand for the conversion modes (the name
// takes full-width hiragana, the reading half-width katakana, the rest no input method).
void SetImeMode(QLineEdit* field, int position) {
  const bool open = position == FieldName || position == FieldReading;
  field->setAttribute(Qt::WA_InputMethodEnabled, open);
  Qt::InputMethodHints hints = Qt::ImhNone;
  switch (position) {
    case FieldMemoryNumber:
    case FieldGroup: hints = Qt::ImhDigitsOnly; break;
    case FieldPhone1:
    case FieldPhone2:
    case FieldPhone3: hints = Qt::ImhDialableCharactersOnly; break;
    case FieldReading: hints = Qt::ImhNoPredictiveText; break;
    default: break;
  }
  field->setInputMethodHints(hints);
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setGeometry(geometry);
  button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
  return button;
}

}  // namespace

CInputDataDialog::CInputDataDialog(QWidget* parent)
    : QDialog(parent), m_pReadings(&SharedReadingSuggester()) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  const DialogUnits units(font());
  for (int i = 0; i < FieldCount; ++i) {
    const FieldLayout& layout = kLayout[i];
    auto* label = new QLabel(QString::fromUtf8(layout.label), this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Right-aligned labels end where the layout puts them and may start further left, as
    // the Japanese font here runs wider than the one the layout was drawn for.
    const int labelRight = layout.labelX + layout.labelWidth;
    label->setGeometry(units.Rect(4, layout.labelY - 2, labelRight - 4, 12));
    auto* field = new QLineEdit(this);
    field->setGeometry(units.Rect(layout.x, layout.y, layout.width, 14));
    field->setAccessibleName(label->text().remove(QStringLiteral(" ：")));
    label->setBuddy(field);
    SetImeMode(field, i);
    connect(field, &QLineEdit::textChanged, this, [this, i] { OnFieldChanged(i); });
    m_labels[i] = label;
    m_fields[i] = field;
  }
  m_fields[FieldName]->installEventFilter(this);

  m_pAddButton = MakeButton(this, QStringLiteral("追加(&A)"), units.Rect(7, 144, 50, 14));
  m_pOkButton = MakeButton(this, QStringLiteral("OK"), units.Rect(113, 144, 50, 14));
  m_pCancelButton = MakeButton(this, QStringLiteral("キャンセル"), units.Rect(173, 144, 50, 14));
  // Beside the reading: the dictionary's readings of the name, in a menu under the button.
  m_pSuggestButton = MakeButton(this, Text(IDS_READING_SUGGEST_BUTTON), units.Rect(173, 47, 50, 14));
  m_pSuggestButton->setAutoDefault(false);
  m_pSuggestMenu = new QMenu(m_pSuggestButton);
  connect(m_pSuggestButton, &QPushButton::clicked, this, &CInputDataDialog::OnSuggestReadings);
  connect(m_pOkButton, &QPushButton::clicked, this, [this] { OnConfirm(false); });
  connect(m_pAddButton, &QPushButton::clicked, this, [this] { OnConfirm(true); });
  connect(m_pCancelButton, &QPushButton::clicked, this, &QDialog::reject);

  for (int i = 0; i + 1 < FieldCount; ++i) setTabOrder(m_fields[i], m_fields[i + 1]);
  setTabOrder(m_fields[FieldReading], m_pSuggestButton);
  setTabOrder(m_pSuggestButton, m_fields[FieldPhone1]);
  setTabOrder(m_fields[FieldGroup], m_pOkButton);
  setTabOrder(m_pOkButton, m_pCancelButton);
  setTabOrder(m_pCancelButton, m_pAddButton);
  setFixedSize(units.X(230), units.Y(165));
}

int CInputDataDialog::DoModal() {
  OnInitDialog();
  return Prompts().RunDialog(*this);
}

void CInputDataDialog::OnInitDialog() {
  setResult(0);
  setWindowTitle(m_strCaption);
  setAccessibleName(m_strCaption);
  for (int i = 0; i < FieldCount; ++i) {
    m_openedBytes[i] = m_strFields[i];
    m_openedTexts[i] = FromCp932(m_strFields[i]);
    m_fields[i]->setText(m_openedTexts[i]);
  }
  // A reading the entry already has is the user's; the name it opened with has no
  // composed kana.
  m_nameReading.Reset(m_fields[FieldName]->text());
  m_strFilledReading.clear();
  m_pSuggestButton->setEnabled(!m_fields[FieldName]->text().isEmpty());
  StartLoadingReadings(*m_pReadings);  // so that the first suggestion does not wait
  const bool editing = m_nEditNumber != 0;
  m_pAddButton->setVisible(!editing);
  m_pOkButton->setDefault(editing);
  m_pAddButton->setDefault(!editing);
  m_fields[FieldMemoryNumber]->setFocus();
  m_fields[FieldMemoryNumber]->selectAll();
}

bool CInputDataDialog::CleanField(int position) {
  QLineEdit* field = m_fields[position];
  const QString text = field->text();
  bool lossless = true;
  const std::string bytes = ToCp932(text, &lossless);
  if (lossless && (position != FieldName || CleanControlChars(bytes) == bytes)) return false;
  QString kept;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    i += length - 1;
    const char16_t code = character[0].unicode();
    if (position == FieldName && code < 0x80 && IsControlChar(static_cast<unsigned char>(code))) {
      if (IsBlankControl(static_cast<unsigned char>(code))) kept += QLatin1Char(' ');
      continue;
    }
    bool encodable = true;
    ToCp932(character, &encodable);
    if (encodable) kept += character;
  }
  if (kept == text) return false;
  const int caret = std::min<int>(field->cursorPosition(), kept.size());
  field->setText(kept);
  field->setCursorPosition(caret);
  return true;
}

std::string CInputDataDialog::FieldBytes(int position) const {
  const QString text = m_fields[position]->text();
  return text == m_openedTexts[position] ? m_openedBytes[position] : ToCp932(text);
}

void CInputDataDialog::OnFieldChanged(int position) {
  QLineEdit* field = m_fields[position];
  // setText below re-enters this handler with the cleaned text. A field that still shows
  // what it opened with keeps its bytes, whatever they are.
  if (field->text() != m_openedTexts[position] && CleanField(position)) return;
  if (position == FieldName) {
    m_nameReading.NameChanged(field->text());
    FillComposedReading();
    m_pSuggestButton->setEnabled(!field->text().isEmpty());
  }
  const std::string text = FieldBytes(position);
  const auto field_position = static_cast<FieldPosition>(position);
  const bool charRule = position != FieldName;
  const bool lengthRule = position != FieldMemoryNumber && position != FieldGroup;
  if (charRule) {
    const FieldCharsResult chars = CheckFieldChars(field_position, text);
    if (chars.filtered) {
      if (chars.text != text) {
        field->setText(FromCp932(chars.text));
        field->setCursorPosition(std::min<int>(chars.caret, field->text().size()));
        return;
      }
    } else if (!chars.ok) {
      FocusField(position, chars.selStart, chars.selEnd);
      ShowCheckMessage(chars.textId, MessageIcon::Error);
      return;
    }
  }
  if (lengthRule) {
    const FieldLengthResult length = CheckFieldLength(field_position, text);
    if (!length.ok) {
      FocusField(position, 0, field->text().size());
      ShowCheckMessage(length.textId, MessageIcon::Error);
    }
  }
}

void CInputDataDialog::FocusField(int position, int selStart, int selEnd) {
  QLineEdit* field = m_fields[position];
  field->setFocus();
  if (selEnd > selStart)
    field->setSelection(selStart, selEnd - selStart);
}

void CInputDataDialog::ShowCheckMessage(int textId, MessageIcon icon) {
  ShowMessage(this, Text(IDS_CHECK_CAPTION), Text(textId), icon);
}

void CInputDataDialog::OnConfirm(bool addNext) {
  for (int i = 0; i < FieldCount; ++i) m_strFields[i] = FieldBytes(i);
  static const UsedFlags kNoneUsed{};
  const UsedFlags& used = m_pDoc ? m_pDoc->Store().usedFlags() : kNoneUsed;
  const EntryCheckResult result = CheckEntry(m_strFields, m_nEditNumber, used);
  if (!result.ok) {
    if (result.focusField >= 0 && result.selection != FocusSelection::None) {
      QLineEdit* field = m_fields[result.focusField];
      field->setFocus();
      if (result.selection == FocusSelection::SelectAll) field->selectAll();
      if (result.selection == FocusSelection::Range)
        field->setSelection(result.selStart, result.selEnd - result.selStart);
    }
    ShowCheckMessage(result.textId, result.icon);
    return;
  }
  m_bAddNext = addNext ? 1 : 0;
  accept();
}

bool CInputDataDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_fields[FieldName] && event->type() == QEvent::InputMethod &&
      !m_bForwarding && m_fields[FieldName]->hasFocus()) {
    OnNameInputMethod(event);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// The name's input method: the kana of the pre-edit before conversion, and where each
// commit lands, go to the tracker before the field takes the event; the field's change
// then rebuilds the reading.
void CInputDataDialog::OnNameInputMethod(QEvent* event) {
  auto* composition = static_cast<QInputMethodEvent*>(event);
  QLineEdit* name = m_fields[FieldName];
  if (!composition->commitString().isEmpty()) {
    const int at = name->hasSelectedText() ? name->selectionStart() : name->cursorPosition();
    m_nameReading.NoteCommit(composition->commitString(), at, !composition->preeditString().isEmpty());
  }
  m_nameReading.NotePreedit(composition->preeditString());
  m_bForwarding = true;
  QCoreApplication::sendEvent(name, event);
  m_bForwarding = false;
}

void CInputDataDialog::FillComposedReading() {
  const std::optional<QString> kana = m_nameReading.Reading();
  if (!kana) return;  // part of the name has no composed reading: filling stops
  QLineEdit* field = m_fields[FieldReading];
  if (!field->text().isEmpty() && field->text() != m_strFilledReading) return;  // the user's own
  bool lossless = true;
  std::string reading = ReadingFromKana(kana->toStdString(), lossless);
  reading.resize(FitBytes(reading, kReadingMaxBytes));
  m_strFilledReading = FromCp932(reading);
  if (field->text() != m_strFilledReading) field->setText(m_strFilledReading);
}

// The dictionary's readings of the name, best first, in the button's menu; choosing one
// puts it into the reading as if the user had typed it.
void CInputDataDialog::OnSuggestReadings() {
  m_pSuggestMenu->clear();
  const std::vector<std::string> readings = m_pReadings->Suggest(FieldBytes(FieldName));
  if (m_pReadings->TakeMissingNotice()) {
    ShowMessage(this, Text(IDS_READING_CAPTION), Text(IDS_READING_NO_DICTIONARY), MessageIcon::Warning);
    return;
  }
  for (const std::string& reading : readings) {
    const QString text = FromCp932(reading);
    m_pSuggestMenu->addAction(text, this, [this, text] {
      m_fields[FieldReading]->setText(text);
      m_fields[FieldReading]->setFocus();
    });
  }
  if (readings.empty()) m_pSuggestMenu->addAction(Text(IDS_READING_NO_SUGGESTION))->setEnabled(false);
  m_pSuggestMenu->popup(m_pSuggestButton->mapToGlobal(QPoint(0, m_pSuggestButton->height())));
}

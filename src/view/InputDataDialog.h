// The dialog through which an entry is added or edited: seven fields checked as the user
// types, the whole entry checked on OK or 追加, input-method settings per field, the
// reading filled in from the kana the user composes in the name field, and readings the
// dictionary suggests for a name typed otherwise (the 読み候補 button).
#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "phonebook/PhonebookEntry.h"
#include "strings/StringTable.h"
#include "view/NameReadingTracker.h"

class CReadingSuggester;
class CUtilityDoc;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class CInputDataDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CInputDataDialog(QWidget* parent = nullptr);

  // Prepares the fields from the members and runs the dialog; QDialog::Accepted when the
  // user confirmed a valid entry with OK or 追加.
  int DoModal();

  QLineEdit* Field(int position) const { return m_fields[position]; }
  QPushButton* OkButton() const { return m_pOkButton; }
  QPushButton* CancelButton() const { return m_pCancelButton; }
  QPushButton* AddButton() const { return m_pAddButton; }
  QPushButton* SuggestButton() const { return m_pSuggestButton; }
  QMenu* SuggestMenu() const { return m_pSuggestMenu; }

  // Set by the caller before DoModal; the field texts are read back after it.
  QString m_strCaption;
  std::array<std::string, FieldCount> m_strFields;  // code page 932, positions of FieldPosition
  CUtilityDoc* m_pDoc = nullptr;                    // whose store's usedFlags are consulted
  int m_nEditNumber = 0;                            // the number being edited; 0 when adding
  int m_bAddNext = 0;                               // nonzero: closed with 追加
  CReadingSuggester* m_pReadings;                   // the dictionary's suggestions

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnInitDialog();
  void OnFieldChanged(int position);
  void OnConfirm(bool addNext);
  void OnNameInputMethod(QEvent* event);
  // Fills the reading from the name's composed kana, unless the user wrote the reading.
  void FillComposedReading();
  void OnSuggestReadings();
  void FocusField(int position, int selStart, int selEnd);
  void ShowCheckMessage(int textId, MessageIcon icon);
  // Drops what no field takes from a field the user changed: characters that code page
  // 932 cannot hold and, in the name, control characters (the blanks among them become
  // spaces). True when the text was changed.
  bool CleanField(int position);
  // The field's text as code page 932 bytes: the bytes it was opened with while it still
  // shows them, so that a field left alone keeps bytes no character stands for.
  std::string FieldBytes(int position) const;

  std::array<QLineEdit*, FieldCount> m_fields{};
  std::array<QLabel*, FieldCount> m_labels{};
  QPushButton* m_pOkButton = nullptr;
  QPushButton* m_pCancelButton = nullptr;
  QPushButton* m_pAddButton = nullptr;
  QPushButton* m_pSuggestButton = nullptr;
  QMenu* m_pSuggestMenu = nullptr;
  bool m_bForwarding = false;         // the name's own input-method handling is running
  CNameReadingTracker m_nameReading;  // the kana of the name's composed segments
  QString m_strFilledReading;         // what the dialog last put into the reading itself
  std::array<std::string, FieldCount> m_openedBytes;  // the texts the dialog opened with
  std::array<QString, FieldCount> m_openedTexts;      // ... as the fields showed them
};

// The import's duplicate dialog: shows the row of the file beside the stored entry that
// holds the same memory number and lets the user overwrite, add under another number or
// skip, optionally for every later duplicate of the same import. It can only be closed
// with OK: Esc does nothing and the title bar has no close box.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CImportSelectDialog : public QDialog {
  Q_OBJECT

 public:
  // Control ids of the dialog resource, kept as the object names of the controls.
  enum ControlId : int {
    IDC_DUPLICATE_NUMBER = 1007,
    IDC_OVERWRITE = 1056,
    IDC_ADD_OTHER = 1057,
    IDC_SKIP = 1058,
    IDC_CONTINUE = 1059,
  };

  explicit CImportSelectDialog(QWidget* parent = nullptr);

  // For a vCard import, where a duplicate is a card with a stored entry's name and first
  // phone number: the caption names vCard, the message says what matched, and the
  // number shown is the stored entry's.
  void UseVcardTexts();

  // Fills the texts shown: the duplicated number, the row's fields 1..5 (empty when the
  // row is shorter) and the stored entry's texts.
  void SetDuplicate(int memoryNumber, const std::vector<std::string>& rowFields,
                    const PhonebookEntry& stored);

  // Selects the overwrite button and clears the check box, as every opening does.
  void OnInitDialog();

  // Esc and the window manager's close request end up here: they do nothing.
  void reject() override;
  // OK: reads the controls back into the members.
  void accept() override;

  int m_nMethod = 0;    // 0 overwrite, 1 add under another number, 2 skip
  int m_bContinue = 0;  // treat every later duplicate of this import the same way

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* m_pMessage;
  QLabel* m_pNumberLabel;
  QLineEdit* m_pNumber;
  QLineEdit* m_pRowTexts[5];     // name, reading, phone 1..3 of the row (1041..1044, 1062)
  QLineEdit* m_pStoredTexts[5];  // the same of the stored entry (1050..1053, 1061)
  QButtonGroup* m_pMethod;
  QCheckBox* m_pContinue;
  QPushButton* m_pOk;
};

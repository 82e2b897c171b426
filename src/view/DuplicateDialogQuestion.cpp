// Asking about an import's duplicates through the duplicate dialog.
#include "view/DuplicateDialogQuestion.h"

#include "files/ui/ImportSelectDialog.h"
#include "ui/UserPrompts.h"

namespace {

// Asks the user through one duplicate dialog, kept for the whole import.
class CDialogDuplicateResolver : public IDuplicateResolver {
 public:
  explicit CDialogDuplicateResolver(bool vcard) {
    if (vcard) m_dialog.UseVcardTexts();
  }

  DuplicateChoice ResolveDuplicate(int memoryNumber, const std::vector<std::string>& fields,
                                   const PhonebookEntry& stored) override {
    m_dialog.SetDuplicate(memoryNumber, fields, stored);
    m_dialog.OnInitDialog();
    Prompts().RunDialog(m_dialog);
    return {static_cast<DuplicateMethod>(m_dialog.m_nMethod), m_dialog.m_bContinue != 0};
  }

 private:
  CImportSelectDialog m_dialog;  // no owner window
};

}  // namespace

std::unique_ptr<IDuplicateResolver> CDuplicateDialogQuestion::ResolverForImport(bool vcard) {
  return std::make_unique<CDialogDuplicateResolver>(vcard);
}

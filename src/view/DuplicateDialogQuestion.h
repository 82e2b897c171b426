// The duplicate question of the editor's imports: the duplicate dialog, one for each import.
#pragma once

#include "doc/DuplicateQuestion.h"

class CDuplicateDialogQuestion : public IDuplicateQuestion {
 public:
  std::unique_ptr<IDuplicateResolver> ResolverForImport(bool vcard) override;
};

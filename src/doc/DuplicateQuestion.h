// Who answers the duplicate question of an import the user starts in the editor. The view
// provides it (a dialog), so that the document knows no dialog.
#pragma once

#include <memory>

#include "files/DuplicateAnswers.h"

class IDuplicateQuestion {
 public:
  virtual ~IDuplicateQuestion() = default;
  // The resolver of one import, asked about each of its duplicates; `vcard`: the file is a
  // vCard file (its duplicates are found by name and first phone number).
  virtual std::unique_ptr<IDuplicateResolver> ResolverForImport(bool vcard) = 0;
};

// A script for the upload's preview, for FakePrompts: looks at the dialog if asked to, then
// presses アップロード or キャンセル as a user would.
#pragma once

#include <QPushButton>

#include <functional>

#include "backup/ui/UploadPreviewDialog.h"
#include "support/FakePrompts.h"

inline FakePrompts::DialogScript AnswerPreview(bool upload,
                                               std::function<void(CUploadPreviewDialog&)> look = {}) {
  return [upload, look](QDialog& dialog) {
    auto& preview = static_cast<CUploadPreviewDialog&>(dialog);
    if (look) look(preview);
    (upload ? preview.UploadButton() : preview.CancelButton())->click();
    return preview.result();
  };
}

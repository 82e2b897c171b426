// Which message (caption and text string ids) a transfer's result is shown with, for
// the editor's view and the CLI alike.
#pragma once

struct MessageIds {
  int caption;
  int text;
};

// The message for a StartSession result other than 0.
MessageIds StartFailureMessage(int result, bool bDownload);
// The message for the result of a finished download or upload (0 included).
MessageIds TransferResultMessage(int result, bool bDownload);

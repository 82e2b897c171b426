// Which message (caption and text string ids) a transfer's result is shown with, for
// the editor's view and the CLI alike.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "comm/TransferSession.h"

// A message box by its string ids: the caption, the text and the notes that follow the
// text as paragraphs of their own.
struct MessageIds {
  int caption;
  int text;
  std::array<int, 2> notes{};  // in order; 0 where there is none
};

// `ids` with `note` added after its other notes (when there is room).
MessageIds WithNote(MessageIds ids, int note);
// The text with its notes, an empty line before each note; "%1" in any of them is `argument`.
std::string MessageText(const MessageIds& ids, std::string_view argument = {});

// The message for a StartSession result other than Ok. `bHandsetAtRisk`: the session had
// told the handset to clear its phonebook for an upload (HandsetPhonebookAtRisk).
MessageIds StartFailureMessage(SessionResult result, bool bDownload, bool bHandsetAtRisk = false);
// The message for the result of a finished download or upload (Ok included).
MessageIds TransferResultMessage(SessionResult result, bool bDownload, bool bHandsetAtRisk = false);

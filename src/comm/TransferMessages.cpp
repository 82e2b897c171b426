// Results of a transfer session mapped to the string table's messages.
#include "comm/TransferMessages.h"

#include "comm/TransferSession.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

constexpr MessageIds kPortUnavailable{IDS_PORT_UNAVAILABLE_CAPTION, IDS_PORT_UNAVAILABLE};
constexpr MessageIds kPortNotFound{IDS_PORT_NOT_FOUND_CAPTION, IDS_PORT_NOT_FOUND};
constexpr MessageIds kDownloadDone{IDS_DOWNLOAD_DONE_CAPTION, IDS_DOWNLOAD_DONE};
constexpr MessageIds kDownloadFailed{IDS_DOWNLOAD_FAILED_CAPTION, IDS_DOWNLOAD_FAILED};
constexpr MessageIds kDownloadAborted{IDS_DOWNLOAD_ABORTED_CAPTION, IDS_DOWNLOAD_ABORTED};
constexpr MessageIds kUploadDone{IDS_UPLOAD_DONE_CAPTION, IDS_UPLOAD_DONE};
constexpr MessageIds kUploadFailed{IDS_UPLOAD_FAILED_CAPTION, IDS_UPLOAD_FAILED};
constexpr MessageIds kUploadAborted{IDS_UPLOAD_ABORTED_CAPTION, IDS_UPLOAD_ABORTED};
constexpr MessageIds kLocked{IDS_COMM_ERROR_CAPTION, IDS_PHONEBOOK_LOCKED};
constexpr MessageIds kNoResponse{IDS_NO_ANSWER_CAPTION, IDS_NO_ANSWER};

MessageIds StartFailureIds(SessionResult result, bool bDownload) {
  switch (result) {
    case SessionResult::PortNotFound:
      return kPortNotFound;
    case SessionResult::PortUnavailable:
      return kPortUnavailable;
    case SessionResult::NoImage:  // the upload was refused before anything was sent
    case SessionResult::NoThread:
    case SessionResult::NoRequest:
      return bDownload ? kDownloadFailed : kUploadFailed;
    case SessionResult::Locked:
      return kLocked;
    default:
      return kNoResponse;
  }
}

MessageIds TransferResultIds(SessionResult result, bool bDownload) {
  switch (result) {
    case SessionResult::Ok:
      return bDownload ? kDownloadDone : kUploadDone;
    case SessionResult::Aborted:
      return bDownload ? kDownloadAborted : kUploadAborted;
    case SessionResult::NoReply:
      return kNoResponse;
    default:
      return bDownload ? kDownloadFailed : kUploadFailed;
  }
}

// An upload that ended early after the handset was told to clear its phonebook says what
// may be left of that phonebook.
MessageIds NotingTheHandset(MessageIds ids, bool bUploadEndedAtRisk) {
  return bUploadEndedAtRisk ? WithNote(ids, IDS_HANDSET_PHONEBOOK_AT_RISK) : ids;
}

}  // namespace

MessageIds WithNote(MessageIds ids, int note) {
  for (int& slot : ids.notes) {
    if (slot == 0) {
      slot = note;
      break;
    }
  }
  return ids;
}

std::string MessageText(const MessageIds& ids, std::string_view argument) {
  std::string text = FormatText(ids.text, {argument});
  for (int note : ids.notes)
    if (note != 0) text.append("\r\n\r\n").append(FormatText(note, {argument}));
  return text;
}

MessageIds StartFailureMessage(SessionResult result, bool bDownload, bool bHandsetAtRisk) {
  return NotingTheHandset(StartFailureIds(result, bDownload), !bDownload && bHandsetAtRisk);
}

MessageIds TransferResultMessage(SessionResult result, bool bDownload, bool bHandsetAtRisk) {
  const bool endedEarly = result != SessionResult::Ok;
  return NotingTheHandset(TransferResultIds(result, bDownload), !bDownload && endedEarly && bHandsetAtRisk);
}

// Results of a transfer session mapped to the string table's messages.
#include "comm/TransferMessages.h"

#include "comm/TransferSession.h"
#include "strings/StringIds.h"

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

}  // namespace

MessageIds StartFailureMessage(int result, bool bDownload) {
  switch (result) {
    case SessionPortNotFound:
      return kPortNotFound;
    case SessionPortUnavailable:
      return kPortUnavailable;
    case SessionNoImage:  // the upload was refused before anything was sent
    case SessionNoThread:
    case SessionNoRequest:
      return bDownload ? kDownloadFailed : kUploadFailed;
    case SessionLocked:
      return kLocked;
    default:
      return kNoResponse;
  }
}

MessageIds TransferResultMessage(int result, bool bDownload) {
  switch (result) {
    case SessionOk:
      return bDownload ? kDownloadDone : kUploadDone;
    case SessionAborted:
      return bDownload ? kDownloadAborted : kUploadAborted;
    case SessionNoReply:
      return kNoResponse;
    default:
      return bDownload ? kDownloadFailed : kUploadFailed;
  }
}

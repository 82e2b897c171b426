// Results of a transfer session mapped to the string table's messages.
#include "comm/TransferMessages.h"

#include "comm/TransferSession.h"

namespace {

constexpr MessageIds kPortUnavailable{142, 143};
constexpr MessageIds kPortNotFound{146, 147};
constexpr MessageIds kDownloadDone{150, 151};
constexpr MessageIds kDownloadFailed{152, 153};
constexpr MessageIds kDownloadAborted{154, 155};
constexpr MessageIds kUploadDone{158, 159};
constexpr MessageIds kUploadFailed{160, 161};
constexpr MessageIds kUploadAborted{162, 163};
constexpr MessageIds kLocked{218, 219};
constexpr MessageIds kNoResponse{220, 221};

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

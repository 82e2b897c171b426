// What a transfer session tells the outside world. The editor turns the notifications
// into posted WM_COMM_NOTIFY events and shows the wait dialog; the CLI prints lines.
#pragma once

// The kinds of notification, as the editor's WM_COMM_NOTIFY wParam.
enum CommNotifyKind : int {
  NotifyDownloadFinished = 1,  // value: the result of the download
  NotifyUploadFinished = 2,    // value: the result of the upload
  NotifyProgress = 3           // value: bytes transferred so far, 0 to 120000
};

class ITransferObserver {
 public:
  virtual ~ITransferObserver() = default;
  // Called on the transfer thread: post, never touch widgets here.
  virtual void OnCommNotify(int kind, int value) = 0;
};

// The notice shown while the handset wakes up (up to a minute). Called on the thread
// that starts the session.
class IWakeNotice {
 public:
  virtual ~IWakeNotice() = default;
  virtual void ShowWakeNotice() = 0;
  virtual void HideWakeNotice() = 0;
};

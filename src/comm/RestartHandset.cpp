// The restart after an upload.
#include "comm/RestartHandset.h"

#include <vector>

bool RestartHandset(CUtiCtrl& ctrl, const std::string& portName, const TransferTiming& timing) {
  std::string name = portName;
  if (name.empty() && (ctrl.FindHandsetPort(name) != UtiFound || name.empty())) return false;
  ctrl.SetOpenRetryPause(timing.openRetryPauseMs);
  if (ctrl.Open(name) != UtiOk) {
    ctrl.Close();
    return false;
  }
  if (!ctrl.Pause(timing.afterOpenMs)) {  // interrupted
    ctrl.Close();
    return false;
  }
  std::vector<uint8_t> reply(kCommandReplyCapacity);
  uint32_t count = kCommandReplyCapacity;
  ctrl.SendText("AT\r");
  if (ctrl.WaitReply(count, reply.data(), timing.replyTimeoutMs) != UtiOk) {
    ctrl.Close();
    return false;
  }
  count = kCommandReplyCapacity;
  ctrl.SendText("!!restart\r");
  ctrl.WaitReply(count, reply.data(), timing.replyTimeoutMs);  // the outcome does not matter
  ctrl.Close();
  return true;
}

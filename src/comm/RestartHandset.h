// Restarting the handset after an upload: reopen its port, wake it and send "!!restart".
#pragma once

#include <string>

#include "comm/TransferTiming.h"
#include "comm/UtiCtrl.h"

// Runs the restart on `ctrl` (closed before and after). `portName` names the port; when
// empty the handset is searched for. Fails silently: true only when "!!restart" was sent
// after the handset answered "AT". ctrl.InterruptWaits(true) from another thread cuts
// every wait short.
bool RestartHandset(CUtiCtrl& ctrl, const std::string& portName, const TransferTiming& timing = {});

// Every pause and time-out of a transfer session, in milliseconds. The defaults pace the
// real handset; tests may shorten them.
#pragma once

struct TransferTiming {
  int afterOpenMs = 1000;          // after opening the port
  int afterWaitNoticeMs = 1000;    // after showing the wait notice, before "AT\r"
  int wakePollMs = 100;            // between wake-up polls
  int wakeLimitMs = 60000;         // the whole wake-up
  int startToDeleteMs = 1000;      // between "FT_START" and "DEL<**ack**>"
  int beforeAckMs = 10;            // before each download acknowledgement
  int aroundPutFileMs = 1000;      // before and after the PUT_FILE command
  int afterBlockMs = 20;           // after each upload block, before reading its reply
  int afterEndOfLinkMs = 500;      // after the end-of-link frame
  int replyTimeoutMs = 3000;       // every reply
  int threadEndWaitMs = 2000;      // for the transfer thread to end
  int openRetryPauseMs = 5000;     // before the one retry of opening the port
};

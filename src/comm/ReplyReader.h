// The handset's replies one at a time, cut out of the chunks the channel receives: a frame
// from its opening to its closing flag, or a line of text up to its line end. Bytes that
// belong to neither (NUL, XON/XOFF and the other control bytes, empty lines) are dropped.
// A frame or line that has begun is read on across pauses, however the channel's interval
// time-out cut it into chunks, until it ends or the caller's time-out passes; whatever
// arrived after a reply stays for the next.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "comm/UtiCtrl.h"

// How the bytes are read: before the handset's file-transfer mode everything is text
// (0x7E included); in it, 0x7E opens and closes frames and text lies between them.
enum class ReplyMode { Text, Framed };

struct Reply {
  bool framed = false;         // a frame, else a line of text
  std::vector<uint8_t> bytes;  // the frame with both its flags; the line without its end
};

// Results of Await beyond the judge's own. The numbers are those of the exchanges' "wrong
// reply" and "no reply", which is what they mean to every caller.
enum AwaitResult : int {
  AwaitReadOn = -1,  // from a judge: not the reply awaited, read on
  AwaitGarbled = 4,  // only passed-over replies or noise came; the receive queue overflowed;
                     // or a frame grew longer than any reply can be
  AwaitSilent = 5    // nothing came at all
};

class CReplyReader {
 public:
  using Clock = std::chrono::steady_clock;
  // Tells what a reply means to the caller: a result, or AwaitReadOn.
  using Judge = std::function<int(const Reply&)>;

  explicit CReplyReader(CUtiCtrl& controller);
  CReplyReader(const CReplyReader&) = delete;
  CReplyReader& operator=(const CReplyReader&) = delete;

  // Forgets everything read so far and reads in `mode` from now on.
  void Reset(ReplyMode mode);
  // Takes what has arrived, without waiting, and forgets it: its complete replies go to
  // `arrived`. True when, besides, a frame had begun (or the reading broke down).
  bool TakeArrived(std::vector<Reply>& arrived);
  // The same, for what nobody is to read.
  void Discard();
  // Hands each reply to `judge`, waiting for more until `deadline`, and returns the first
  // result other than AwaitReadOn; AwaitGarbled or AwaitSilent when none came in time.
  int Await(Clock::time_point deadline, const Judge& judge);

 private:
  enum class Receipt { Bytes, Broken, Timeout };
  Receipt Receive(Clock::time_point deadline);
  void Feed(const uint8_t* bytes, std::size_t count);
  void EndLine();

  CUtiCtrl& m_ctrl;
  ReplyMode m_mode = ReplyMode::Framed;
  std::vector<uint8_t> m_chunk = std::vector<uint8_t>(kMaxChunkBytes);  // one received chunk
  std::deque<Reply> m_ready;         // complete replies not yet handed out, oldest first
  std::vector<uint8_t> m_partial;    // the frame or line being received
  bool m_bInFrame = false;           // m_partial is a frame (else text)
  bool m_bLineTooLong = false;       // the text being received is noise, not a reply
  bool m_bBroken = false;            // a frame outgrew any reply, or the queue overflowed
  uint64_t m_nReceived = 0;          // bytes fed so far
};

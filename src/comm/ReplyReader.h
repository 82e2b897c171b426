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
#include <optional>
#include <vector>

#include "comm/UtiCtrl.h"

// How the bytes are read: before the handset's file-transfer mode everything is text
// (0x7E included); in it, 0x7E opens and closes frames and text lies between them.
enum class ReplyMode { Text, Framed };

struct Reply {
  bool framed = false;         // a frame, else a line of text
  std::vector<uint8_t> bytes;  // the frame with both its flags; the line without its end
};

class CReplyReader {
 public:
  using Clock = std::chrono::steady_clock;

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
  // Hands each reply to `judge`, which tells what it means to the caller (a Result), or
  // nothing when it is not the reply awaited; waits for more until `deadline`. Returns the
  // first meaning; when none came in time, `garbled` if only passed-over replies or noise
  // came (or the receive queue overflowed, or a frame grew longer than any reply can be),
  // `silent` if nothing came at all.
  template <typename Result, typename Judge>
  Result Await(Clock::time_point deadline, Result garbled, Result silent, const Judge& judge) {
    std::optional<Result> meaning;
    switch (AwaitReply(deadline, [&](const Reply& reply) { return (meaning = judge(reply)).has_value(); })) {
      case Ending::Answered: return *meaning;
      case Ending::Garbled: return garbled;
      case Ending::Silent: break;
    }
    return silent;
  }

 private:
  enum class Ending { Answered, Garbled, Silent };
  // Await without the meanings: `answers` is true for the reply awaited.
  Ending AwaitReply(Clock::time_point deadline, const std::function<bool(const Reply&)>& answers);
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

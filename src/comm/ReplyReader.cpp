// Cutting the received bytes into frames and lines, and waiting for the one a caller wants.
#include "comm/ReplyReader.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "comm/Frame.h"

namespace {

// The longest text taken for a reply; longer text is noise.
constexpr std::size_t kMaxReplyLine = 255;
// The longest frame a reply can be: the largest block, every byte stuffed, and both flags.
constexpr std::size_t kMaxReplyFrame = 2 * (kMaxFrameData + kFrameOverhead) + 2;

bool IsLineEnd(uint8_t byte) { return byte == '\r' || byte == '\n'; }
bool IsControl(uint8_t byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

CReplyReader::CReplyReader(CUtiCtrl& controller) : m_ctrl(controller) {}

void CReplyReader::Reset(ReplyMode mode) {
  m_mode = mode;
  m_ready.clear();
  m_partial.clear();
  m_bInFrame = m_bLineTooLong = m_bBroken = false;
}

void CReplyReader::EndLine() {
  if (!m_partial.empty() && !m_bLineTooLong) m_ready.push_back({false, std::move(m_partial)});
  m_partial.clear();
  m_bLineTooLong = false;
}

void CReplyReader::Feed(const uint8_t* bytes, std::size_t count) {
  m_nReceived += count;
  for (const uint8_t byte : std::span(bytes, count)) {
    if (m_bInFrame) {
      if (byte != kFrameFlag) {
        if (m_partial.size() < kMaxReplyFrame) m_partial.push_back(byte);
        else m_bBroken = true;
      } else if (m_partial.size() > 1) {  // the closing flag
        m_partial.push_back(byte);
        m_ready.push_back({true, std::move(m_partial)});
        m_partial.clear();
        m_bInFrame = false;
      }  // else two flags in a row: the second opens the frame
      continue;
    }
    if (byte == kFrameFlag && m_mode == ReplyMode::Framed) {
      m_partial.assign(1, kFrameFlag);  // text cut off by a frame was noise
      m_bInFrame = true;
      m_bLineTooLong = false;
    } else if (IsLineEnd(byte)) {
      EndLine();
    } else if (IsControl(byte)) {
      // NUL, XON/XOFF and the like between replies: not part of any
    } else if (m_partial.size() < kMaxReplyLine) {
      m_partial.push_back(byte);
    } else {
      m_bLineTooLong = true;
    }
  }
}

CReplyReader::Receipt CReplyReader::Receive(Clock::time_point deadline) {
  // A chunk queued already (its receive signal may be spent) is taken without waiting.
  uint32_t count = kMaxChunkBytes;
  const int queued = m_ctrl.ReadData(count, m_chunk.data());
  if (queued == CommOk) {
    Feed(m_chunk.data(), count);
    return Receipt::Bytes;
  }
  if (queued == CommOverflow) return Receipt::Broken;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    count = kMaxChunkBytes;
    const int waited = m_ctrl.WaitReply(count, m_chunk.data(), static_cast<int>(std::clamp<int64_t>(left, 0, 1 << 30)));
    if (waited == UtiOk) {
      Feed(m_chunk.data(), count);
      return Receipt::Bytes;
    }
    if (waited != UtiNoChunk) return Receipt::Timeout;
    if (m_ctrl.ReceiveOverflowed()) return Receipt::Broken;
    // A signal left over from a chunk taken above: wait again for what it promised.
    if (Clock::now() >= deadline) return Receipt::Timeout;
  }
}

bool CReplyReader::TakeArrived(std::vector<Reply>& arrived) {
  for (std::size_t i = 0; i < kMaxQueuedChunks; ++i) {
    uint32_t count = kMaxChunkBytes;
    const int queued = m_ctrl.ReadData(count, m_chunk.data());
    if (queued == CommOverflow) m_bBroken = true;
    if (queued != CommOk) break;
    Feed(m_chunk.data(), count);
  }
  arrived.assign(std::make_move_iterator(m_ready.begin()), std::make_move_iterator(m_ready.end()));
  const bool begun = m_bInFrame || m_bBroken;
  Reset(m_mode);
  return begun;
}

void CReplyReader::Discard() {
  std::vector<Reply> ignored;
  TakeArrived(ignored);
}

CReplyReader::Ending CReplyReader::AwaitReply(Clock::time_point deadline,
                                              const std::function<bool(const Reply&)>& answers) {
  const uint64_t before = m_nReceived;
  bool passedOver = false;
  bool waited = false;  // one look at the line even when the deadline has passed
  for (;;) {
    while (!m_ready.empty()) {
      const Reply reply = std::move(m_ready.front());
      m_ready.pop_front();
      if (answers(reply)) return Ending::Answered;
      passedOver = true;
    }
    if (m_bBroken) return Ending::Garbled;
    const bool late = waited && Clock::now() >= deadline;  // a line that never stops talking
    const Receipt receipt = late ? Receipt::Timeout : Receive(deadline);
    waited = true;
    if (receipt == Receipt::Broken) return Ending::Garbled;
    if (receipt == Receipt::Timeout) return passedOver || m_nReceived != before ? Ending::Garbled : Ending::Silent;
  }
}

// Fuzzes the download's handling of the handset's replies. A stand-in controller answers
// every request of the session with the next chunk of the input (each chunk: two bytes of
// length, big-endian, then its bytes) and falls silent when they run out. Whatever the
// replies, the download must end with one of its results without reading or writing
// outside its buffers.
#include "FuzzSupport.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "comm/TransferSession.h"

namespace {

class ReplayController : public CUtiCtrl {
 public:
  using CUtiCtrl::SendBytes;

  void Load(const uint8_t* data, std::size_t size) {
    m_chunks.clear();
    m_nNext = 0;
    while (size >= 2) {
      const std::size_t length = std::min<std::size_t>((data[0] << 8) | data[1], size - 2);
      m_chunks.emplace_back(data + 2, data + 2 + length);
      data += 2 + length;
      size -= 2 + length;
    }
  }
  std::size_t Asked() const { return m_nNext; }
  std::size_t Chunks() const { return m_chunks.size(); }

  int SendBytes(uint32_t, const uint8_t*) override { return UtiOk; }
  int WaitReply(uint32_t& count, uint8_t* buffer, int) override {
    if (m_nNext >= m_chunks.size()) {
      ++m_nNext;
      return UtiTimeout;
    }
    const std::vector<uint8_t>& chunk = m_chunks[m_nNext++];
    count = static_cast<uint32_t>(std::min<std::size_t>(count, chunk.size()));
    if (count > 0) std::memcpy(buffer, chunk.data(), count);
    return UtiOk;
  }

 private:
  std::vector<std::vector<uint8_t>> m_chunks;
  std::size_t m_nNext = 0;
};

TransferTiming NoPauses() {
  TransferTiming timing;
  timing.beforeAckMs = 0;
  timing.replyTimeoutMs = 0;
  return timing;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static ReplayController* controller = nullptr;
  static CTransferSession session = [] {
    auto replay = std::make_unique<ReplayController>();
    controller = replay.get();
    return CTransferSession(std::move(replay), NoPauses());
  }();
  controller->Load(data, size);
  const SessionResult result = session.DownloadImage();
  FUZZ_CHECK(result == SessionResult::Ok || result == SessionResult::NoReply || result == SessionResult::BadReply);
  // One request per reply, and one more when the replies ran out.
  FUZZ_CHECK(controller->Asked() <= controller->Chunks() + 1);
  // An accepted download took every reply up to the last block, and the handset's image
  // was all there (what it holds is the image target's business).
  if (result == SessionResult::Ok) FUZZ_CHECK(controller->Asked() <= controller->Chunks());
  return 0;
}

// A first-in first-out list of byte chunks: what the reader thread received, or what
// waits to be written. Not locked itself; the channel guards each queue with its own mutex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

using ByteChunk = std::vector<uint8_t>;

class CWDataQueue {
 public:
  CWDataQueue() = default;
  virtual ~CWDataQueue() { Clear(); }
  CWDataQueue(const CWDataQueue&) = delete;
  CWDataQueue& operator=(const CWDataQueue&) = delete;

  void PushBack(const uint8_t* bytes, std::size_t count) { PushBack(ByteChunk(bytes, bytes + count)); }
  void PushBack(ByteChunk chunk) {
    m_nBytes += chunk.size();
    m_chunks.push_back(std::move(chunk));
  }
  // Hands the oldest chunk over; false when the queue is empty.
  bool PopFront(ByteChunk& chunk) {
    if (m_chunks.empty()) return false;
    chunk = std::move(m_chunks.front());
    m_chunks.pop_front();
    m_nBytes -= chunk.size();
    return true;
  }
  void Clear() {
    m_chunks.clear();
    m_nBytes = 0;
  }
  bool IsEmpty() const { return m_chunks.empty(); }
  std::size_t Count() const { return m_chunks.size(); }
  std::size_t Bytes() const { return m_nBytes; }

 private:
  std::deque<ByteChunk> m_chunks;  // oldest first
  std::size_t m_nBytes = 0;        // in all chunks together
};

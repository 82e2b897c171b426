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

  void PushBack(const uint8_t* bytes, std::size_t count) { m_chunks.emplace_back(bytes, bytes + count); }
  void PushBack(ByteChunk chunk) { m_chunks.push_back(std::move(chunk)); }
  // Hands the oldest chunk over; false when the queue is empty.
  bool PopFront(ByteChunk& chunk) {
    if (m_chunks.empty()) return false;
    chunk = std::move(m_chunks.front());
    m_chunks.pop_front();
    return true;
  }
  void Clear() { m_chunks.clear(); }
  bool IsEmpty() const { return m_chunks.empty(); }
  std::size_t Count() const { return m_chunks.size(); }

 private:
  std::deque<ByteChunk> m_chunks;  // oldest first
};

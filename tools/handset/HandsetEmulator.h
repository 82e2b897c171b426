// The handset's side of the conversation, without the line: bytes from the PC go in,
// replies come out as whole bursts (some of them scheduled for later).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "HandsetOptions.h"
#include "phonebook/PhonebookImage.h"

class CHandsetEmulator {
 public:
  using Clock = std::chrono::steady_clock;
  using Burst = std::vector<uint8_t>;

  CHandsetEmulator(const HandsetOptions& options, const PhonebookImage& image);

  std::function<void(const Burst&)> send;        // writes one reply at once
  std::function<void(const std::string&)> log;   // one line of what happened
  std::function<void()> hangUp;                  // closes the line

  void Receive(std::span<const uint8_t> bytes);
  // Milliseconds until a scheduled reply is due (-1: none), and sending those due.
  int MsUntilDue() const;
  void SendDue();

  // A runaway handset talks without end: while Streaming(), the line takes StreamBytes()
  // whenever it can, StreamWritten() says how many it took, and nothing else is answered.
  bool Streaming() const { return m_stream != Stream::None; }
  std::span<const uint8_t> StreamBytes();
  void StreamWritten(std::size_t count);

 private:
  enum class Mode { Command, Transfer };
  enum class Stream { None, Flood, EndlessReply };

  void HandleLine(const std::string& line);
  void HandleFrame(std::span<const uint8_t> frame);
  void HandleCommand(const std::string& text);
  void HandleUploadBlock(uint8_t more, std::span<const uint8_t> data);
  void SendDownloadBlock(bool withOkPrefix);
  // Names an answer as the faults of HandsetOptions address it.
  struct AnswerPoint {
    std::string_view name;  // at, mode, ft_start, del, put_file; empty for a block's
    int block = 0;          // the block answered (0: none)
  };
  void SendText(std::string_view text);
  void SendFramed(std::string_view text);
  static Burst Text(std::string_view text);
  // Sends an answer `delayMs` from now, the way the options make it travel: split,
  // doubled, with stray bytes before or after it.
  void Answer(const AnswerPoint& point, Burst answer, int delayMs = 0);
  // Refuses the current block as --refusal and --refusal-unframed say.
  void Refuse();
  // Sends `burst` `delayMs` from now, but never before a burst scheduled earlier.
  void Schedule(int delayMs, Burst burst);
  void EndTransfer();
  // Counts a block and plays the faults tied to it; false when nothing more is answered.
  bool CountBlock();
  // Plays the faults that replace a download block's reply; true when one did.
  bool ReplaceDownloadBlock(std::size_t length, bool more, bool withOkPrefix);
  void StartStream(Stream stream, Burst first = {});
  Burst RandomBytes(std::size_t count);

  HandsetOptions m_options;
  PhonebookImage m_image;
  Mode m_mode = Mode::Command;
  std::string m_line;               // command-mode text up to "\r"
  std::vector<uint8_t> m_frame;     // transfer-mode bytes of the frame being received
  bool m_bInFrame = false;
  bool m_bWoken = false;            // "AT" seen since the last restart
  bool m_bSilent = false;           // answering nothing until the end of the transfer
  bool m_bUploading = false;        // after PUT_FILE, until the last block
  std::vector<uint8_t> m_upload;    // the blocks received so far
  std::size_t m_nextDownload = 0;   // offset of the next download block
  bool m_bDownloading = false;
  int m_nBlocks = 0;                // blocks of this transfer, either direction
  struct Pending {
    Clock::time_point due;
    Burst burst;
  };
  std::vector<Pending> m_pending;   // replies scheduled for later, in the order made
  Stream m_stream = Stream::None;   // what the runaway handset streams
  Burst m_streamBytes;              // streamed bytes the line has not yet taken
  std::size_t m_streamImageAt = 0;  // the endless reply's next image byte
  uint64_t m_random = 0x9E3779B97F4A7C15;  // xorshift state: the same bytes every run
};

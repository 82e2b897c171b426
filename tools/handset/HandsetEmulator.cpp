// The emulated handset: wake-up and mode commands as text lines, then framed commands,
// download blocks on request and upload blocks collected until the last one.
#include "HandsetEmulator.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "comm/Frame.h"

namespace {

constexpr std::size_t kMaxLine = 256;
constexpr std::size_t kMaxFrameBytes = 2 * 30000 + 32;
constexpr std::size_t kStreamPiece = 4096;  // streamed bytes made ready at a time

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Writes `bytes` to a temporary file beside `path` and then puts it in place.
bool SaveFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace

CHandsetEmulator::CHandsetEmulator(const HandsetOptions& options, const PhonebookImage& image)
    : m_options(options), m_image(image) {
  if (m_options.splitOk) {  // the wake-up's "O", then "K\r\n" a while later
    m_options.splitAnswer = "at";
    m_options.splitAt = 1;
    m_options.splitPauseMs = 100;
  }
}

void CHandsetEmulator::Receive(std::span<const uint8_t> bytes) {
  if (Streaming()) return;  // too busy talking to listen
  if (m_options.echo) send(Burst(bytes.begin(), bytes.end()));
  for (uint8_t byte : bytes) {
    if (m_mode == Mode::Command) {
      if (byte == '\r') {
        HandleLine(m_line);
        m_line.clear();
      } else if (byte == kFrameFlag || m_line.size() >= kMaxLine) {
        m_line.clear();  // a stray frame or noise: forget the line
      } else {
        m_line.push_back(static_cast<char>(byte));
      }
      continue;
    }
    if (byte != kFrameFlag) {
      if (m_bInFrame && m_frame.size() < kMaxFrameBytes) m_frame.push_back(byte);
      continue;
    }
    if (!m_bInFrame) {  // an opening flag
      m_bInFrame = true;
      m_frame.assign(1, kFrameFlag);
      continue;
    }
    m_frame.push_back(kFrameFlag);
    m_bInFrame = false;
    HandleFrame(m_frame);
    if (m_mode == Mode::Command) m_line.clear();
  }
}

void CHandsetEmulator::HandleLine(const std::string& line) {
  if (EndsWith(line, "AT*S")) {
    Answer({"mode"}, Text(m_options.locked ? "ERROR\r\n" : "OK\r\n"));
    if (!m_options.locked) m_mode = Mode::Transfer;
    log("mode " + std::string(m_options.locked ? "refused (locked)" : "file transfer"));
  } else if (EndsWith(line, "!!restart")) {
    SendText("OK\r\n");
    m_bWoken = false;
    log("restart");
  } else if (EndsWith(line, "AT")) {
    if (m_options.hangUpAfterBlock == 0) {
      log("hang-up");
      hangUp();
      return;
    }
    if (m_options.floodAfterBlock == 0) {
      StartStream(Stream::Flood);
      return;
    }
    if (m_options.silentWake) return;
    int delay = m_bWoken ? 0 : m_options.wakeDelayMs;
    m_bWoken = true;
    Answer({"at"}, Text("OK\r\n"), delay);
    log("wake");
  } else if (!line.empty()) {
    SendText("ERROR\r\n");
  }
}

void CHandsetEmulator::HandleFrame(std::span<const uint8_t> frame) {
  if (std::equal(frame.begin(), frame.end(), kEndOfLinkFrame.begin(), kEndOfLinkFrame.end())) {
    log("end of link");
    EndTransfer();
    m_mode = Mode::Command;
    return;
  }
  if (m_bSilent) return;
  DecodedFrame decoded;
  if (DecodeFrame(frame, 1, decoded) != FrameOk) {
    log("bad frame");
    SendFramed("ERROR\r\n");
    return;
  }
  if (m_bUploading) {
    HandleUploadBlock(decoded.more, decoded.data);
    return;
  }
  HandleCommand(std::string(decoded.data.begin(), decoded.data.end()));
}

void CHandsetEmulator::HandleCommand(const std::string& text) {
  if (text == "FT_START\r\n" || text == "DEL<**ack**>\r\n") {
    Answer({text == "FT_START\r\n" ? "ft_start" : "del"}, EncodeFrame(0, "OK\r\n"));
  } else if (text == "GET_FILE<?pdata.bin>\r\n") {
    log("download");
    EndTransfer();
    m_bDownloading = true;
    SendDownloadBlock(m_options.okPrefix);
  } else if (text == "ACK\r\n" && m_bDownloading) {
    SendDownloadBlock(false);
  } else if (StartsWith(text, "PUT_FILE<?pdata.bin,120000,") && EndsWith(text, ">\r\n")) {
    log("upload " + text.substr(27, text.size() - 30));
    EndTransfer();
    m_bUploading = true;
    Answer({"put_file"}, EncodeFrame(0, "OK\r\n"));
  } else {
    SendFramed("ERROR\r\n");
  }
}

void CHandsetEmulator::SendDownloadBlock(bool withOkPrefix) {
  if (m_nextDownload >= m_image.size()) {
    SendFramed("ERROR\r\n");
    return;
  }
  if (!CountBlock()) return;
  if (m_nBlocks == m_options.rejectBlock) {
    Refuse();
    return;
  }
  std::size_t length = std::min<std::size_t>(m_options.blockSize, m_image.size() - m_nextDownload);
  bool more = m_nextDownload + length < m_image.size();
  if (ReplaceDownloadBlock(length, more, withOkPrefix)) return;
  Burst burst;
  if (withOkPrefix) burst.assign(kOkFrame.begin(), kOkFrame.end());
  Burst frame = EncodeFrame(more ? 1 : 0, std::span(m_image.data() + m_nextDownload, length));
  if (m_nBlocks == m_options.badChecksumBlock) {
    // Replace the (possibly stuffed) checksum by one that cannot match.
    std::size_t at = frame.size() - 2;
    bool stuffed = frame[at - 1] == kFrameEscape;
    uint8_t sum = stuffed ? frame[at] ^ kFrameEscapeXor : frame[at];
    uint8_t wrong = static_cast<uint8_t>(sum == 0x01 ? 0x02 : 0x01);
    if (stuffed) frame.erase(frame.begin() + at - 1);
    frame[frame.size() - 2] = wrong;
  }
  burst.insert(burst.end(), frame.begin(), frame.end());
  m_nextDownload += length;
  if (!more) m_bDownloading = false;
  Answer({"", m_nBlocks}, std::move(burst));
  if (m_nBlocks == m_options.floodAfterBlock) StartStream(Stream::Flood);
}

bool CHandsetEmulator::ReplaceDownloadBlock(std::size_t length, bool more, bool withOkPrefix) {
  auto from = [this](int block) { return block > 0 && m_nBlocks >= block; };
  if (from(m_options.garbageFromBlock)) {
    Schedule(0, RandomBytes(static_cast<std::size_t>(m_options.garbageBytes)));
    return true;
  }
  if (from(m_options.emptyMoreFromBlock)) {
    Schedule(0, EncodeFrame(1, std::span<const uint8_t>()));
    return true;
  }
  if (m_nBlocks != m_options.endlessReplyBlock) return false;
  // The frame as it starts, then its data without end: no closing flag ever comes.
  Burst start;
  if (withOkPrefix) start.assign(kOkFrame.begin(), kOkFrame.end());
  start.push_back(kFrameFlag);
  start.insert(start.end(), kFrameHeader.begin(), kFrameHeader.end());
  start.push_back(more ? 1 : 0);
  AppendStuffed(start, static_cast<uint8_t>(length >> 8));
  AppendStuffed(start, static_cast<uint8_t>(length & 0xFF));
  m_streamImageAt = m_nextDownload;
  StartStream(Stream::EndlessReply, std::move(start));
  return true;
}

void CHandsetEmulator::HandleUploadBlock(uint8_t more, std::span<const uint8_t> data) {
  if (!CountBlock()) return;
  if (m_nBlocks == m_options.rejectBlock) {
    Refuse();
    return;
  }
  if (m_options.garbageFromBlock > 0 && m_nBlocks >= m_options.garbageFromBlock) {
    log("block dropped");
    Schedule(0, RandomBytes(static_cast<std::size_t>(m_options.garbageBytes)));
    return;
  }
  m_upload.insert(m_upload.end(), data.begin(), data.end());
  Answer({"", m_nBlocks}, EncodeFrame(0, "OK\r\n"));
  if (m_nBlocks == m_options.floodAfterBlock) StartStream(Stream::Flood);
  if (more) return;
  m_bUploading = false;
  char line[96];
  std::snprintf(line, sizeof line, "upload complete: %zu bytes in %d blocks", m_upload.size(), m_nBlocks);
  log(line);
  if (m_upload.size() == m_image.size()) {
    std::copy(m_upload.begin(), m_upload.end(), m_image.begin());
    if (!m_options.savePath.empty() && !SaveFile(m_options.savePath, m_upload))
      log("cannot write " + m_options.savePath);
  }
}

bool CHandsetEmulator::CountBlock() {
  ++m_nBlocks;
  if (m_options.hangUpAfterBlock > 0 && m_nBlocks > m_options.hangUpAfterBlock) {
    log("hang-up");
    hangUp();
    return false;
  }
  if (m_options.silentAfterBlock && m_nBlocks > m_options.silentAfterBlock) {
    log("silent");
    m_bSilent = true;
    return false;
  }
  return true;
}

void CHandsetEmulator::EndTransfer() {
  m_bDownloading = m_bUploading = m_bSilent = false;
  m_nextDownload = 0;
  m_nBlocks = 0;
  m_upload.clear();
}

void CHandsetEmulator::SendText(std::string_view text) { Schedule(0, Text(text)); }

void CHandsetEmulator::SendFramed(std::string_view text) { Schedule(0, EncodeFrame(0, text)); }

CHandsetEmulator::Burst CHandsetEmulator::Text(std::string_view text) { return Burst(text.begin(), text.end()); }

void CHandsetEmulator::Refuse() {
  const std::string& text = m_options.refusal;
  Answer({"", m_nBlocks}, m_options.refusalUnframed ? Text(text) : EncodeFrame(0, text));
}

void CHandsetEmulator::Answer(const AnswerPoint& point, Burst answer, int delayMs) {
  auto is = [&point](const std::string& option) { return IsAnswerPoint(option, point.name, point.block); };
  int at = delayMs;
  if (is(m_options.strayBefore)) {
    Schedule(at, Text(m_options.strayBytes));
    at += m_options.strayPauseMs;
  }
  const std::size_t split = static_cast<std::size_t>(m_options.splitAt);
  for (int copy = is(m_options.doubleAnswer) ? 2 : 1; copy > 0; --copy) {
    if (is(m_options.splitAnswer) && split < answer.size()) {
      Schedule(at, Burst(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(split)));
      at += m_options.splitPauseMs;
      Schedule(at, Burst(answer.begin() + static_cast<std::ptrdiff_t>(split), answer.end()));
    } else {
      Schedule(at, answer);
    }
    at += m_options.doublePauseMs;
  }
  if (is(m_options.strayAfter)) Schedule(at + m_options.strayPauseMs, Text(m_options.strayBytes));
}

void CHandsetEmulator::Schedule(int delayMs, Burst burst) {
  // The line carries the bursts in the order they were made: none overtakes another.
  Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs);
  if (!m_pending.empty()) due = std::max(due, m_pending.back().due);
  m_pending.push_back({due, std::move(burst)});
  SendDue();
}

int CHandsetEmulator::MsUntilDue() const {
  if (m_pending.empty()) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(m_pending.front().due - Clock::now()).count();
  return static_cast<int>(std::max<int64_t>(left, 0));
}

void CHandsetEmulator::SendDue() {
  while (!m_pending.empty() && m_pending.front().due <= Clock::now()) {
    Burst burst = std::move(m_pending.front().burst);
    m_pending.erase(m_pending.begin());
    send(burst);
  }
}

void CHandsetEmulator::StartStream(Stream stream, Burst first) {
  log(stream == Stream::Flood ? "flood" : "endless reply");
  m_stream = stream;
  m_streamBytes = std::move(first);
}

std::span<const uint8_t> CHandsetEmulator::StreamBytes() {
  if (!m_streamBytes.empty() || !Streaming()) return m_streamBytes;
  if (m_stream == Stream::Flood) {
    m_streamBytes = RandomBytes(kStreamPiece);
  } else {
    for (std::size_t i = 0; i < kStreamPiece; ++i)
      AppendStuffed(m_streamBytes, m_image[m_streamImageAt++ % m_image.size()]);
  }
  return m_streamBytes;
}

void CHandsetEmulator::StreamWritten(std::size_t count) {
  m_streamBytes.erase(m_streamBytes.begin(),
                      m_streamBytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, m_streamBytes.size())));
}

CHandsetEmulator::Burst CHandsetEmulator::RandomBytes(std::size_t count) {
  Burst bytes(count);
  for (uint8_t& byte : bytes) {
    m_random ^= m_random << 13;
    m_random ^= m_random >> 7;
    m_random ^= m_random << 17;
    byte = static_cast<uint8_t>(m_random >> 32);
  }
  return bytes;
}

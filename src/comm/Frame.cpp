// Encoding and decoding the handset's frames, and the tests made on their texts.
#include "comm/Frame.h"

#include <algorithm>

namespace {

// A refusal is a few printable bytes; a block of image data is never this short and plain.
constexpr std::size_t kMaxRefusalText = 32;

bool IsShortText(std::span<const uint8_t> bytes) {
  return !bytes.empty() && bytes.size() <= kMaxRefusalText &&
         std::all_of(bytes.begin(), bytes.end(),
                     [](uint8_t b) { return (b >= 0x20 && b < 0x7F) || b == '\r' || b == '\n'; });
}

bool HoldsRefusal(std::span<const uint8_t> text) {
  return IsShortText(text) && (ContainsText(text, "REJ") || ContainsText(text, "ERROR"));
}

}  // namespace

void AppendStuffed(std::vector<uint8_t>& out, uint8_t byte) {
  if (byte == kFrameFlag || byte == kFrameEscape) {
    out.push_back(kFrameEscape);
    out.push_back(byte ^ kFrameEscapeXor);
  } else {
    out.push_back(byte);
  }
}

std::vector<uint8_t> EncodeFrame(uint8_t more, std::span<const uint8_t> data) {
  std::vector<uint8_t> out;
  out.reserve(data.size() * 2 + 12);
  out.push_back(kFrameFlag);
  out.insert(out.end(), kFrameHeader.begin(), kFrameHeader.end());
  out.push_back(more);
  auto length = static_cast<uint16_t>(data.size());
  AppendStuffed(out, static_cast<uint8_t>(length >> 8));
  AppendStuffed(out, static_cast<uint8_t>(length & 0xFF));
  uint8_t sum = 0;
  for (uint8_t byte : data) {
    AppendStuffed(out, byte);
    sum = static_cast<uint8_t>(sum + byte);
  }
  AppendStuffed(out, sum);
  out.push_back(kFrameFlag);
  return out;
}

std::vector<uint8_t> EncodeFrame(uint8_t more, std::string_view text) {
  return EncodeFrame(more, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

int DecodeFrame(std::span<const uint8_t> bytes, std::size_t start, DecodedFrame& frame) {
  std::vector<uint8_t> plain;
  plain.reserve(std::min<std::size_t>(bytes.size(), kMaxFrameData + kFrameOverhead));
  std::size_t i = start;
  bool closed = false;
  while (i < bytes.size()) {
    uint8_t byte = bytes[i++];
    if (byte == kFrameFlag) {
      closed = true;
      break;
    }
    if (byte == kFrameEscape) {
      if (i >= bytes.size()) return FrameFailed;  // stuffing cut off
      byte = bytes[i++] ^ kFrameEscapeXor;
    }
    if (plain.size() == kMaxFrameData + kFrameOverhead) return FrameFailed;
    plain.push_back(byte);
  }
  if (!closed || i != bytes.size() || plain.size() < kFrameOverhead) return FrameFailed;
  frame.more = plain[3];
  frame.length = static_cast<uint16_t>(plain[4] << 8 | plain[5]);
  if (plain.size() != frame.length + kFrameOverhead) return FrameFailed;
  frame.data.assign(plain.begin() + 6, plain.begin() + 6 + frame.length);
  frame.checksum = plain.back();
  uint8_t sum = 0;
  for (uint8_t byte : frame.data) sum = static_cast<uint8_t>(sum + byte);
  return sum == frame.checksum ? FrameOk : FrameFailed;
}

bool ContainsText(std::span<const uint8_t> bytes, std::string_view text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end(),
                     [](uint8_t b, char c) { return b == static_cast<uint8_t>(c); }) != bytes.end();
}

std::size_t DataFrameStart(std::span<const uint8_t> reply) {
  bool okFirst = reply.size() >= kOkFrame.size() &&
                 std::equal(kOkFrame.begin(), kOkFrame.end(), reply.begin());
  return okFirst ? kOkFrame.size() + 1 : 1;
}

bool IsRefusalReply(std::span<const uint8_t> reply) {
  if (HoldsRefusal(reply)) return true;  // an unframed text
  std::size_t start = DataFrameStart(reply);
  if (start > reply.size() || reply[start - 1] != kFrameFlag) return false;
  auto end = std::find(reply.begin() + start, reply.end(), kFrameFlag);
  auto body = reply.subspan(start, static_cast<std::size_t>(end - reply.begin()) - start);
  // header 3, more 1, length 2, then the text, then the checksum
  if (body.size() < kFrameOverhead) return false;
  return HoldsRefusal(body.subspan(6, body.size() - kFrameOverhead));
}

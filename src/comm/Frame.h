// The handset's byte frame: flag, header, more flag, length, data, checksum, flag, with
// 0x7D/0x7E stuffed in the length, data and checksum. Plain functions over bytes; the
// decoder's results are those of the data exchange (0 good frame, 4 failed frame).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

inline constexpr uint8_t kFrameFlag = 0x7E;
inline constexpr uint8_t kFrameEscape = 0x7D;
inline constexpr uint8_t kFrameEscapeXor = 0x20;
inline constexpr std::array<uint8_t, 3> kFrameHeader = {0x0F, 0x03, 0xA0};
inline constexpr std::size_t kFrameOverhead = 7;         // header, more, length, checksum
inline constexpr std::size_t kMaxFrameData = 4096;       // longest data block we accept

// Sent as it stands when a session ends.
inline constexpr std::array<uint8_t, 8> kEndOfLinkFrame = {0x7E, 0x0F, 0x03, 0x01,
                                                           0x00, 0xFF, 0x00, 0x7E};
// The frame carrying "OK\r\n" that the handset may put before its first data frame.
inline constexpr std::array<uint8_t, 13> kOkFrame = {0x7E, 0x0F, 0x03, 0xA0, 0x00, 0x00, 0x04,
                                                     0x4F, 0x4B, 0x0D, 0x0A, 0xB1, 0x7E};

enum FrameResult : int { FrameOk = 0, FrameFailed = 4 };

struct DecodedFrame {
  uint8_t more = 0;           // 1 when further data frames follow
  uint16_t length = 0;        // data bytes
  std::vector<uint8_t> data;  // unstuffed, `length` bytes
  uint8_t checksum = 0;       // as received
};

// Appends `byte` as it travels in a frame's length, data or checksum (0x7D, 0x7E stuffed).
void AppendStuffed(std::vector<uint8_t>& out, uint8_t byte);

std::vector<uint8_t> EncodeFrame(uint8_t more, std::span<const uint8_t> data);
std::vector<uint8_t> EncodeFrame(uint8_t more, std::string_view text);

// Decodes the frame that starts at `start` (the byte after its opening flag) and must end
// with its closing flag as the last byte of `bytes`. FrameFailed when it is truncated,
// has no closing flag, is followed by more bytes, carries more than kMaxFrameData bytes,
// or fails its length or checksum test.
int DecodeFrame(std::span<const uint8_t> bytes, std::size_t start, DecodedFrame& frame);

// True when `bytes` holds `text` anywhere.
bool ContainsText(std::span<const uint8_t> bytes, std::string_view text);

// Where the data frame of a reply to a data request begins (the byte after its opening
// flag): after the whole 13-byte "OK" frame when the reply opens with one, else at 1.
std::size_t DataFrameStart(std::span<const uint8_t> reply);

// True when a reply to a data request is a refusal: a short printable text, framed or
// not, holding "REJ" or "ERROR". Image data is never taken for one.
bool IsRefusalReply(std::span<const uint8_t> reply);

// The frame codec with byte vectors: encoding, stuffing, decoding and the reply tests.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "comm/Frame.h"

using Bytes = std::vector<uint8_t>;

namespace {

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace

struct EncodeCase {
  const char* name;
  uint8_t more;
  Bytes data;
  Bytes frame;
};

class EncodeFrameTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeFrameTest, GivesTheExpectedBytesAndDecodesBack) {
  const EncodeCase& c = GetParam();
  EXPECT_EQ(c.frame, EncodeFrame(c.more, c.data));
  DecodedFrame decoded;
  ASSERT_EQ(FrameOk, DecodeFrame(c.frame, 1, decoded));
  EXPECT_EQ(c.more, decoded.more);
  EXPECT_EQ(c.data, decoded.data);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, EncodeFrameTest,
    ::testing::Values(
        EncodeCase{"Ack", 0, Of("ACK\r\n"),
                   {0x7E, 0x0F, 0x03, 0xA0, 0x00, 0x00, 0x05, 0x41, 0x43, 0x4B, 0x0D, 0x0A, 0xE6, 0x7E}},
        EncodeCase{"FtStart", 0, Of("FT_START\r\n"),
                   {0x7E, 0x0F, 0x03, 0xA0, 0x00, 0x00, 0x0A, 0x46, 0x54, 0x5F, 0x53, 0x54, 0x41, 0x52,
                    0x54, 0x0D, 0x0A, 0x9E, 0x7E}},
        EncodeCase{"Ok", 0, Of("OK\r\n"), Bytes(kOkFrame.begin(), kOkFrame.end())},
        EncodeCase{"StuffedDataAndChecksum", 1, {0x7D, 0x01},  // sum 0x7E
                   {0x7E, 0x0F, 0x03, 0xA0, 0x01, 0x00, 0x02, 0x7D, 0x5D, 0x01, 0x7D, 0x5E, 0x7E}},
        EncodeCase{"Empty", 0, {}, {0x7E, 0x0F, 0x03, 0xA0, 0x00, 0x00, 0x00, 0x00, 0x7E}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeFrame, DownloadRequestHasLength22AndChecksumA0) {
  Bytes frame = EncodeFrame(0, "GET_FILE<?pdata.bin>\r\n");
  EXPECT_EQ(0x00, frame[5]);
  EXPECT_EQ(0x16, frame[6]);
  EXPECT_EQ(0xA0, frame[frame.size() - 2]);
}

TEST(EncodeFrame, StuffsTheLengthAndSumsModulo256) {
  Bytes data(0x017D, 0);
  data[0] = 0xFF;
  data[1] = 0xFF;
  data[2] = 0xA9;  // 0x2A7 in all: checksum 0xA7
  Bytes frame = EncodeFrame(1, data);
  EXPECT_EQ(Bytes({0x01, 0x7D, 0x5D}), Bytes(frame.begin() + 5, frame.begin() + 8));
  EXPECT_EQ(0xA7, frame[frame.size() - 2]);
}

TEST(EncodeFrame, EveryByteValueSurvivesTheRoundTrip) {
  Bytes data(4096);
  std::iota(data.begin(), data.end(), 0);
  DecodedFrame decoded;
  ASSERT_EQ(FrameOk, DecodeFrame(EncodeFrame(1, data), 1, decoded));
  EXPECT_EQ(data, decoded.data);
}

struct DecodeFailure {
  const char* name;
  Bytes bytes;
};

class DecodeFrameFailure : public ::testing::TestWithParam<DecodeFailure> {};

TEST_P(DecodeFrameFailure, IsAFailedFrame) {
  DecodedFrame decoded;
  EXPECT_EQ(FrameFailed, DecodeFrame(GetParam().bytes, 1, decoded));
}

const Bytes kGood = EncodeFrame(1, Of("block"));

Bytes WithByte(Bytes b, std::size_t at, uint8_t value) {
  b[at] = value;
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, DecodeFrameFailure,
    ::testing::Values(
        DecodeFailure{"BadChecksum", WithByte(kGood, kGood.size() - 2, 0x00)},
        DecodeFailure{"LengthTooLong", WithByte(kGood, 6, 6)},
        DecodeFailure{"LengthTooShort", WithByte(kGood, 6, 4)},
        DecodeFailure{"NoClosingFlag", Bytes(kGood.begin(), kGood.end() - 1)},
        DecodeFailure{"BytesAfterTheClosingFlag", Concat(kGood, {0x00})},
        DecodeFailure{"TwoFramesInOneChunk", Concat(kGood, kGood)},
        DecodeFailure{"CutInsideStuffing", {0x7E, 0x0F, 0x03, 0xA0, 0x00, 0x00, 0x01, 0x7D}},
        DecodeFailure{"TooShortForAHeader", {0x7E, 0x0F, 0x03, 0x7E}},
        DecodeFailure{"Garbage", Of("\x01\x02 garbage without flags")},
        DecodeFailure{"Empty", {}},
        DecodeFailure{"OverTheReceiveLimit", EncodeFrame(0, Bytes(kMaxFrameData + 1, 0x11))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeFrame, StartsWhereItIsTold) {
  Bytes reply = Concat(Bytes(kOkFrame.begin(), kOkFrame.end()), kGood);
  ASSERT_EQ(14u, DataFrameStart(reply));
  DecodedFrame decoded;
  ASSERT_EQ(FrameOk, DecodeFrame(reply, DataFrameStart(reply), decoded));
  EXPECT_EQ(Of("block"), decoded.data);
  EXPECT_EQ(1u, DataFrameStart(kGood));
}

TEST(DataReply, ImageDataThatSpellsWordsIsNeitherRefusalNorAcknowledgement) {
  for (std::string_view word : {"FACEBOOK", "OKADA", "REJECT", "ERROR", "OK\r\n"}) {
    Bytes block(1024, 0);
    std::copy(word.begin(), word.end(), block.begin());
    Bytes reply = EncodeFrame(1, block);
    EXPECT_FALSE(IsRefusalReply(reply)) << word;
    EXPECT_EQ(1u, DataFrameStart(reply)) << word;
  }
}

TEST(DataReply, ShortTextsHoldingRejOrErrorAreRefusals) {
  EXPECT_TRUE(IsRefusalReply(EncodeFrame(0, "REJ\r\n")));
  EXPECT_TRUE(IsRefusalReply(EncodeFrame(0, "ERROR\r\n")));
  EXPECT_TRUE(IsRefusalReply(Concat(Bytes(kOkFrame.begin(), kOkFrame.end()), EncodeFrame(0, "REJ\r\n"))));
  EXPECT_TRUE(IsRefusalReply(Of("REJ\r\n")));
  EXPECT_FALSE(IsRefusalReply(EncodeFrame(0, "OK\r\n")));
  EXPECT_FALSE(IsRefusalReply({}));
}

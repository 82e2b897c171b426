// The framed exchanges against a hand-driven far end: what is sent, which replies are
// accepted, where received blocks land, and that no reply is mistaken for another.
#include <gtest/gtest.h>

#include <string>

#include "PtyPair.h"
#include "SessionHelpers.h"
#include "comm/Frame.h"
#include "comm/TransferSession.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Block(std::string_view start, std::size_t size, uint8_t fill) {
  Bytes block(size, fill);
  std::copy(start.begin(), start.end(), block.begin());
  return block;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(UtiOk, session.Controller().Open(pty.Path())); }
  void TearDown() override { session.Controller().Close(); }

  // Queues the far end's reply, then runs the exchange.
  int Exchange(const Bytes& reply, std::string_view request = "ACK\r\n") {
    pty.Write(reply);
    int result = session.ExchangeDataFrame(request);
    sent = pty.Read(30, 1000);
    return result;
  }
  Bytes ImageAt(std::size_t offset, std::size_t size) const {
    return Bytes(session.Image().begin() + offset, session.Image().begin() + offset + size);
  }

  PtyPair pty;
  CTransferSession session{QuickTiming()};
  Bytes sent;  // what the exchange sent
};

}  // namespace

TEST_F(ExchangeTest, BlocksLandInOrderWhateverTheirBytesSpell) {
  Bytes first = Block("FACEBOOK", 1024, 0x7E);
  Bytes second = Block("OKADA REJECT ERROR", 1024, 0x7D);
  EXPECT_EQ(ExchangeOk, Exchange(EncodeFrame(1, first), "GET_FILE<?pdata.bin>\r\n"));
  EXPECT_EQ(EncodeFrame(0, "GET_FILE<?pdata.bin>\r\n"), sent);
  EXPECT_EQ(ExchangeOk, Exchange(EncodeFrame(1, second)));
  EXPECT_EQ(EncodeFrame(0, "ACK\r\n"), sent);
  EXPECT_EQ(first, ImageAt(0, 1024));
  EXPECT_EQ(second, ImageAt(1024, 1024));
}

TEST_F(ExchangeTest, AnOkFrameBeforeTheDataFrameIsSkipped) {
  Bytes block = Block("", 512, 0x33);
  Bytes reply = Concat(Bytes(kOkFrame.begin(), kOkFrame.end()), EncodeFrame(1, block));
  EXPECT_EQ(ExchangeOk, Exchange(reply));
  EXPECT_EQ(block, ImageAt(0, 512));
}

TEST_F(ExchangeTest, RefusalsAreRecognisedAndStoreNothing) {
  EXPECT_EQ(ExchangeRefused, Exchange(EncodeFrame(0, "REJ\r\n")));
  EXPECT_EQ(ExchangeRefused, Exchange(EncodeFrame(0, "ERROR\r\n")));
  EXPECT_EQ(Bytes(16, 0), ImageAt(0, 16));
}

TEST_F(ExchangeTest, FailedFramesAreNotStoredAndMoveNothing) {
  Bytes good = EncodeFrame(1, Block("", 100, 0x44));
  Bytes corrupt = good;
  corrupt[10] ^= 0x01;
  EXPECT_EQ(ExchangeFailed, Exchange(corrupt));
  EXPECT_EQ(ExchangeFailed, Exchange(Concat(good, {0x00})));
  EXPECT_EQ(ExchangeFailed, Exchange(Bytes(good.begin(), good.end() - 1)));
  EXPECT_EQ(ExchangeFailed, Exchange(EncodeFrame(1, Block("", kMaxFrameData + 1, 0x01))));
  EXPECT_EQ(Bytes(100, 0), ImageAt(0, 100));
  EXPECT_EQ(ExchangeOk, Exchange(good));
  EXPECT_EQ(Bytes(100, 0x44), ImageAt(0, 100));
}

TEST_F(ExchangeTest, TheLastBlockAndAnAbortBothReturnTheOffsetToTheStart) {
  EXPECT_EQ(ExchangeOk, Exchange(EncodeFrame(1, Block("", 10, 0x01))));
  EXPECT_EQ(ExchangeLastBlock, Exchange(EncodeFrame(0, Block("", 10, 0x02))));
  EXPECT_EQ(Bytes(10, 0x02), ImageAt(10, 10));
  session.Abort();
  EXPECT_EQ(ExchangeAborted, Exchange(EncodeFrame(1, Block("", 10, 0x03))));
  EXPECT_EQ(Bytes(10, 0x03), ImageAt(0, 10));  // stored at the start again
  EXPECT_EQ(ExchangeOk, Exchange(EncodeFrame(1, Block("", 10, 0x04))));
  EXPECT_EQ(Bytes(10, 0x04), ImageAt(0, 10));  // the abort reset the offset
}

TEST_F(ExchangeTest, DataPastTheEndOfTheImageIsAFailedFrame) {
  Bytes block = Block("", 4096, 0x55);
  int result = ExchangeOk;
  std::size_t stored = 0;
  while (result == ExchangeOk && stored < kImageSize) {
    result = Exchange(EncodeFrame(1, block));
    if (result == ExchangeOk) stored += block.size();
  }
  EXPECT_EQ(ExchangeFailed, result);
  EXPECT_EQ(29u * 4096, stored);
  EXPECT_EQ(Bytes(kImageSize - stored, 0), ImageAt(stored, kImageSize - stored));
}

TEST_F(ExchangeTest, SilenceIsNoReply) {
  EXPECT_EQ(ExchangeNoReply, session.ExchangeDataFrame("ACK\r\n"));
}

TEST_F(ExchangeTest, CommandsWantOkInTheirReply) {
  pty.Write(Bytes(kOkFrame.begin(), kOkFrame.end()));
  EXPECT_EQ(ExchangeOk, session.SendCommand("FT_START\r\n"));
  pty.Write(EncodeFrame(0, "NG\r\n"));
  EXPECT_EQ(ExchangeFailed, session.SendCommand("FT_START\r\n"));
  pty.Write(std::string(300, 'x') + "OK\r\n");  // past what the reply buffer holds
  EXPECT_EQ(ExchangeFailed, session.SendCommand("FT_START\r\n"));
  EXPECT_EQ(ExchangeNoReply, session.SendCommand("FT_START\r\n"));
  auto requests = pty.Read(30, 500);
  EXPECT_EQ(4u * EncodeFrame(0, "FT_START\r\n").size(), requests.size());
}

// The framed exchanges against a hand-driven far end: what is sent, which replies are
// accepted, where received blocks land, and that no reply is mistaken for another.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

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

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(UtiOk, session.Controller().Open(pty.Path())); }
  void TearDown() override { session.Controller().Close(); }

  // Runs the exchange while the far end reads the request and then answers it with the
  // bursts, `pauseMs` apart.
  ExchangeResult Exchange(const std::vector<Bytes>& bursts, std::string_view request = "ACK\r\n", int pauseMs = 0) {
    return FarEnd(bursts, pauseMs, [&] { return session.ExchangeDataFrame(request); });
  }
  ExchangeResult Exchange(const Bytes& reply, std::string_view request = "ACK\r\n") {
    return Exchange(std::vector<Bytes>{reply}, request);
  }
  ExchangeResult Command(const Bytes& reply) {
    return FarEnd({reply}, 0, [&] { return session.SendCommand("FT_START\r\n"); });
  }
  ExchangeResult FarEnd(const std::vector<Bytes>& bursts, int pauseMs, const std::function<ExchangeResult()>& exchange) {
    std::thread farEnd([&] {
      sent = pty.Read(30, 1000);
      if (sent.empty()) return;  // nothing was asked
      for (std::size_t i = 0; i < bursts.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        pty.Write(bursts[i]);
      }
    });
    const ExchangeResult result = exchange();
    farEnd.join();
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
  EXPECT_EQ(ExchangeResult::Ok, Exchange(EncodeFrame(1, first), "GET_FILE<?pdata.bin>\r\n"));
  EXPECT_EQ(EncodeFrame(0, "GET_FILE<?pdata.bin>\r\n"), sent);
  EXPECT_EQ(ExchangeResult::Ok, Exchange(EncodeFrame(1, second)));
  EXPECT_EQ(EncodeFrame(0, "ACK\r\n"), sent);
  EXPECT_EQ(first, ImageAt(0, 1024));
  EXPECT_EQ(second, ImageAt(1024, 1024));
}

TEST_F(ExchangeTest, AnOkFrameBeforeTheDataFrameIsSkipped) {
  Bytes block = Block("", 512, 0x33);
  Bytes reply = Concat(Bytes(kOkFrame.begin(), kOkFrame.end()), EncodeFrame(1, block));
  EXPECT_EQ(ExchangeResult::Ok, Exchange(reply));
  EXPECT_EQ(block, ImageAt(0, 512));
}

TEST_F(ExchangeTest, RefusalsAreRecognisedAndStoreNothing) {
  EXPECT_EQ(ExchangeResult::Refused, Exchange(EncodeFrame(0, "REJ\r\n")));
  EXPECT_EQ(ExchangeResult::Refused, Exchange(EncodeFrame(0, "ERROR\r\n")));
  EXPECT_EQ(Bytes(16, 0), ImageAt(0, 16));
}

TEST_F(ExchangeTest, FailedFramesAreNotStoredAndMoveNothing) {
  Bytes good = EncodeFrame(1, Block("", 100, 0x44));
  Bytes corrupt = good;
  corrupt[10] ^= 0x01;
  Bytes badEscape = good;
  badEscape.insert(badEscape.end() - 1, kFrameEscape);
  EXPECT_EQ(ExchangeResult::Failed, Exchange(corrupt));
  EXPECT_EQ(ExchangeResult::Failed, Exchange(badEscape));
  EXPECT_EQ(ExchangeResult::Failed, Exchange(Bytes(good.begin(), good.end() - 1)));
  EXPECT_EQ(ExchangeResult::Failed, Exchange(EncodeFrame(1, Block("", kMaxFrameData + 1, 0x01))));
  EXPECT_EQ(Bytes(100, 0), ImageAt(0, 100));
  EXPECT_EQ(ExchangeResult::Ok, Exchange(good));
  EXPECT_EQ(Bytes(100, 0x44), ImageAt(0, 100));
}

TEST_F(ExchangeTest, TheLastBlockAndAnAbortBothReturnTheOffsetToTheStart) {
  EXPECT_EQ(ExchangeResult::Ok, Exchange(EncodeFrame(1, Block("", 10, 0x01))));
  EXPECT_EQ(ExchangeResult::LastBlock, Exchange(EncodeFrame(0, Block("", 10, 0x02))));
  EXPECT_EQ(Bytes(10, 0x02), ImageAt(10, 10));
  session.Abort();
  EXPECT_EQ(ExchangeResult::Aborted, Exchange(EncodeFrame(1, Block("", 10, 0x03))));
  EXPECT_EQ(Bytes(10, 0x03), ImageAt(0, 10));  // stored at the start again
  EXPECT_EQ(ExchangeResult::Ok, Exchange(EncodeFrame(1, Block("", 10, 0x04))));
  EXPECT_EQ(Bytes(10, 0x04), ImageAt(0, 10));  // the abort reset the offset
}

TEST_F(ExchangeTest, DataPastTheEndOfTheImageIsAFailedFrame) {
  Bytes block = Block("", 4096, 0x55);
  ExchangeResult result = ExchangeResult::Ok;
  std::size_t stored = 0;
  while (result == ExchangeResult::Ok && stored < kImageSize) {
    result = Exchange(EncodeFrame(1, block));
    if (result == ExchangeResult::Ok) stored += block.size();
  }
  EXPECT_EQ(ExchangeResult::Failed, result);
  EXPECT_EQ(29u * 4096, stored);
  EXPECT_EQ(Bytes(kImageSize - stored, 0), ImageAt(stored, kImageSize - stored));
}

TEST_F(ExchangeTest, SilenceIsNoReply) {
  EXPECT_EQ(ExchangeResult::NoReply, session.ExchangeDataFrame("ACK\r\n"));
}

TEST_F(ExchangeTest, CommandsWantOkInTheirReply) {
  const Bytes request = EncodeFrame(0, "FT_START\r\n");
  EXPECT_EQ(ExchangeResult::Ok, Command(Bytes(kOkFrame.begin(), kOkFrame.end())));
  EXPECT_EQ(request, sent);
  EXPECT_EQ(ExchangeResult::Failed, Command(EncodeFrame(0, "NG\r\n")));
  EXPECT_EQ(ExchangeResult::Failed, Command(Of(std::string(300, 'x') + "OK\r\n")));  // past any reply
  EXPECT_EQ(ExchangeResult::Failed, Command(Of("OK\r\n")));  // a command is answered in a frame
  EXPECT_EQ(ExchangeResult::NoReply, session.SendCommand("FT_START\r\n"));
}

// What the line makes of a reply: pieces, bytes of no reply around it, an echo of the
// request. The frame still stands, or the refusal; a frame that never closes does not.
TEST_F(ExchangeTest, AReplyIsReadWhateverTheLineDoesAroundIt) {
  const Bytes request = EncodeFrame(0, "ACK\r\n");
  struct Line {
    const char* name;
    int pauseMs;
    ExchangeResult result;
    std::function<std::vector<Bytes>(const Bytes& frame)> bursts;
  };
  const Line lines[] = {
      {"in three pieces", 40, ExchangeResult::LastBlock,
       [](const Bytes& f) {
         return std::vector<Bytes>{Bytes(f.begin(), f.begin() + 1), Bytes(f.begin() + 1, f.end() - 1), Bytes{f.back()}};
       }},
      {"control bytes around it", 0, ExchangeResult::LastBlock,
       [](const Bytes& f) { return std::vector<Bytes>{Concat(Bytes{'\r', '\n', 0, 0x11}, Concat(f, Bytes{0x13, 0}))}; }},
      {"a line end on its own first", 30, ExchangeResult::LastBlock, [](const Bytes& f) { return std::vector<Bytes>{Of("\r"), f}; }},
      {"a text line first", 30, ExchangeResult::LastBlock, [](const Bytes& f) { return std::vector<Bytes>{Of("OK\r\n"), f}; }},
      {"a stray flag first", 0, ExchangeResult::LastBlock, [](const Bytes& f) { return std::vector<Bytes>{Concat({kFrameFlag}, f)}; }},
      {"the request echoed first", 0, ExchangeResult::LastBlock,
       [&](const Bytes& f) { return std::vector<Bytes>{Concat(request, f)}; }},
      {"REJ as text after a line end", 30, ExchangeResult::Refused,
       [](const Bytes&) { return std::vector<Bytes>{Of("\r\n"), Of("REJ\r\n")}; }},
      {"ERROR as text", 0, ExchangeResult::Refused, [](const Bytes&) { return std::vector<Bytes>{Of("ERROR\r\n")}; }},
      {"a frame that never closes", 0, ExchangeResult::Failed,
       [](const Bytes& f) { return std::vector<Bytes>{Bytes(f.begin(), f.end() - 1)}; }},
  };
  Bytes held(700, 0);  // what the image holds at the receive offset, which stays at 0
  for (const Line& line : lines) {
    SCOPED_TRACE(line.name);
    const Bytes block = Block(line.name, 700, 0x7E);  // stuffed throughout
    EXPECT_EQ(line.result, Exchange(line.bursts(EncodeFrame(0, block)), "ACK\r\n", line.pauseMs));
    if (line.result == ExchangeResult::LastBlock) held = block;
    EXPECT_EQ(held, ImageAt(0, 700));
  }
}

// A second answer to one request is an answer to none: the next request is not even sent,
// so that no later reply is ever taken for the one before it.
TEST_F(ExchangeTest, ASecondAnswerIsMatchedToNothing) {
  const Bytes first = EncodeFrame(1, Block("", 10, 0x01));
  EXPECT_EQ(ExchangeResult::Ok, Exchange({Concat(first, first)}));
  EXPECT_EQ(ExchangeResult::Failed, Exchange(EncodeFrame(1, Block("", 10, 0x02))));
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(Bytes(10, 0x01), ImageAt(0, 10));
  EXPECT_EQ(Bytes(10, 0), ImageAt(10, 10));
}

// A vCard import of the largest file taken, run by the real qvbook-cli with its address
// space capped far below what the file's cards would take if held whole: one card of
// millions of tiny properties is refused by the card's bound, and values that need more
// memory than is left end in the out-of-memory message. Either way the program ends by
// itself with its message, never by an abort, and writes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "../files/TestFiles.h"
#include "../support/ChildProcess.h"
#include "files/VcardFile.h"

namespace {

constexpr long long kAddressSpace = 256LL << 20;

// A card of kVcardMaxFileBytes whose last property is filled with `unit` as often as fits.
std::string LargestCard(const std::string& head, const std::string& unit) {
  const std::string end = "\r\nEND:VCARD\r\n";
  std::string card = "BEGIN:VCARD\r\nTEL:1\r\n" + head;
  const std::size_t room = static_cast<std::size_t>(kVcardMaxFileBytes) - card.size() - end.size();
  card.reserve(kVcardMaxFileBytes);
  for (std::size_t n = room / unit.size(); n > 0; --n) card += unit;
  return card + end;
}

TEST(VcardMemory, LargestFilesEndWithTheirMessageUnderAMemoryCap) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves its shadow memory far beyond any cap on the address space";
#endif
  TempFolder folder;
  WriteBytes(folder / "empty.csv", "");
  struct Case {
    const char* name;
    std::string bytes;
    int exit;
    const char* message;
  };
  for (const Case& c : {Case{"tiny properties", LargestCard("N:A", "\r\nX:1"), 65,
                             "1 行目から始まるデータは項目が多すぎるため、読み込めません。\n"
                             "1件のデータから読み込める項目は 10000 個までです。"},
                        Case{"half-width kana name", LargestCard("N:", "\xB1"), 66,
                             "メモリが不足しているため、ファイルを読み込めません。"}}) {
    SCOPED_TRACE(c.name);
    WriteBytes(folder / "contacts.vcf", c.bytes);
    const ProgramResult run = RunProgram(
        {QVBOOK_CLI, "import", folder / "empty.csv", folder / "contacts.vcf", folder / "out.csv"},
        {.maxAddressBytes = kAddressSpace});
    EXPECT_EQ(run.exitCode, c.exit) << run.signal << run.errorText;
    EXPECT_NE(run.errorText.find(c.message), std::string::npos) << run.errorText;
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
  }
}

}  // namespace

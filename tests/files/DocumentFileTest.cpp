// Whole files through LoadDocument, SaveDocument and the image file functions: real files
// of every kind of bad input, and failed saves that must leave the previous file alone.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <random>
#include <string>

#include "files/DocumentFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "TestFiles.h"
#include "../support/ChildProcess.h"

namespace {

class DocumentFileTest : public ::testing::Test {
 protected:
  DocumentFileTest()
      : m_environment(StoreEnvironment::CreatePrivate()),
        m_store(std::make_unique<CDbPhoneCtrl>(*m_environment)) {}

  DocumentLoadResult LoadBytes(const std::string& name, const std::string& bytes) {
    std::string path = m_folder / name;
    WriteBytes(path, bytes);
    return LoadDocument(*m_store, path);
  }

  TempFolder m_folder;
  std::unique_ptr<StoreEnvironment> m_environment;
  std::unique_ptr<CDbPhoneCtrl> m_store;
};

TEST(DocumentPath, CommaOnlyForLowerCaseCsvEnding) {
  EXPECT_TRUE(IsCommaSeparatedPath("a/book.csv"));
  EXPECT_TRUE(IsCommaSeparatedPath(".csv"));
  EXPECT_FALSE(IsCommaSeparatedPath("book.CSV"));
  EXPECT_FALSE(IsCommaSeparatedPath("book.csv.txt"));
  EXPECT_FALSE(IsCommaSeparatedPath("csv"));
}

TEST_F(DocumentFileTest, MissingFileAndFolderCannotBeRead) {
  DocumentLoadResult missing = LoadDocument(*m_store, m_folder / "missing.csv");
  EXPECT_EQ(missing.status, DocumentLoadResult::CannotRead);
  EXPECT_EQ(missing.osError, ENOENT);
  DocumentLoadResult folder = LoadDocument(*m_store, m_folder.Path().string());
  EXPECT_EQ(folder.status, DocumentLoadResult::CannotRead);
  EXPECT_EQ(folder.osError, EISDIR);
}

TEST_F(DocumentFileTest, CapitalCsvEndingReadsTabs) {
  const std::string commaRow = "0001,a,,1,,,1\r\n";
  DocumentLoadResult upper = LoadBytes("book.CSV", commaRow);
  EXPECT_EQ(upper.status, DocumentLoadResult::InvalidFormat);
  EXPECT_EQ(static_cast<int>(upper.loadCode), 5);
  m_store = std::make_unique<CDbPhoneCtrl>(*m_environment);
  EXPECT_EQ(LoadBytes("book.csv", commaRow).status, DocumentLoadResult::Ok);
  EXPECT_EQ(m_store->EntryCount(), 1);
}

// Inputs that must give a phonebook or a refusal, never a crash, hang or runaway memory.
struct HostileCase {
  const char* name;
  std::string bytes;
  DocumentLoadResult::Status status;
  int entries;  // -1: not checked
};

class HostileInputTest : public DocumentFileTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileInputTest, LoadsOrRefuses) {
  DocumentLoadResult result = LoadBytes("hostile.csv", GetParam().bytes);
  EXPECT_EQ(result.status, GetParam().status);
  if (GetParam().entries >= 0) {
    EXPECT_EQ(m_store->EntryCount(), GetParam().entries);
  }
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string RandomBytes(unsigned seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random() & 0xFF);
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileInputTest,
    ::testing::Values(
        HostileCase{"LeadByteEndsLineAndField", "1,\x82\r\n2,ab\x82,\x82\r\n3,\x82", DocumentLoadResult::Ok, 3},
        HostileCase{"NulBytes", std::string("1,a\0b,\0\r\n", 9), DocumentLoadResult::Ok, 1},
        HostileCase{"MegabyteName", "1," + std::string(3 << 20, 'x') + "\r\n2,b\r\n", DocumentLoadResult::Ok, 2},
        HostileCase{"MegabyteOfCommas", "1,a" + std::string(2 << 20, ',') + "\r\n", DocumentLoadResult::Ok, 1},
        HostileCase{"MegabyteOfQuotes", "1,a," + std::string(2 << 20, '"') + "\n", DocumentLoadResult::Ok, 1},
        HostileCase{"HundredThousandUnnumberedLines", Repeat(",a,\xB1\r\n", 100000), DocumentLoadResult::Ok, 1000},
        HostileCase{"HundredThousandNumberedLines", Repeat("1,a\r\n", 100000), DocumentLoadResult::InvalidFormat, 1},
        HostileCase{"RandomBinary1", RandomBytes(1, 200000), DocumentLoadResult::InvalidFormat, -1},
        HostileCase{"RandomBinary2", RandomBytes(2, 4096), DocumentLoadResult::InvalidFormat, -1},
        HostileCase{"OnlyLineEnds", Repeat("\r", 5000), DocumentLoadResult::InvalidFormat, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentFileTest, SaveWritesByTheEndingAndReplacesThePreviousFile) {
  ASSERT_EQ(LoadBytes("in.csv", "2,b,\xB1,1\r\n1,\"a,1\",,2\r\n").status, DocumentLoadResult::Ok);
  std::string comma = m_folder / "out.csv";
  WriteBytes(comma, "old");
  ASSERT_EQ(SaveDocument(*m_store, comma).status, DocumentSaveResult::Ok);
  EXPECT_EQ(ReadBytes(comma), "0001,\"a,1\",,2,,,1\r\n0002,b,\xB1,1,,,1\r\n");
  std::string tab = m_folder / "out.CSV";
  ASSERT_EQ(SaveDocument(*m_store, tab).status, DocumentSaveResult::Ok);
  EXPECT_EQ(ReadBytes(tab), "0001\t\"a,1\"\t\t2\t\t\t1\r\n0002\tb\t\xB1\t1\t\t\t1\r\n");
}

// The write fails part way (a file-size limit, which binds root too); the previous file
// must stay byte for byte.
TEST_F(DocumentFileTest, FailedSaveLeavesThePreviousFileByteIdentical) {
  std::string rows;
  for (int n = 1; n <= 1000; ++n) rows += std::to_string(n) + ",\x8E\x52\x93\x63,\xD4\xCF\xC0\xDE,0312345678,,,1\r\n";
  ASSERT_EQ(LoadBytes("in.csv", rows).status, DocumentLoadResult::Ok);
  std::string path = m_folder / "book.csv";
  const std::string previous = "0001,old,,1,,,1\r\n";
  WriteBytes(path, previous);

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 8192;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  DocumentSaveResult saved = SaveDocument(*m_store, path);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(saved.status, DocumentSaveResult::WriteFailed);
  EXPECT_EQ(saved.osError, EFBIG);
  EXPECT_EQ(ReadBytes(path), previous);
}

TEST_F(DocumentFileTest, SaveIntoReadOnlyFolderFailsAndKeepsThePreviousFile) {
  std::string path = m_folder / "book.csv";
  WriteBytes(path, "previous");
  ASSERT_EQ(::chmod(m_folder.Path().c_str(), 0555), 0);
  // The save's status and error, as one number from the child that saves.
  const int report = RunWithoutPermissionOverride([&] {
    const DocumentSaveResult saved = SaveDocument(*m_store, path);
    return saved.status == DocumentSaveResult::WriteFailed ? saved.osError : -1;
  });
  ::chmod(m_folder.Path().c_str(), 0755);
  EXPECT_EQ(report, EACCES);
  EXPECT_EQ(ReadBytes(path), "previous");
}

TEST_F(DocumentFileTest, ImageFilesMustBeExactlyTheImageSize) {
  PhonebookImage image{};
  image[0] = 0x41;
  image[kImageSize - 1] = 0x42;
  std::string path = m_folder / "pdata.bin";
  ASSERT_EQ(WriteImageFile(path, image).status, ImageFileResult::Ok);
  PhonebookImage back{};
  ASSERT_EQ(ReadImageFile(path, back).status, ImageFileResult::Ok);
  EXPECT_EQ(back, image);

  for (std::size_t size : {std::size_t{0}, kImageSize - 1, kImageSize + 1}) {
    WriteBytes(path, std::string(size, '\x11'));
    PhonebookImage untouched{};
    ImageFileResult result = ReadImageFile(path, untouched);
    EXPECT_EQ(result.status, ImageFileResult::WrongSize) << size;
    EXPECT_EQ(result.actualSize, static_cast<long long>(size));
    EXPECT_EQ(untouched, PhonebookImage{}) << "a refused file changes nothing";
  }
  EXPECT_EQ(ReadImageFile(m_folder / "none.bin", back).status, ImageFileResult::CannotRead);
  EXPECT_EQ(ReadImageFile(m_folder.Path().string(), back).osError, EISDIR);
}

}  // namespace

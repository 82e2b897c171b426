// A store whose temporary folder fills up or fails: every file write of the store is
// failed in turn (the Nth write, sync or truncate, for every N until a run passes its last
// one), over whole flows of the library and of the real qvbook-cli. Each run must succeed
// completely, or fail with a result (exit code and message) and leave the user's file byte
// for byte as it was; a failed step must leave the store's entries as they were before it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "files/ClipboardText.h"
#include "files/CsvImport.h"
#include "files/DocumentFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "../cli/CliRunner.h"
#include "../comm/HandsetProcess.h"
#include "../files/TestFiles.h"
#include "../support/FaultyVfs.h"

namespace {

using faultvfs::Fault;

constexpr Fault kFaults[] = {Fault::FullDiskOnce, Fault::FullDisk, Fault::IoErrorOnce};
constexpr int kMostCalls = 400;  // a guard against a sweep that never ends

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::FullDiskOnce: return "full-once";
    case Fault::FullDisk: return "full";
    case Fault::IoErrorOnce: return "eio-once";
  }
  return "";
}

// A document of `count` entries, numbered from `first`, every field used.
std::string Document(int first, int count, const std::string& name) {
  std::string bytes;
  for (int n = first; n < first + count; ++n) {
    char line[96];
    std::snprintf(line, sizeof line, "%04d,%s%d,\xB6\xC5%d,03%08d,090%08d,,%d\r\n", n,
                  name.c_str(), n, n % 97, n, n, 1 + n % 9);
    bytes += line;
  }
  return bytes;
}

std::vector<PhonebookEntry> Entries(CDbPhoneCtrl& store) {
  std::vector<PhonebookEntry> entries;
  EXPECT_EQ(store.ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::Ok);
  return entries;
}

class StoreExhaustion : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { faultvfs::Install(); }
  void TearDown() override { faultvfs::Disarm(); }

  // Runs `flow` for every N with every kind of fault, until a run ends before its Nth
  // call; `flow` reports failures through gtest and returns whether it finished.
  template <typename Flow>
  void Sweep(Flow flow) {
    for (Fault fault : kFaults) {
      for (int n = 1; n <= kMostCalls && !HasFailure(); ++n) {
        SCOPED_TRACE(std::string(FaultName(fault)) + " at call " + std::to_string(n));
        faultvfs::Arm(n, fault);
        const bool finished = flow();
        const bool fired = faultvfs::Fired();
        faultvfs::Disarm();
        if (!fired) {
          EXPECT_TRUE(finished) << "nothing failed, yet the flow did not finish";
          break;
        }
        ++m_nFailedRuns;
      }
    }
    EXPECT_GT(m_nFailedRuns, 3) << "the sweep never reached the store's writes";
  }

  // Runs one step that changes the store: on failure the entries must be as before it.
  template <typename Step>
  bool Changed(CDbPhoneCtrl& store, Step step) {
    const std::vector<PhonebookEntry> before = Entries(store);
    if (step()) return true;
    faultvfs::Disarm();
    EXPECT_EQ(Entries(store), before) << "a failed step changed the store";
    return false;
  }

  TempFolder m_folder;
  int m_nFailedRuns = 0;
};

// Open, edit as the list view does (replace one entry, delete some), paste, import, save
// over the opened file.
TEST_F(StoreExhaustion, OpenEditPasteImportSaveIsWholeOrLeavesTheFile) {
  const std::string book = m_folder / "book.csv";
  const std::string additions = m_folder / "add.csv";
  const std::string original = Document(1, 990, "\x96\xBC");  // "名"
  WriteBytes(additions, Document(991, 5, "add") + Document(1, 2, "dup"));
  const std::vector<std::string> pasted = SplitClipboardLines(
      ClipboardHeaderLine({11, 0}) + Document(996, 5, "paste"));

  const auto flow = [&]() -> bool {
    auto environment = StoreEnvironment::CreatePrivate();
    CDbPhoneCtrl store(*environment);
    const DocumentLoadResult loaded = LoadDocument(store, book);
    if (loaded.status != DocumentLoadResult::Ok) {
      EXPECT_EQ(loaded.status, DocumentLoadResult::StoreFailed);
      return false;
    }
    PhonebookEntry edited;
    EXPECT_EQ(store.FindEntry(5, edited), StoreResult::Ok);
    edited.name = "edited";
    const bool done =
        Changed(store, [&] {
          CDbPhoneCtrl::Batch batch(store);
          return store.DeleteEntry(5) == StoreResult::Ok && store.AddEntry(edited) == StoreResult::Ok &&
                 batch.Commit() == StoreResult::Ok;
        }) &&
        Changed(store, [&] {
          std::vector<std::string> numbers{"0007", "0008"};
          return store.DeleteEntries(KanaRowAll, numbers) == StoreResult::Ok;
        }) &&
        Changed(store, [&] { return PasteClipboardLines(store, pasted).summary.result != ImportResult::StoreFailed; }) &&
        Changed(store, [&] {
          CFixedDuplicateResolver overwrite(DuplicateMethod::Overwrite);
          return ImportCsvFile(store, additions, overwrite).result == ImportResult::Finished;
        });
    if (!done) return false;
    return SaveDocument(store, book).status == DocumentSaveResult::Ok;
  };

  // The outcome without faults is what every finished run must write.
  WriteBytes(book, original);
  ASSERT_TRUE(flow());
  const std::string expected = ReadBytes(book);
  ASSERT_NE(expected, original);
  Sweep([&] {
    WriteBytes(book, original);
    const bool finished = flow();
    EXPECT_EQ(ReadBytes(book), finished ? expected : original);
    return finished;
  });
}

// A download's image replaces the entries of a phonebook whole, or not at all.
TEST_F(StoreExhaustion, DownloadedImageReplacesTheEntriesWholeOrNotAtAll) {
  const std::string book = m_folder / "book.csv";
  WriteBytes(book, Document(1, 1000, "old"));
  WriteBytes(m_folder / "new.csv", Document(1, 1000, "new"));
  const auto imageOf = [](const std::string& path) {
    auto environment = StoreEnvironment::CreatePrivate();
    CDbPhoneCtrl source(*environment);
    PhonebookImage image{};
    EXPECT_EQ(LoadDocument(source, path).status, DocumentLoadResult::Ok);
    EXPECT_EQ(source.BuildImage(image), StoreResult::Ok);
    return image;
  };
  const PhonebookImage received = imageOf(m_folder / "new.csv");
  const PhonebookImage old = imageOf(book);
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  ASSERT_EQ(LoadDocument(store, book).status, DocumentLoadResult::Ok);
  Sweep([&] {
    if (!Changed(store, [&] { return LoadPhonebookImage(received, store) == StoreResult::Ok; })) return false;
    faultvfs::Disarm();
    EXPECT_EQ(store.EntryCount(), 1000);
    EXPECT_EQ(Entries(store).front().name, "new1");
    EXPECT_EQ(LoadPhonebookImage(old, store), StoreResult::Ok);  // the old entries for the next run
    return true;
  });
}

// The real qvbook-cli with the faulty layer put in front of its SQLite.
class CliStoreExhaustion : public StoreExhaustion {
 protected:
  // Runs qvbook-cli with the Nth call failing; nullopt once N passed its last call.
  std::optional<CliRun> Run(const std::vector<std::string>& args, int n, Fault fault) {
    const std::string calls = m_folder / "calls.txt";
    const std::string plan = std::to_string(n) + ":" + FaultName(fault);
    // In a sanitizer build the runtime would refuse a library loaded before it.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanBefore = asan ? asan : "";
    setenv("ASAN_OPTIONS", (asanBefore + ":verify_asan_link_order=0").c_str(), 1);
    setenv("LD_PRELOAD", QVBOOK_FAULT_PRELOAD, 1);
    setenv("QVBOOK_FAULT", plan.c_str(), 1);
    setenv("QVBOOK_FAULT_CALLS", calls.c_str(), 1);
    CliRun run = RunCli(args, m_folder);
    unsetenv("LD_PRELOAD");
    unsetenv("QVBOOK_FAULT");
    unsetenv("QVBOOK_FAULT_CALLS");
    if (asan) setenv("ASAN_OPTIONS", asanBefore.c_str(), 1);
    else unsetenv("ASAN_OPTIONS");
    int seen = 0, fired = 0;
    if (std::FILE* file = std::fopen(calls.c_str(), "r")) {
      if (std::fscanf(file, "%d %d", &seen, &fired) != 2) fired = -1;
      std::fclose(file);
    }
    if (!fired) {
      EXPECT_EQ(run.exit, 0) << run.err;
      return std::nullopt;
    }
    return run;
  }

  // For every fault and N: `reset` puts the input files back, then the run either
  // succeeds and leaves in `target` what a run without faults does, or fails with exit 74
  // and a message and leaves `target` as `reset` made it (absent when `before` is nullopt).
  void SweepCli(const std::vector<std::string>& args, const std::string& target,
                const std::function<void()>& reset, const std::optional<std::string>& before) {
    reset();
    const CliRun clean = RunCli(args, m_folder);
    ASSERT_EQ(clean.exit, 0) << clean.err;
    const std::string expected = ReadBytes(target);
    for (Fault fault : kFaults) {
      for (int n = 1; n <= kMostCalls && !HasFailure(); ++n) {
        SCOPED_TRACE(std::string(FaultName(fault)) + " at call " + std::to_string(n));
        reset();
        const std::optional<CliRun> run = Run(args, n, fault);
        if (!run) {
          EXPECT_EQ(ReadBytes(target), expected);
          break;
        }
        ++m_nFailedRuns;
        if (run->exit == 0) {
          EXPECT_EQ(ReadBytes(target), expected);
          continue;
        }
        // Exit 74 with the message, the store's folder and the system's reason.
        EXPECT_EQ(run->exit, 74) << run->err;
        EXPECT_NE(run->err.find("作業用フォルダ"), std::string::npos) << run->err;
        EXPECT_TRUE(run->err.find("No space left on device") != std::string::npos ||
                    run->err.find("Input/output error") != std::string::npos)
            << run->err;
        if (before) EXPECT_EQ(ReadBytes(target), *before);
        else EXPECT_FALSE(std::filesystem::exists(target));
      }
    }
    EXPECT_GT(m_nFailedRuns, 3);
  }
};

TEST_F(CliStoreExhaustion, ConvertInPlaceImportAndImageOutputNeverWriteALosingFile) {
  const std::string book = m_folder / "book.csv";
  const std::string image = m_folder / "book.bin";
  const std::string original = Document(1, 1000, "x");
  const auto reset = [&] {
    WriteBytes(book, original);
    std::filesystem::remove(image);
  };
  SweepCli({"convert", book, book}, book, reset, original);
  SweepCli({"convert", book, image}, image, reset, std::nullopt);

  const std::string additions = m_folder / "add.csv";
  WriteBytes(additions, Document(1, 3, "over") + Document(601, 50, "new"));
  const std::string smaller = Document(1, 600, "x");
  const auto resetSmall = [&] { WriteBytes(book, smaller); };
  SweepCli({"import", book, additions, book, "--duplicates", "overwrite"}, book, resetSmall,
           smaller);
}

// The cases first seen with a full temporary folder: a download that reported success and
// wrote an empty document, an upload that wiped the handset's phonebook.
TEST_F(CliStoreExhaustion, FullDiskDownloadWritesNothingAndUploadSendsNothing) {
  const std::string book = m_folder / "book.csv";
  const std::string image = m_folder / "book.bin";
  WriteBytes(book, Document(1, 1000, "x"));
  ASSERT_EQ(RunCli({"convert", book, image}, m_folder).exit, 0);
  HandsetProcess handset({"--image", image, "--save", m_folder / "uploaded.bin"},
                         m_folder / "handset.log");
  ASSERT_FALSE(handset.Path().empty());

  const std::string received = m_folder / "received.csv";
  const std::optional<CliRun> download = Run({"download", "--port", handset.Path(), received}, 1, Fault::FullDisk);
  ASSERT_TRUE(download);
  EXPECT_EQ(download->exit, 74) << download->err;
  EXPECT_NE(download->err.find("ダウンロードの失敗\n"), std::string::npos) << download->err;
  EXPECT_FALSE(std::filesystem::exists(received));

  const std::optional<CliRun> upload = Run({"upload", "--no-backup", "--port", handset.Path(), book}, 1, Fault::FullDisk);
  ASSERT_TRUE(upload);
  EXPECT_EQ(upload->exit, 74) << upload->err;
  EXPECT_FALSE(std::filesystem::exists(m_folder / "uploaded.bin")) << "nothing reached the handset";
  handset.Stop();
  EXPECT_EQ(ReadBytes(m_folder / "handset.log").find("restart"), std::string::npos);
}

}  // namespace

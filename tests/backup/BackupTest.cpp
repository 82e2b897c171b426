// The handset's backups on real files (their names, order, entries, the newest kept, a
// folder that cannot be made) and what an upload changes, compared by memory number.
#include <gtest/gtest.h>

#include <memory>

#include "backup/HandsetBackups.h"
#include "backup/PhonebookChanges.h"
#include "files/DocumentFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/UserDataFolder.h"
#include "../files/TestFiles.h"

namespace {

PhonebookEntry Entry(int number, std::string name, std::string phone = "0312345678", int group = 1) {
  return PhonebookEntry{number, std::move(name), "\xB1", std::move(phone), "", "", group};
}

std::tm At(int day, int hour, int minute, int second) {
  std::tm when{};
  when.tm_year = 2025 - 1900;
  when.tm_mon = 2;
  when.tm_mday = day;
  when.tm_hour = hour;
  when.tm_min = minute;
  when.tm_sec = second;
  return when;
}

std::unique_ptr<PhonebookImage> ImageOf(const std::vector<PhonebookEntry>& entries) {
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  for (const PhonebookEntry& entry : entries) EXPECT_EQ(StoreResult::Ok, store.AddEntry(entry));
  auto image = std::make_unique<PhonebookImage>();
  image->fill(0);
  EXPECT_EQ(StoreResult::Ok, store.BuildImage(*image));
  return image;
}

}  // namespace

TEST(PhonebookChanges, ComparedByMemoryNumberWithTheFieldsThatChange) {
  const std::vector<PhonebookEntry> handset = {Entry(1, "A"), Entry(2, "B"), Entry(3, "C"), Entry(4, "D")};
  const std::vector<PhonebookEntry> upload = {Entry(1, "A"), Entry(2, "B2", "0312345678", 3), Entry(3, "C", "999"),
                                              Entry(5, "E")};
  const PhonebookChanges changes = ComparePhonebooks(handset, upload);
  ASSERT_EQ(1u, changes.added.size());
  EXPECT_EQ(5, changes.added[0].memoryNumber);
  ASSERT_EQ(2u, changes.changed.size());
  EXPECT_EQ(unsigned(ChangedName | ChangedGroup), changes.changed[0].fields);
  EXPECT_EQ("名前・グループ", ChangedFieldNames(changes.changed[0].fields));
  EXPECT_EQ("B / 1", ChangedFieldTexts(changes.changed[0].before, changes.changed[0].fields));
  EXPECT_EQ(unsigned(ChangedPhone1), changes.changed[1].fields);
  ASSERT_EQ(1u, changes.removed.size());
  EXPECT_EQ(4, changes.removed[0].memoryNumber);
  EXPECT_EQ(1, changes.unchanged);
  EXPECT_EQ(4, changes.entriesAfter);
  EXPECT_EQ("端末の電話帳（4件）を、アップロードする電話帳で置き換えます。\r\n\r\n追加するデータ ：1件\r\n"
            "変更するデータ ：2件\r\n削除するデータ ：1件\r\n変更のないデータ ：1件\r\nアップロード後の件数 ：4件",
            ChangeSummaryText(changes));
  // Removing exactly half is not "more than half"; one more is.
  EXPECT_FALSE(ComparePhonebooks(handset, {Entry(1, "A"), Entry(2, "B")}).RemovesMostEntries());
  EXPECT_TRUE(ComparePhonebooks(handset, {Entry(9, "A")}).RemovesMostEntries());
  EXPECT_FALSE(ComparePhonebooks({}, {Entry(1, "A")}).RemovesMostEntries());
}

// A backup is the handset's phonebook as a document, newest first in the list, named by
// date, time and port; two in the same second stay apart and in order; only the newest
// kBackupsKept stay.
TEST(HandsetBackups, WrittenListedAndKeptNewestFirst) {
  TempFolder folder;
  const std::string backups = folder / "data/qvbook/backups";  // made with its parents
  const auto image = ImageOf({Entry(1, "A"), Entry(7, "B")});
  const BackupWriteResult first = WriteBackup(backups, *image, "/dev/ttyACM0", At(14, 9, 30, 12));
  ASSERT_EQ(BackupWriteResult::Ok, first.status) << first.osError;
  EXPECT_EQ("20250314-093012_ttyACM0.csv", first.name);
  const BackupWriteResult second = WriteBackup(backups, *image, "\\\\.\\COM3", At(14, 9, 30, 12));
  EXPECT_EQ("20250314-093012-2_COM3.csv", second.name);

  // Read back, the backup gives the handset the same image.
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  ASSERT_EQ(DocumentLoadResult::Ok, LoadDocument(store, first.path).status);
  PhonebookImage back{};
  ASSERT_EQ(StoreResult::Ok, store.BuildImage(back));
  EXPECT_TRUE(back == *image);

  WriteBytes(platform::PathInFolder(backups, "notes.txt"), "not a backup");
  const std::vector<BackupInfo> listed = ListBackups(backups);
  ASSERT_EQ(2u, listed.size());
  EXPECT_EQ(second.name, listed[0].name);
  EXPECT_EQ("2025/03/14 09:30:12", listed[1].dateTime);
  EXPECT_EQ("ttyACM0", listed[1].source);
  EXPECT_EQ(2, listed[1].entries);
  EXPECT_EQ(listed[1].path, ResolveBackup(backups, first.name));
  EXPECT_EQ("elsewhere/x.csv", ResolveBackup(backups, "elsewhere/x.csv"));

  for (int minute = 0; minute < kBackupsKept; ++minute) WriteBackup(backups, *image, "tty", At(15, 10, minute, 0));
  const std::vector<BackupInfo> kept = ListBackups(backups);
  ASSERT_EQ(std::size_t(kBackupsKept), kept.size());
  EXPECT_EQ("20250315-101900_tty.csv", kept.front().name);
  EXPECT_EQ("20250315-100000_tty.csv", kept.back().name);
  EXPECT_TRUE(platform::FileExists(platform::PathInFolder(backups, "notes.txt")));  // not ours to remove
}

TEST(HandsetBackups, NothingIsWrittenWhereTheFolderCannotBeMade) {
  TempFolder folder;
  WriteBytes(folder / "data", "a file where the folder should be");
  const BackupWriteResult written = WriteBackup(folder / "data/backups", *ImageOf({Entry(1, "A")}), "tty", At(1, 0, 0, 0));
  EXPECT_EQ(BackupWriteResult::NoFolder, written.status);
  EXPECT_NE(0, written.osError);
  EXPECT_EQ(BackupWriteResult::NoFolder, WriteBackup("", *ImageOf({}), "tty", At(1, 0, 0, 0)).status);
}

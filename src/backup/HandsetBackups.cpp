// Backups of the handset's phonebook: their names, their folder, writing and listing them.
#include "backup/HandsetBackups.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "files/DocumentFile.h"
#include "files/FailureText.h"
#include "files/FileArchiveReader.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/PrivateFolder.h"
#include "platform/UserDataFolder.h"
#include "strings/StringTable.h"

namespace {

constexpr std::string_view kSuffix = ".csv";
constexpr std::size_t kStampLength = 15;  // "YYYYMMDD-HHMMSS"

// What a backup's file name says: when, which of that second, and from where.
struct ParsedName {
  std::string stamp;  // "YYYYMMDD-HHMMSS"
  int sequence = 1;
  std::string source;
};

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<ParsedName> ParseName(std::string_view name) {
  if (name.size() < kStampLength + 2 + kSuffix.size() || !name.ends_with(kSuffix)) return std::nullopt;
  const std::string_view stamp = name.substr(0, kStampLength);
  if (!AllDigits(stamp.substr(0, 8)) || stamp[8] != '-' || !AllDigits(stamp.substr(9))) return std::nullopt;
  std::string_view rest = name.substr(kStampLength, name.size() - kStampLength - kSuffix.size());
  ParsedName parsed{std::string(stamp), 1, {}};
  if (rest.starts_with('-')) {
    const std::size_t end = rest.find('_');
    if (end == std::string_view::npos || end > 5 || !AllDigits(rest.substr(1, end - 1))) return std::nullopt;
    parsed.sequence = std::stoi(std::string(rest.substr(1, end - 1)));
    rest = rest.substr(end);
  }
  if (!rest.starts_with('_') || rest.size() < 2) return std::nullopt;
  parsed.source = rest.substr(1);
  return parsed;
}

// "20250314-093012" as "2025/03/14 09:30:12".
std::string ShownDateTime(std::string_view stamp) {
  return std::string(stamp.substr(0, 4)) + "/" + std::string(stamp.substr(4, 2)) + "/" +
         std::string(stamp.substr(6, 2)) + " " + std::string(stamp.substr(9, 2)) + ":" +
         std::string(stamp.substr(11, 2)) + ":" + std::string(stamp.substr(13, 2));
}

// The port's own name, without its folders, in characters any file system takes.
std::string SourceOfPort(std::string_view port) {
  const std::size_t slash = port.find_last_of("/\\");
  if (slash != std::string_view::npos) port.remove_prefix(slash + 1);
  std::string source;
  for (char c : port.substr(0, 32)) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.';
    source.push_back(plain ? c : '_');
  }
  return source.empty() ? "handset" : source;
}

// The entries a backup holds: one line each.
int CountEntries(const std::string& path) {
  CFileArchiveReader reader;
  if (reader.Open(path) != 0) return -1;
  int count = 0;
  for (std::string line; reader.ReadLine(line);)
    if (!line.empty()) ++count;
  return reader.Failed() ? -1 : count;
}

bool NewerFirst(const std::pair<ParsedName, std::string>& a, const std::pair<ParsedName, std::string>& b) {
  if (a.first.stamp != b.first.stamp) return a.first.stamp > b.first.stamp;
  if (a.first.sequence != b.first.sequence) return a.first.sequence > b.first.sequence;
  return a.second > b.second;
}

// The backups' names in `folder` with what they say, newest first.
std::vector<std::pair<ParsedName, std::string>> BackupNames(const std::string& folder) {
  std::vector<std::pair<ParsedName, std::string>> backups;
  for (std::string& name : platform::FileNamesIn(folder))
    if (auto parsed = ParseName(name)) backups.emplace_back(std::move(*parsed), std::move(name));
  std::sort(backups.begin(), backups.end(), NewerFirst);
  return backups;
}

void RemoveAllButNewest(const std::string& folder, const std::string& keep) {
  const auto backups = BackupNames(folder);
  for (std::size_t i = kBackupsKept; i < backups.size(); ++i)
    if (backups[i].second != keep) platform::RemoveFile(platform::PathInFolder(folder, backups[i].second));
}

}  // namespace

std::string DefaultBackupFolder() {
  const std::string data = platform::UserDataFolderPath(kDataFolderName);
  return data.empty() ? std::string() : platform::PathInFolder(data, kBackupSubfolder);
}

std::string BackupFileName(const std::tm& when, std::string_view port, int sequence) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", when.tm_year + 1900, when.tm_mon + 1,
                when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  std::string name(stamp);
  if (sequence > 1) name += "-" + std::to_string(sequence);
  return name + "_" + SourceOfPort(port) + std::string(kSuffix);
}

std::tm LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::vector<BackupInfo> ListBackups(const std::string& folder) {
  std::vector<BackupInfo> list;
  for (const auto& [parsed, name] : BackupNames(folder)) {
    const std::string path = platform::PathInFolder(folder, name);
    list.push_back(BackupInfo{path, name, ShownDateTime(parsed.stamp), parsed.source, CountEntries(path)});
  }
  return list;
}

BackupWriteResult WriteBackup(const std::string& folder, const PhonebookImage& image, std::string_view port,
                              const std::tm& when) {
  if (folder.empty()) return {BackupWriteResult::NoFolder, ENOENT, folder, {}};
  if (const int error = platform::MakeFolderPath(folder); error != 0)
    return {BackupWriteResult::NoFolder, error, folder, {}};
  // A store of its own, in a private folder of its own: the entries go through the same
  // save as any document's.
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (!store.HasSlot() || LoadPhonebookImage(image, store) != StoreResult::Ok)
    return {BackupWriteResult::StoreFailed, store.LastOsError(), {}, {}};
  // After every backup of the same second, whichever port it came from, so that the list
  // keeps them in the order they were taken.
  const std::string stamp = BackupFileName(when, {}).substr(0, kStampLength);
  int sequence = 1;
  for (const auto& [parsed, existing] : BackupNames(folder))
    if (parsed.stamp == stamp) sequence = std::max(sequence, parsed.sequence + 1);
  std::string name = BackupFileName(when, port, sequence);
  while (platform::FileExists(platform::PathInFolder(folder, name))) name = BackupFileName(when, port, ++sequence);
  const std::string path = platform::PathInFolder(folder, name);
  const DocumentSaveResult saved = SaveDocument(store, path);
  if (saved.status == DocumentSaveResult::StoreFailed) return {BackupWriteResult::StoreFailed, saved.osError, path, {}};
  if (saved.status != DocumentSaveResult::Ok) return {BackupWriteResult::WriteFailed, saved.osError, path, {}};
  RemoveAllButNewest(folder, name);
  return {BackupWriteResult::Ok, 0, path, name};
}

std::string BackupFailureDetail(const BackupWriteResult& written) {
  if (written.status == BackupWriteResult::NoFolder && written.path.empty())
    return "no folder for the user's data (HOME, XDG_DATA_HOME or APPDATA)";
  std::string reason = written.osError != 0 ? WriteFailureReason(written.osError) : std::string();
  if (reason.empty() && written.osError != 0) reason = FormatText(WriteFailureTextId(written.osError), {written.path});
  if (reason.empty()) reason = "the entries could not be put into a temporary store";
  return (written.path.empty() ? std::string("the temporary store") : written.path) + ": " + reason;
}

std::string ResolveBackup(const std::string& folder, const std::string& nameOrPath) {
  if (nameOrPath.find_first_of("/\\") != std::string::npos || folder.empty()) return nameOrPath;
  const std::string inFolder = platform::PathInFolder(folder, nameOrPath);
  return platform::FileExists(inFolder) ? inFolder : nameOrPath;
}

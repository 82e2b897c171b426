// Windows backend of the private folder: a "qvbook" folder inside the user's temporary
// folder, which the system already keeps to its user. Database files carry the hidden
// attribute. A folder that is a junction or symbolic link is refused, as on Linux.
#include "platform/PrivateFolder.h"

#include <atomic>
#include <cerrno>

#include "platform/WindowsApi.h"

namespace platform {

namespace {

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// The folder of the program file: where temporary files go when the system has no
// temporary path.
std::string ProgramFolder() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return ".";
  return FolderOfPath(std::string(buffer, length));
}

}  // namespace

std::string UserPrivateFolderPath() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  const std::string temp = (length > 0 && length < sizeof buffer) ? std::string(buffer, length)
                                                                  : ProgramFolder();
  return WithoutTrailingSeparators(temp) + "\\qvbook";
}

FolderCheck EnsurePrivateFolder(const std::string& path) {
  if (path.empty()) return {FolderProblem::Other, ENOENT};
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    switch (GetLastError()) {
      case ERROR_PATH_NOT_FOUND:
        return {FolderProblem::MissingParent, ENOENT};
      case ERROR_ACCESS_DENIED:
      case ERROR_WRITE_PROTECT:
        return {FolderProblem::NotWritable, EACCES};
      default:
        return {FolderProblem::Other, EIO};
    }
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {FolderProblem::Other, EIO};
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return {FolderProblem::SymbolicLink, 0};
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {FolderProblem::NotAFolder, 0};
  return {};
}

std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned long long seed = GetTickCount64() * 2654435761ULL + GetCurrentProcessId() * 40503ULL +
                              counter++ * 2246822519ULL;
    std::string path = WithoutTrailingSeparators(parent) + "\\" + prefix;
    for (int i = 0; i < 6; ++i) {
      path += kDigits[seed % 36];
      seed /= 36;
    }
    if (CreateDirectoryA(path.c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

std::vector<std::string> QuietSubfolders(const std::string& parent, const std::string& prefix,
                                         int minAgeSeconds) {
  std::vector<std::string> found;
  const std::string folder = WithoutTrailingSeparators(parent);
  WIN32_FIND_DATAA item {};
  const HANDLE search = FindFirstFileA((folder + "\\" + prefix + "*").c_str(), &item);
  if (search == INVALID_HANDLE_VALUE) return found;
  FILETIME now {};
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {  // 100 ns units
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  const unsigned long long minAge = static_cast<unsigned long long>(minAgeSeconds) * 10000000ULL;
  do {
    const bool isFolder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          !(item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (isFolder && ticks(now) >= ticks(item.ftLastWriteTime) + minAge)
      found.push_back(folder + "\\" + item.cFileName);
  } while (FindNextFileA(search, &item));
  FindClose(search);
  return found;
}

void RemoveFolder(const std::string& path) {
  if (path.empty()) return;
  WIN32_FIND_DATAA item {};
  const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &item);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::string file = path + "\\" + item.cFileName;
      if (item.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(file.c_str());
    } while (FindNextFileA(search, &item));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

bool CreatePrivateFile(const std::string& path) {
  // CREATE_NEW fails on anything already there, a link included, so nothing is followed.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);  // a temporary file, not for the user's eyes
  return true;
}

std::string SqliteFileName(const std::string& path) {
  // The system's "A" calls take paths in the ANSI code page; SQLite takes UTF-8.
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (wideLength <= 0) return path;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace platform

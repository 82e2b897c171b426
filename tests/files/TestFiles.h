// Real files for tests: a private temporary folder removed afterwards, and whole-file
// reading and writing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/PrivateFolder.h"

class TempFolder {
 public:
  TempFolder() {
    m_path = platform::MakeUniqueFolder(std::filesystem::temp_directory_path().string(), "qvbook-test-");
    EXPECT_FALSE(m_path.empty()) << "no temporary folder could be made";
  }
  ~TempFolder() {
    std::error_code ignored;
    // A test may have made a sub-folder read-only; give write access back before removing.
    for (auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored)) {
      if (entry.is_directory(ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
      }
    }
    std::filesystem::remove_all(m_path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string operator/(const std::string& name) const { return (m_path / name).string(); }
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

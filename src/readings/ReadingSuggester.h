// Readings suggested for names: MeCab with the IPADIC dictionary, ranked for personal
// names (NameReadings.h), given as the handset's readings (half-width katakana, code page
// 932, at most 16 bytes). The dictionary is loaded when first needed, or beforehand on a
// thread of its own, so that nobody waits for it at start-up. One object serves every
// thread: loading is serialised, and each suggestion works on a lattice of its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "readings/NameReadings.h"

class CReadingSuggester {
 public:
  enum class State { NotLoaded, Loading, Ready, Missing };

  // How many readings a caller is offered at most: the best and the alternatives.
  static constexpr std::size_t kMaxReadings = 10;

  // Looks for the dictionary in `folders`, in order; by default in QVBOOK_READING_DIC
  // when that is set, else where the system keeps it (platform/DictionaryFolders.h). The
  // learned name parts (kNamePartsFile) and the names table (kNameReadingsFile) are looked
  // for beside the dictionary, then in
  // `partsFolders` (by default the installed data folder, then the build's).
  // `scoring` weighs name patterns (NameReadings.h); the defaults are the measured ones.
  explicit CReadingSuggester(std::vector<std::string> folders = DefaultFolders(),
                             const NameScoring& scoring = {},
                             std::vector<std::string> partsFolders = DefaultPartsFolders());
  ~CReadingSuggester();
  CReadingSuggester(const CReadingSuggester&) = delete;
  CReadingSuggester& operator=(const CReadingSuggester&) = delete;

  static std::vector<std::string> DefaultFolders();
  static std::vector<std::string> DefaultPartsFolders();
  static constexpr const char* kNamePartsFile = "name-parts.tsv";
  static constexpr const char* kNameReadingsFile = "name-readings.tsv";

  // Starts loading the dictionary on a thread of its own and returns at once.
  void LoadInBackground();
  // Loads the dictionary now, or waits for the background load; false without one.
  bool Load();
  // Waits for the thread LoadInBackground started, if any, to end. Call it from the thread
  // that started the load.
  void WaitForBackgroundLoad();
  State GetState() const { return m_state.load(); }

  // Readings of `name` (code page 932), best first, distinct, at most `count`: each holds
  // only characters of the reading set and fits 16 bytes. Loads the dictionary when it is
  // not loaded yet. Empty without a dictionary, and for a name nothing reads (a kanji the
  // dictionary lacks).
  std::vector<std::string> Suggest(std::string_view name, std::size_t count = kMaxReadings);
  std::string Best(std::string_view name) { return FirstOf(Suggest(name, 1)); }

  // True once: the first time a caller asks after the dictionary was found missing, so
  // that the user is told once and never again.
  bool TakeMissingNotice();

  // The folder the dictionary was loaded from, and the bytes of its files, which MeCab
  // maps into memory (empty and 0 until it is loaded).
  std::string DictionaryFolder() const;
  std::size_t DictionaryBytes() const;
  // How many learned name parts were loaded (0 without the file).
  std::size_t NamePartCount() const;
  // How many readings of surnames and given names the names table holds, and the bytes it
  // takes in memory (0 without the file).
  std::size_t NameReadingCount() const;
  std::size_t NameTableBytes() const;

 private:
  static std::string FirstOf(const std::vector<std::string>& readings) {
    return readings.empty() ? std::string() : readings.front();
  }
  void LoadLocked();

  const std::vector<std::string> m_folders;
  const NameScoring m_scoring;
  const std::vector<std::string> m_partsFolders;
  mutable std::mutex m_mutex;        // guards loading and the members below
  std::atomic<State> m_state{State::NotLoaded};
  std::unique_ptr<MeCab::Model> m_model;  // immutable once loaded; shared by all threads
  CNameParts m_parts;                     // likewise
  CNameReadingTable m_names;              // likewise
  std::string m_folder;
  std::size_t m_bytes = 0;
  bool m_missingNoticeTaken = false;
  std::thread m_loader;
};

// The one suggester of the process, shared by the document, the view and the CLI.
CReadingSuggester& SharedReadingSuggester();

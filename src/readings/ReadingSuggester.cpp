// The reading suggester: finding and loading the dictionary, and turning a name of the
// phonebook into the readings NameReadings ranks.
#include "readings/ReadingSuggester.h"

#include <mecab.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

#include "phonebook/EntryRules.h"
#include "phonebook/PhonebookEntry.h"
#include "phonebook/ReadingText.h"
#include "platform/CodePage.h"
#include "platform/DictionaryFolders.h"
#include "platform/HalfWidthKana.h"

namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A compiled MeCab dictionary has these files; the folder is taken only when all are there.
bool HoldsDictionary(const std::string& folder) {
  std::error_code error;
  for (const char* file : {"sys.dic", "matrix.bin", "char.bin", "unk.dic", "dicrc"})
    if (!std::filesystem::is_regular_file(PathOf(folder) / file, error)) return false;
  return true;
}

std::size_t FolderBytes(const std::string& folder) {
  std::size_t bytes = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(PathOf(folder), error))
    if (entry.is_regular_file(error)) bytes += static_cast<std::size_t>(entry.file_size(error));
  return bytes;
}

// The name's parts as the user wrote them apart (by half-width or full-width spaces),
// in UTF-8 with half-width katakana made full-width, as the dictionary writes them.
std::vector<std::string> NameParts(std::string_view name) {
  std::u16string text = Utf8ToUtf16(Cp932ToUtf8(name));
  const std::u16string wide = platform::ToFullWidthKatakana(text);
  if (!wide.empty()) text = wide;
  std::vector<std::string> parts;
  std::u16string part;
  for (char16_t c : text + u' ') {
    if (c != u' ' && c != u'\u3000') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(Utf16ToUtf8(part));
      part.clear();
    }
  }
  return parts;
}

struct Combined {
  std::string katakana;
  long cost;
};

// The readings of a name written in parts: each part's best, then each other reading of
// one part with the others' best, ordered by cost. Parts are joined by a space, as the
// name's parts are.
std::vector<Combined> CombineParts(const std::vector<std::vector<RankedReading>>& parts) {
  std::vector<Combined> combined;
  for (const auto& readings : parts)
    if (readings.empty()) return {};
  auto join = [&](std::size_t varied, std::size_t rank) {
    Combined result{{}, 0};
    for (std::size_t i = 0; i < parts.size(); ++i) {
      const RankedReading& reading = parts[i][i == varied ? rank : 0];
      if (i > 0) result.katakana += ' ';
      result.katakana += reading.katakana;
      result.cost += reading.cost;
    }
    return result;
  };
  combined.push_back(join(0, 0));
  for (std::size_t i = 0; i < parts.size(); ++i)
    for (std::size_t rank = 1; rank < parts[i].size(); ++rank) combined.push_back(join(i, rank));
  std::stable_sort(combined.begin(), combined.end(),
                   [](const Combined& a, const Combined& b) { return a.cost < b.cost; });
  return combined;
}

// The readings of one part: those of the names table first, as it knows names and how
// usual their readings are, then MeCab's, which read what the table lacks (a name it does
// not hold, a shop, a company). MeCab's costs are moved after the table's so that the
// parts of a name still combine in order.
std::vector<RankedReading> TableFirst(std::vector<RankedReading> table, std::vector<RankedReading> lattice) {
  if (table.empty() || lattice.empty()) return table.empty() ? lattice : table;
  const long shift = table.back().cost + 1 - lattice.front().cost;
  for (RankedReading& reading : lattice) {
    reading.cost += shift;
    table.push_back(std::move(reading));
  }
  return table;
}

}  // namespace

CReadingSuggester::CReadingSuggester(std::vector<std::string> folders, const NameScoring& scoring,
                                     std::vector<std::string> partsFolders)
    : m_folders(std::move(folders)), m_scoring(scoring), m_partsFolders(std::move(partsFolders)) {}

CReadingSuggester::~CReadingSuggester() {
  if (m_loader.joinable()) m_loader.join();
}

std::vector<std::string> CReadingSuggester::DefaultFolders() {
  if (const char* chosen = std::getenv("QVBOOK_READING_DIC")) return {chosen};
  return platform::DictionaryFolders();
}

std::vector<std::string> CReadingSuggester::DefaultPartsFolders() {
  return {QVBOOK_DATA_DIR, QVBOOK_BUILD_DATA_DIR};
}

void CReadingSuggester::LoadInBackground() {
  std::lock_guard lock(m_mutex);
  if (m_state != State::NotLoaded || m_loader.joinable()) return;
  m_state = State::Loading;
  m_loader = std::thread([this] { Load(); });
}

void CReadingSuggester::WaitForBackgroundLoad() {
  if (m_loader.joinable()) m_loader.join();
}

bool CReadingSuggester::Load() {
  std::lock_guard lock(m_mutex);
  if (m_state != State::Ready && m_state != State::Missing) LoadLocked();
  return m_state == State::Ready;
}

void CReadingSuggester::LoadLocked() {
  for (const std::string& folder : m_folders) {
    if (!HoldsDictionary(folder)) continue;
    // The dictionary's own dicrc serves as the resource file, so that no system-wide
    // mecabrc is needed (Windows has none).
    const std::string rc = folder + "/dicrc";
    const char* argv[] = {"qvbook", "-r", rc.c_str(), "-d", folder.c_str()};
    m_model.reset(MeCab::Model::create(5, const_cast<char**>(argv)));
    if (!m_model) continue;
    m_folder = folder;
    m_bytes = FolderBytes(folder);
    std::vector<std::string> partsFolders{folder};
    partsFolders.insert(partsFolders.end(), m_partsFolders.begin(), m_partsFolders.end());
    const MeCab::DictionaryInfo* info = m_model->dictionary_info();
    const int contextIds = info ? static_cast<int>(std::min(info->lsize, info->rsize)) : 0;
    for (const std::string& partsFolder : partsFolders)
      if (m_parts.Load(partsFolder + "/" + kNamePartsFile, contextIds)) break;
    if (m_scoring.useNameTable)
      for (const std::string& partsFolder : partsFolders)
        if (m_names.Load(partsFolder + "/" + kNameReadingsFile)) break;
    m_state = State::Ready;
    return;
  }
  m_state = State::Missing;
}

std::vector<std::string> CReadingSuggester::Suggest(std::string_view name, std::size_t count) {
  if (count == 0 || !Load()) return {};
  const std::vector<std::string> parts = NameParts(name);
  if (parts.empty()) return {};
  std::vector<std::vector<RankedReading>> ranked;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const NamePosition position = parts.size() == 1 ? NamePosition::Whole
                                  : i == 0          ? NamePosition::Surname
                                                    : NamePosition::GivenName;
    ranked.push_back(TableFirst(TableNameReadings(m_names, parts[i], count, position),
                                RankNameReadings(*m_model, m_parts.Count() ? &m_parts : nullptr,
                                                 parts[i], count, m_scoring, i > 0)));
  }
  std::vector<std::string> readings;
  std::set<std::string> seen;
  for (const Combined& candidate : CombineParts(ranked)) {
    bool lossless = true;
    std::string reading = ReadingFromKana(candidate.katakana, lossless);
    reading.resize(FitBytes(reading, kReadingMaxBytes));
    if (reading.empty() || !seen.insert(reading).second) continue;
    readings.push_back(std::move(reading));
    if (readings.size() == count) break;
  }
  return readings;
}

bool CReadingSuggester::TakeMissingNotice() {
  std::lock_guard lock(m_mutex);
  if (m_state != State::Missing || m_missingNoticeTaken) return false;
  m_missingNoticeTaken = true;
  return true;
}

std::string CReadingSuggester::DictionaryFolder() const {
  std::lock_guard lock(m_mutex);
  return m_folder;
}

std::size_t CReadingSuggester::NamePartCount() const {
  std::lock_guard lock(m_mutex);
  return m_parts.Count();
}

std::size_t CReadingSuggester::NameReadingCount() const {
  std::lock_guard lock(m_mutex);
  return m_names.Count();
}

std::size_t CReadingSuggester::NameTableBytes() const {
  std::lock_guard lock(m_mutex);
  return m_names.Bytes();
}

std::size_t CReadingSuggester::DictionaryBytes() const {
  std::lock_guard lock(m_mutex);
  return m_bytes;
}

CReadingSuggester& SharedReadingSuggester() {
  static CReadingSuggester suggester;
  return suggester;
}

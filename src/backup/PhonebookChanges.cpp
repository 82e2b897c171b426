// The comparison behind the upload's preview.
#include "backup/PhonebookChanges.h"

#include <map>

#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

struct FieldOfEntry {
  ChangedField bit;
  int nameId;
  std::string PhonebookEntry::*text;  // null for the group
};

constexpr FieldOfEntry kFields[] = {
    {ChangedName, IDS_FIELD_NAME, &PhonebookEntry::name},
    {ChangedReading, IDS_FIELD_READING, &PhonebookEntry::reading},
    {ChangedPhone1, IDS_FIELD_PHONE1, &PhonebookEntry::phone1},
    {ChangedPhone2, IDS_FIELD_PHONE2, &PhonebookEntry::phone2},
    {ChangedPhone3, IDS_FIELD_PHONE3, &PhonebookEntry::phone3},
    {ChangedGroup, IDS_FIELD_GROUP, nullptr},
};

unsigned DifferingFields(const PhonebookEntry& a, const PhonebookEntry& b) {
  unsigned fields = 0;
  for (const FieldOfEntry& field : kFields) {
    const bool differs = field.text ? a.*field.text != b.*field.text : a.group != b.group;
    if (differs) fields |= field.bit;
  }
  return fields;
}

std::string CountLine(int id, std::size_t count) { return FormatText(id, {std::to_string(count)}); }

}  // namespace

PhonebookChanges ComparePhonebooks(const std::vector<PhonebookEntry>& handset,
                                   const std::vector<PhonebookEntry>& upload) {
  PhonebookChanges changes;
  changes.entriesBefore = static_cast<int>(handset.size());
  changes.entriesAfter = static_cast<int>(upload.size());
  std::map<int, const PhonebookEntry*> now;
  for (const PhonebookEntry& entry : handset) now.emplace(entry.memoryNumber, &entry);
  for (const PhonebookEntry& entry : upload) {
    const auto found = now.find(entry.memoryNumber);
    if (found == now.end()) {
      changes.added.push_back(entry);
      continue;
    }
    if (const unsigned fields = DifferingFields(*found->second, entry))
      changes.changed.push_back(EntryChange{*found->second, entry, fields});
    else
      ++changes.unchanged;
    now.erase(found);
  }
  for (const auto& [number, entry] : now) changes.removed.push_back(*entry);
  return changes;
}

std::string ChangedFieldNames(unsigned fields) {
  std::string names;
  for (const FieldOfEntry& field : kFields) {
    if (!(fields & field.bit)) continue;
    if (!names.empty()) names += "・";
    names += StringText(field.nameId);
  }
  return names;
}

std::string ChangedFieldTexts(const PhonebookEntry& entry, unsigned fields) {
  std::string texts;
  for (const FieldOfEntry& field : kFields) {
    if (!(fields & field.bit)) continue;
    if (!texts.empty()) texts += " / ";
    texts += field.text ? entry.*field.text : std::to_string(entry.group);
  }
  return texts;
}

std::string ChangeSummaryText(const PhonebookChanges& changes) {
  std::string text = FormatText(IDS_PREVIEW_INTRO, {std::to_string(changes.entriesBefore)}) + "\r\n";
  for (const std::string& line :
       {CountLine(IDS_PREVIEW_ADDED, changes.added.size()), CountLine(IDS_PREVIEW_CHANGED, changes.changed.size()),
        CountLine(IDS_PREVIEW_REMOVED, changes.removed.size()),
        CountLine(IDS_PREVIEW_UNCHANGED, static_cast<std::size_t>(changes.unchanged)),
        CountLine(IDS_PREVIEW_TOTAL, static_cast<std::size_t>(changes.entriesAfter))})
    text += "\r\n" + line;
  return text;
}

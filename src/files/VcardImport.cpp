// The vCard import: the file is read whole and its cards parsed one at a time into entry
// texts, every card is planned against a copy of the phonebook (duplicates asked about as
// they come), and only then are the planned entries written to the store, in one batch.
#include "files/VcardImport.h"

#include <map>
#include <new>
#include <utility>

#include "files/DeferredEntries.h"
#include "files/VcardEntry.h"
#include "files/VcardFile.h"
#include "files/VcardReader.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"

namespace {

// What is kept of a card once it is read.
struct ReadCard {
  int line = 0;  // of its BEGIN:VCARD
  VcardEntryTexts texts;
};

// One change the import makes to the store.
struct PlannedEntry {
  bool replaces = false;  // the entry with this memory number is deleted first
  PhonebookEntry entry;
};

class CVcardImport {
 public:
  CVcardImport(CDbPhoneCtrl& store, IDuplicateResolver& resolver)
      : m_store(store), m_answers(resolver, m_summary), m_used(store.usedFlags()) {
    m_summary.source = ImportSource::Vcard;
  }

  ImportSummary Run(const std::vector<ReadCard>& cards) {
    if (!LoadPhonebook()) return Failed();
    for (std::size_t i = 0; i < cards.size(); ++i) PlanCard(cards[i], static_cast<int>(i) + 1);
    if (!WritePlan()) return Failed();
    m_summary.result = m_summary.notes[NoteNoFreeNumber].empty() ? ImportResult::Finished
                                                                 : ImportResult::LimitReached;
    return m_summary;
  }

 private:
  using NamePhone = std::pair<std::string, std::string>;

  // The stored entries, as the copy the cards are planned against.
  bool LoadPhonebook() {
    std::vector<PhonebookEntry> stored;
    if (m_store.ListEntries(KanaRowAll, SortByNumber, true, stored) != StoreResult::Ok) return false;
    for (PhonebookEntry& entry : stored) Remember(std::move(entry));
    return true;
  }

  void Remember(PhonebookEntry entry) {
    const int number = entry.memoryNumber;
    m_used[number - 1] = 1;
    m_byNamePhone.emplace(NamePhone(entry.name, entry.phone1), number);  // the lowest number stays
    m_entries[number] = std::move(entry);
  }

  void PlanCard(const ReadCard& card, int index) {
    const VcardEntryTexts& texts = card.texts;
    VcardCardRef ref{index, card.line, texts.fields[FieldName]};
    if (texts.fields[FieldPhone1].empty() && texts.fields[FieldPhone2].empty() && texts.fields[FieldPhone3].empty())
      return Note(NoteNoPhone, ref);

    // The entry rules fit the texts; the memory number is chosen below.
    std::vector<std::string> fields = texts.fields;
    fields[FieldMemoryNumber] = "1";
    static_cast<void>(NormaliseFields(fields, UsedFlags{}));  // the number "1" is always good
    PhonebookEntry entry = EntryFromFields(fields);
    ref.name = entry.name;

    const auto duplicate = m_byNamePhone.find(NamePhone(entry.name, entry.phone1));
    if (duplicate != m_byNamePhone.end()) {
      const int number = duplicate->second;
      fields[FieldMemoryNumber] = MemoryNumberText(number);
      const DuplicateMethod method = m_answers.For(number, fields, m_entries[number]);
      if (method == DuplicateMethod::Skip) return Note(NoteDuplicateSkipped, ref);
      if (method == DuplicateMethod::Overwrite) {
        entry.memoryNumber = number;
        return Plan(true, std::move(entry), texts, ref);
      }
    }
    entry.memoryNumber = FreeNumber();
    if (entry.memoryNumber == 0) return Note(NoteNoFreeNumber, ref);
    Plan(false, std::move(entry), texts, ref);
  }

  void Plan(bool replaces, PhonebookEntry entry, const VcardEntryTexts& texts, const VcardCardRef& ref) {
    const bool shortened = entry.name.size() < texts.fields[FieldName].size() ||
                           entry.reading.size() < texts.fields[FieldReading].size() ||
                           entry.phone1.size() < texts.fields[FieldPhone1].size() ||
                           entry.phone2.size() < texts.fields[FieldPhone2].size() ||
                           entry.phone3.size() < texts.fields[FieldPhone3].size();
    if (shortened) Note(NoteShortened, ref);
    if (texts.lostCharacters) Note(NoteLostCharacters, ref);
    if (texts.extraPhones) Note(NoteExtraPhones, ref);
    ++m_summary.added;
    m_plan.push_back({replaces, entry});
    Remember(std::move(entry));
  }

  void Note(VcardNote note, const VcardCardRef& ref) { m_summary.notes[note].push_back(ref); }

  int FreeNumber() const {
    for (int n = 1; n <= kMaxEntries; ++n)
      if (!m_used[n - 1]) return n;
    return 0;
  }

  // Writes the planned entries in one batch, whole or (when the store refuses one) not at all.
  bool WritePlan() {
    CDbPhoneCtrl::Batch batch(m_store);
    for (const PlannedEntry& planned : m_plan) {
      if (planned.replaces && m_store.DeleteEntry(planned.entry.memoryNumber) != StoreResult::Ok) return false;
      if (m_store.AddEntry(planned.entry) != StoreResult::Ok) return false;
    }
    return batch.Commit() == StoreResult::Ok;
  }

  ImportSummary Failed() const {
    ImportSummary failed;
    failed.source = ImportSource::Vcard;
    failed.result = ImportResult::StoreFailed;
    failed.storeError = m_store.LastOsError();
    return failed;
  }

  CDbPhoneCtrl& m_store;
  ImportSummary m_summary;
  CDuplicateAnswers m_answers;
  UsedFlags m_used;                               // numbers in use once the plan is written
  std::map<int, PhonebookEntry> m_entries;        // the phonebook once the plan is written
  std::map<NamePhone, int> m_byNamePhone;         // name and phone 1 -> memory number
  std::vector<PlannedEntry> m_plan;
};

ImportResult ResultOfParse(VcardParseResult::Status status) {
  switch (status) {
    case VcardParseResult::NotVcard:
      return ImportResult::NotVcard;
    case VcardParseResult::MissingEnd:
      return ImportResult::MissingEnd;
    case VcardParseResult::Malformed:
      return ImportResult::Malformed;
    case VcardParseResult::TooManyCards:
      return ImportResult::TooManyCards;
    case VcardParseResult::TooManyItems:
      return ImportResult::TooManyItems;
    case VcardParseResult::Ok:
      break;
  }
  return ImportResult::Finished;
}

ImportSummary ImportFile(CDbPhoneCtrl& store, const std::string& path, IDuplicateResolver& resolver) {
  ImportSummary summary;
  summary.source = ImportSource::Vcard;
  std::vector<ReadCard> cards;
  {
    const VcardFileBytes file = ReadVcardFile(path);
    if (file.status != VcardFileBytes::Ok) {
      summary.result = file.status == VcardFileBytes::TooLarge ? ImportResult::TooLarge : ImportResult::OpenFailed;
      summary.osError = file.osError;
      return summary;
    }
    const VcardParseResult parsed = ReadVcards(file.bytes, [&cards](const Vcard& card) {
      cards.push_back({card.line, EntryTextsOfCard(card)});
    });
    if (parsed.status != VcardParseResult::Ok) {
      summary.result = ResultOfParse(parsed.status);
      summary.errorLine = parsed.line;
      return summary;
    }
  }  // the file's bytes are let go before the planning
  return CVcardImport(store, resolver).Run(cards);
}

}  // namespace

ImportSummary ImportVcardFile(CDbPhoneCtrl& store, const std::string& path, IDuplicateResolver& resolver) {
  try {
    return ImportFile(store, path, resolver);
  } catch (const std::bad_alloc&) {
    // Whatever was held is let go on the way here; a batch begun is undone by its destructor.
    ImportSummary summary;
    summary.source = ImportSource::Vcard;
    summary.result = ImportResult::OutOfMemory;
    return summary;
  }
}

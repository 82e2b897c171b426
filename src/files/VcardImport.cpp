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
#include "platform/CodePage.h"
#include "strings/StringIds.h"

namespace {

// The summary line of each kind of note, in the order of the notes.
constexpr std::array<int, NoteCount> kNoteLines = {
    IDS_VCARD_SKIPPED_LINE,    IDS_VCARD_NO_PHONE_LINE,        IDS_VCARD_FULL_LINE,
    IDS_VCARD_SHORTENED_LINE, IDS_VCARD_LOST_CHARACTERS_LINE, IDS_VCARD_EXTRA_PHONES_LINE};

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
      : m_store(store), m_resolver(resolver), m_used(store.usedFlags()) {}

  VcardImportSummary Run(const std::vector<ReadCard>& cards) {
    if (!LoadPhonebook()) return Failed();
    for (std::size_t i = 0; i < cards.size(); ++i) PlanCard(cards[i], static_cast<int>(i) + 1);
    if (!WritePlan()) return Failed();
    m_summary.result = m_summary.notes[NoteNoFreeNumber].empty() ? VcardImportResult::Finished
                                                                 : VcardImportResult::LimitReached;
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
    NormaliseFields(fields, UsedFlags{});
    PhonebookEntry entry = EntryFromFields(fields);
    ref.name = entry.name;

    const auto duplicate = m_byNamePhone.find(NamePhone(entry.name, entry.phone1));
    if (duplicate != m_byNamePhone.end()) {
      const int number = duplicate->second;
      fields[FieldMemoryNumber] = MemoryNumberText(number);
      if (!m_choice.continueFlag) m_choice = m_resolver.ResolveDuplicate(number, fields, m_entries[number]);
      if (m_choice.method == DuplicateSkip) return Note(NoteDuplicateSkipped, ref);
      if (m_choice.method == DuplicateOverwrite) {
        entry.memoryNumber = number;
        ++m_summary.overwritten;
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

  VcardImportSummary Failed() const {
    VcardImportSummary failed;
    failed.result = VcardImportResult::StoreFailed;
    failed.storeError = m_store.LastOsError();
    return failed;
  }

  CDbPhoneCtrl& m_store;
  IDuplicateResolver& m_resolver;
  UsedFlags m_used;                               // numbers in use once the plan is written
  std::map<int, PhonebookEntry> m_entries;        // the phonebook once the plan is written
  std::map<NamePhone, int> m_byNamePhone;         // name and phone 1 -> memory number
  std::vector<PlannedEntry> m_plan;
  DuplicateChoice m_choice;  // the last answer; kept for good once it has the continue flag
  VcardImportSummary m_summary;
};

VcardImportResult ResultOfParse(VcardParseResult::Status status) {
  switch (status) {
    case VcardParseResult::NotVcard:
      return VcardImportResult::NotVcard;
    case VcardParseResult::MissingEnd:
      return VcardImportResult::MissingEnd;
    case VcardParseResult::Malformed:
      return VcardImportResult::Malformed;
    case VcardParseResult::TooManyCards:
      return VcardImportResult::TooManyCards;
    case VcardParseResult::TooManyItems:
      return VcardImportResult::TooManyItems;
    case VcardParseResult::Ok:
      break;
  }
  return VcardImportResult::Finished;
}

void AppendCount(std::string& text, int lineId, std::size_t count) {
  text += "\r\n" + FormatText(lineId, {std::to_string(count)});
}

VcardImportSummary ImportFile(CDbPhoneCtrl& store, const std::string& path, IDuplicateResolver& resolver) {
  VcardImportSummary summary;
  std::vector<ReadCard> cards;
  {
    const VcardFileBytes file = ReadVcardFile(path);
    if (file.status != VcardFileBytes::Ok) {
      summary.result = file.status == VcardFileBytes::TooLarge ? VcardImportResult::TooLarge
                                                               : VcardImportResult::OpenFailed;
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

VcardImportSummary ImportVcardFile(CDbPhoneCtrl& store, const std::string& path, IDuplicateResolver& resolver) {
  try {
    return ImportFile(store, path, resolver);
  } catch (const std::bad_alloc&) {
    // Whatever was held is let go on the way here; a batch begun is undone by its destructor.
    VcardImportSummary summary;
    summary.result = VcardImportResult::OutOfMemory;
    return summary;
  }
}

ImportResultMessage MessageOfVcardImport(const VcardImportSummary& summary) {
  switch (summary.result) {
    case VcardImportResult::OpenFailed:
      return {IDS_IMPORT_OPEN_CAPTION, IDS_IMPORT_OPEN_FAILED, MessageIcon::Error};
    case VcardImportResult::TooLarge:
      return {IDS_IMPORT_OPEN_CAPTION, IDS_VCARD_TOO_LARGE, MessageIcon::Error};
    case VcardImportResult::NotVcard:
      return {IDS_READ_CAPTION, IDS_VCARD_NOT_VCARD, MessageIcon::Error};
    case VcardImportResult::MissingEnd:
      return {IDS_READ_CAPTION, IDS_VCARD_MISSING_END, MessageIcon::Error};
    case VcardImportResult::Malformed:
      return {IDS_READ_CAPTION, IDS_VCARD_MALFORMED, MessageIcon::Error};
    case VcardImportResult::TooManyCards:
      return {IDS_READ_CAPTION, IDS_VCARD_TOO_MANY_CARDS, MessageIcon::Error};
    case VcardImportResult::TooManyItems:
      return {IDS_READ_CAPTION, IDS_VCARD_TOO_MANY_ITEMS, MessageIcon::Error};
    case VcardImportResult::OutOfMemory:
      return {IDS_READ_CAPTION, IDS_VCARD_OUT_OF_MEMORY, MessageIcon::Error};
    case VcardImportResult::StoreFailed:
      return {IDS_REGISTER_CAPTION, IDS_VCARD_STORE_FAILED, MessageIcon::Error};
    case VcardImportResult::LimitReached:
      return {IDS_REGISTER_CAPTION, IDS_IMPORT_LIMIT, MessageIcon::Warning};
    case VcardImportResult::Finished:
      break;
  }
  return {IDS_IMPORT_DONE_CAPTION, IDS_VCARD_IMPORT_DONE, MessageIcon::None};
}

std::string VcardImportMessageText(const VcardImportSummary& summary, bool listCards) {
  const ImportResultMessage message = MessageOfVcardImport(summary);
  // "%1" is the line where the file went wrong, or the size limit; "%2" the limit on cards,
  // or on a card's items.
  std::string where = std::to_string(summary.errorLine);
  if (summary.result == VcardImportResult::TooLarge) where = std::to_string(kVcardMaxFileBytes >> 20);
  const std::size_t limit = summary.result == VcardImportResult::TooManyItems ? kVcardMaxCardItems : kVcardMaxCards;
  std::string text = FormatText(message.textId, {where, std::to_string(limit)});
  if (summary.result != VcardImportResult::Finished && summary.result != VcardImportResult::LimitReached)
    return text;
  text += "\r\n";
  AppendCount(text, IDS_VCARD_ADDED_LINE, summary.added);
  if (summary.overwritten > 0) AppendCount(text, IDS_VCARD_OVERWRITTEN_LINE, summary.overwritten);
  for (int note = 0; note < NoteCount; ++note) {
    const std::vector<VcardCardRef>& cards = summary.notes[note];
    if (cards.empty()) continue;
    AppendCount(text, kNoteLines[note], cards.size());
    if (!listCards) continue;
    for (const VcardCardRef& card : cards) {
      text += "\r\n" + FormatText(IDS_VCARD_CARD_LINE, {std::to_string(card.index), std::to_string(card.line),
                                                Cp932ToUtf8(card.name)});
    }
  }
  return text;
}

// The message of an import, of any source: caption, text, icon and counts.
#include "files/ImportSummary.h"

#include "files/VcardFile.h"
#include "files/VcardReader.h"
#include "platform/CodePage.h"
#include "strings/StringIds.h"

namespace {

// The summary line of each kind of vCard note, in the order of the notes.
constexpr std::array<int, NoteCount> kNoteLines = {
    IDS_VCARD_SKIPPED_LINE,    IDS_VCARD_NO_PHONE_LINE,        IDS_VCARD_FULL_LINE,
    IDS_VCARD_SHORTENED_LINE, IDS_VCARD_LOST_CHARACTERS_LINE, IDS_VCARD_EXTRA_PHONES_LINE};

// The messages of the results every source shares.
ImportMessage SharedMessage(ImportResult result) {
  switch (result) {
    case ImportResult::OpenFailed:
      return {IDS_IMPORT_OPEN_CAPTION, IDS_IMPORT_OPEN_FAILED, MessageIcon::Error};
    case ImportResult::ReadFailed:  // the framework's message for a file it could not read
      return {IDS_APP_TITLE, AFX_IDP_FILE_READ_ERROR, MessageIcon::Error};
    case ImportResult::LimitReached:
      return {IDS_REGISTER_CAPTION, IDS_IMPORT_LIMIT, MessageIcon::Warning};
    case ImportResult::StoreFailed:
      return {IDS_REGISTER_CAPTION, IDS_IMPORT_STORE_FAILED, MessageIcon::Error};
    default:
      return {IDS_IMPORT_DONE_CAPTION, IDS_IMPORT_DONE, MessageIcon::None};
  }
}

ImportMessage VcardMessage(ImportResult result) {
  switch (result) {
    case ImportResult::TooLarge:
      return {IDS_IMPORT_OPEN_CAPTION, IDS_VCARD_TOO_LARGE, MessageIcon::Error};
    case ImportResult::NotVcard:
      return {IDS_READ_CAPTION, IDS_VCARD_NOT_VCARD, MessageIcon::Error};
    case ImportResult::MissingEnd:
      return {IDS_READ_CAPTION, IDS_VCARD_MISSING_END, MessageIcon::Error};
    case ImportResult::Malformed:
      return {IDS_READ_CAPTION, IDS_VCARD_MALFORMED, MessageIcon::Error};
    case ImportResult::TooManyCards:
      return {IDS_READ_CAPTION, IDS_VCARD_TOO_MANY_CARDS, MessageIcon::Error};
    case ImportResult::TooManyItems:
      return {IDS_READ_CAPTION, IDS_VCARD_TOO_MANY_ITEMS, MessageIcon::Error};
    case ImportResult::OutOfMemory:
      return {IDS_READ_CAPTION, IDS_VCARD_OUT_OF_MEMORY, MessageIcon::Error};
    case ImportResult::StoreFailed:
      return {IDS_REGISTER_CAPTION, IDS_VCARD_STORE_FAILED, MessageIcon::Error};
    case ImportResult::Finished:
      return {IDS_IMPORT_DONE_CAPTION, IDS_VCARD_IMPORT_DONE, MessageIcon::None};
    default:
      return SharedMessage(result);
  }
}

// A paste that went as asked says nothing; one that left rows out says only that.
ImportMessage PasteMessage(ImportResult result) {
  switch (result) {
    case ImportResult::Refused:
      return {IDS_PASTE_REFUSED_CAPTION, IDS_PASTE_REFUSED, MessageIcon::Error};
    case ImportResult::StoreFailed:
      return {IDS_PASTE_LIMIT_CAPTION, IDS_PASTE_STORE_FAILED, MessageIcon::Error};
    case ImportResult::LimitReached:
      return {IDS_PASTE_LIMIT_CAPTION, IDS_PASTE_LIMIT, MessageIcon::Warning};
    default:
      return {IDS_PASTE_SKIPPED_CAPTION, 0, MessageIcon::None};
  }
}

void AppendCount(std::string& text, int lineId, std::size_t count) {
  text += "\r\n" + FormatText(lineId, {std::to_string(count)});
}

// After a vCard import: the count of each outcome, each followed by its cards on request.
void AppendCardCounts(std::string& text, const ImportSummary& summary, bool listCards) {
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
}

}  // namespace

bool ImportKeptRows(const ImportSummary& summary) {
  return summary.result == ImportResult::Finished || summary.result == ImportResult::LimitReached;
}

ImportMessage MessageOfImport(const ImportSummary& summary) {
  ImportMessage message = summary.source == ImportSource::Vcard   ? VcardMessage(summary.result)
                          : summary.source == ImportSource::Paste ? PasteMessage(summary.result)
                                                                  : SharedMessage(summary.result);
  // Rows left out are told, never passed over in silence.
  if (summary.refused > 0 && ImportKeptRows(summary)) message.icon = MessageIcon::Warning;
  return message;
}

std::string ImportMessageText(const ImportSummary& summary, bool listCards) {
  const ImportMessage message = MessageOfImport(summary);
  // "%1" is the line where the file went wrong, or the size limit; "%2" the limit on cards,
  // or on a card's items.
  std::string where = std::to_string(summary.errorLine);
  if (summary.result == ImportResult::TooLarge) where = std::to_string(kVcardMaxFileBytes >> 20);
  const std::size_t limit = summary.result == ImportResult::TooManyItems ? kVcardMaxCardItems : kVcardMaxCards;
  std::string text = message.textId != 0 ? FormatText(message.textId, {where, std::to_string(limit)}) : "";
  if (!ImportKeptRows(summary)) return text;
  if (summary.refused > 0) {
    if (!text.empty()) text += "\r\n\r\n";
    const int line = summary.source == ImportSource::Paste ? IDS_PASTE_ROWS_SKIPPED : IDS_IMPORT_ROWS_NOT_READ;
    text += FormatText(line, {std::to_string(summary.refused)});
  }
  if (summary.source == ImportSource::Vcard) AppendCardCounts(text, summary, listCards);
  return text;
}

// The card -> entry mapping of a vCard import.
#include "files/VcardEntry.h"

#include <algorithm>
#include <array>

#include "files/VcardCp932.h"
#include "files/VcardText.h"
#include "phonebook/EntryRules.h"
#include "phonebook/PhonebookEntry.h"
#include "platform/CodePage.h"

namespace {

constexpr int kNotPreferred = 101;  // after every PREF=1..100

// The most of a value that is looked at for an entry's text: many times what a name (16
// bytes), a reading (16) or a number (24) keeps, even with characters left out before
// them, while a value of megabytes costs no more than this to map.
constexpr std::size_t kMaxSourceBytes = 1024;

// The start of a value up to kMaxSourceBytes; a UTF-8 character is not cut in two.
std::string_view Capped(std::string_view utf8) {
  if (utf8.size() <= kMaxSourceBytes) return utf8;
  std::size_t cut = kMaxSourceBytes;
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
  return utf8.substr(0, cut);
}

// Lower ranks come first: vCard 4.0's PREF=1..100, then a "pref" TYPE as rank 1.
int PreferenceRank(const VcardProperty& tel) {
  if (const std::string_view pref = tel.Parameter("PREF"); !pref.empty()) {
    const int rank = DecimalValue(pref);
    if (rank >= 1 && rank <= 100) return rank;
  }
  return tel.HasType("PREF") ? 1 : kNotPreferred;
}

bool IsPhoneSeparator(char16_t c) {
  return c == u' ' || c == u'-' || c == u'(' || c == u')' || c == u'.' || c == u'/' ||
         c == u'\u3000' || (c >= u'\u2010' && c <= u'\u2015') || c == u'\u2212' || c == u'\u30FC';
}

// Text without control characters, which a line of a phonebook file cannot carry.
std::string WithoutControls(std::string text, bool& lossless) {
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  const auto end = std::remove_if(text.begin(), text.end(), control);
  if (end != text.end()) lossless = false;
  text.erase(end, text.end());
  return text;
}

// The name in code page 932, without the characters the code page lacks. A character that
// the code page writes in two ways takes the form of the bytes it was read from: the 3.0
// export's name bytes, or a value read as code page 932.
std::string NameOfCard(const Vcard& card, bool& lossless) {
  std::string name;
  std::string_view forms;
  if (const VcardProperty* n = card.Find("N")) {
    const std::vector<std::string> parts = SplitComponents(Capped(n->value));
    name = JoinNameParts(parts[0], parts.size() > 1 ? parts[1] : "", kNameSeparator);
    lossless = lossless && n->lossless;
    forms = n->cp932;
  }
  if (const VcardProperty* fn = card.Find("FN"); name.empty() && fn) {
    name = UnescapeText(Capped(fn->value));
    lossless = lossless && fn->lossless;
    forms = fn->cp932;
  }
  std::string bytes;
  if (const VcardProperty* written = card.Find(kNameBytesProperty)) forms = bytes = BytesOfHex(Capped(written->value));
  forms = forms.substr(0, kMaxSourceBytes);
  bool converted = true;
  name = Cp932LeavingOut(WithoutControls(std::move(name), lossless), converted);
  lossless = lossless && converted;
  return WithFormsOf(name, forms);
}

// The reading's family and given parts in UTF-8 from the first source the card has.
std::pair<std::string, std::string> ReadingPartsOfCard(const Vcard& card, bool& lossless) {
  const VcardProperty* last = card.Find("X-PHONETIC-LAST-NAME");
  const VcardProperty* first = card.Find("X-PHONETIC-FIRST-NAME");
  if (last || first) {
    lossless = lossless && (!last || last->lossless) && (!first || first->lossless);
    return {last ? UnescapeText(Capped(last->value)) : "", first ? UnescapeText(Capped(first->value)) : ""};
  }
  for (const VcardProperty& sound : card.properties) {
    if (sound.name != "SOUND" || !sound.HasType("X-IRMC-N")) continue;
    const std::vector<std::string> parts = SplitComponents(Capped(sound.value));
    lossless = lossless && sound.lossless;
    return {parts[0], parts.size() > 1 ? parts[1] : ""};
  }
  if (const VcardProperty* n = card.Find("N")) {
    std::vector<std::string> sortAs;
    for (const VcardParameter& parameter : n->parameters)
      if (parameter.name == "SORT-AS") sortAs.emplace_back(Capped(parameter.value));
    if (!sortAs.empty()) return {sortAs[0], sortAs.size() > 1 ? sortAs[1] : ""};
  }
  if (const VcardProperty* sortString = card.Find("SORT-STRING")) {
    lossless = lossless && sortString->lossless;
    return {UnescapeText(Capped(sortString->value)), ""};
  }
  return {};
}

std::string ReadingOfCard(const Vcard& card, bool& lossless) {
  const auto [family, given] = ReadingPartsOfCard(card, lossless);
  bool converted = true;
  std::string reading = ReadingFromKana(JoinNameParts(family, given, kReadingSeparator), converted);
  lossless = lossless && converted;
  return reading;
}

// The slot 1..3 a TEL names; 0 when it names none.
int SlotOf(const VcardProperty& tel) {
  const std::string_view slot = tel.Parameter(kPhoneSlotParameter);
  return slot.size() == 1 && slot[0] >= '1' && slot[0] <= '3' ? slot[0] - '0' : 0;
}

struct CardPhones {
  std::array<std::string, 3> slots;  // phones 1..3
  bool extra = false;                // a number found no free slot
};

// The card's phone numbers that are not empty, in their slots (EntryTextsOfCard).
CardPhones PhonesOfCard(const Vcard& card, bool& lossless) {
  std::vector<const VcardProperty*> tels;
  for (const VcardProperty& property : card.properties)
    if (property.name == "TEL") tels.push_back(&property);
  std::stable_sort(tels.begin(), tels.end(), [](const VcardProperty* a, const VcardProperty* b) {
    return PreferenceRank(*a) < PreferenceRank(*b);
  });
  CardPhones phones;
  std::vector<std::string> unplaced;
  for (const VcardProperty* tel : tels) {
    std::string phone = PhoneOfValue(*tel, lossless);
    if (phone.empty()) continue;
    std::string* slot = SlotOf(*tel) ? &phones.slots[SlotOf(*tel) - 1] : nullptr;
    if (slot && slot->empty()) *slot = std::move(phone);
    else unplaced.push_back(std::move(phone));
  }
  auto next = unplaced.begin();
  for (std::string& slot : phones.slots)
    if (slot.empty() && next != unplaced.end()) slot = std::move(*next++);
  phones.extra = next != unplaced.end();
  return phones;
}

}  // namespace

std::string JoinNameParts(std::string_view family, std::string_view given, std::string_view separator) {
  std::string joined(family);
  if (!family.empty() && !given.empty()) joined += separator;
  joined += given;
  return joined;
}

std::pair<std::string, std::string> SplitNameParts(std::string_view text, std::string_view separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos || at == 0 || at + separator.size() == text.size())
    return {std::string(text), ""};
  return {std::string(text.substr(0, at)), std::string(text.substr(at + separator.size()))};
}

std::string PhoneOfValue(const VcardProperty& tel, bool& lossless) {
  std::string_view value = Capped(tel.value);
  std::string text;
  if (EqualsIgnoringCase(value.substr(0, 4), "tel:")) {
    value.remove_prefix(4);
    text = value.substr(0, value.find(';'));  // ";ext=..." and other URI parameters
  } else {
    text = UnescapeText(value);
  }
  lossless = lossless && tel.lossless;
  std::string dialled;
  for (char16_t c : Utf8ToUtf16(text)) {
    if (c >= u'\uFF01' && c <= u'\uFF5E') c = static_cast<char16_t>(c - 0xFEE0);  // full-width ASCII
    if (IsPhoneSeparator(c)) continue;
    if (c >= 0x80) lossless = false;
    else dialled += static_cast<char>(c);
  }
  if (dialled.starts_with("+81")) {
    dialled.erase(0, dialled.compare(3, 1, "0") == 0 ? 4 : 3);  // "+81 (0)3 ..." -> "03..."
    dialled.insert(0, "0");
  }
  std::string phone = FilterChars(dialled, CharSet::Phone);
  if (phone.size() != dialled.size()) lossless = false;
  return phone;
}

VcardEntryTexts EntryTextsOfCard(const Vcard& card) {
  VcardEntryTexts texts;
  bool lossless = true;
  texts.fields.resize(FieldCount);
  texts.fields[FieldName] = NameOfCard(card, lossless);
  texts.fields[FieldReading] = ReadingOfCard(card, lossless);
  CardPhones phones = PhonesOfCard(card, lossless);
  for (std::size_t i = 0; i < phones.slots.size(); ++i) texts.fields[FieldPhone1 + i] = std::move(phones.slots[i]);
  texts.extraPhones = phones.extra;
  if (const VcardProperty* group = card.Find("X-GNO")) texts.fields[FieldGroup] = UnescapeText(Capped(group->value));
  texts.lostCharacters = !lossless;
  return texts;
}

// Matching entries against the search field's text.
#include "view/EntryFilter.h"

#include <algorithm>
#include <cctype>

#include "ui/QtText.h"
#include "view/KanaReading.h"

namespace {

// Width and case do not matter: full-width letters and digits, half-width katakana and
// upper case all compare as their plain forms.
QString FoldForSearch(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
}

// A reading holds single bytes only: ASCII and half-width katakana.
bool IsReadingText(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF));
  });
}

// The separators people write in phone numbers, which the stored numbers never hold.
bool IsPhoneSeparator(QChar c) {
  // Hyphens and dashes of every width, the minus sign, the prolonged-sound mark an input
  // method may type for "-".
  static const QString separators =
      QStringLiteral("-()./\u2010\u2011\u2012\u2013\u2014\u2015\u2212\u30FC");
  return c.isSpace() || separators.contains(c);
}

bool IsPhoneChar(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('#') ||
         c == QLatin1Char('*') || c == QLatin1Char('P') || c == QLatin1Char('p');
}

// The phone characters of `text` (upper case) when it has nothing else but separators and
// at least one digit; empty otherwise.
std::string PhoneDigitsOf(const QString& text) {
  std::string digits;
  bool anyDigit = false;
  for (QChar c : text.normalized(QString::NormalizationForm_KC)) {
    if (IsPhoneSeparator(c)) continue;
    if (!IsPhoneChar(c)) return {};
    anyDigit = anyDigit || c.isDigit();
    digits += static_cast<char>(c == QLatin1Char('p') ? 'P' : c.toLatin1());
  }
  return anyDigit ? digits : std::string();
}

bool ContainsFolded(const std::string& haystack, const std::string& loweredNeedle) {
  return std::search(haystack.begin(), haystack.end(), loweredNeedle.begin(), loweredNeedle.end(),
                     [](char a, char b) { return LowerAscii(a) == b; }) != haystack.end();
}

}  // namespace

CEntryFilter::CEntryFilter(const QString& text) : m_strText(text.trimmed()) {
  if (m_strText.isEmpty()) return;
  m_strNameKey = FoldForSearch(m_strText);
  bool lossless = true;
  const std::string reading = ToCp932(ToHalfWidthKatakana(m_strText), &lossless);
  if (lossless && IsReadingText(reading)) m_strReading = LowerAscii(reading);
  m_strDigits = PhoneDigitsOf(m_strText);
}

bool CEntryFilter::Matches(const PhonebookEntry& entry) const {
  if (!IsActive()) return true;
  if (!m_strReading.empty() && ContainsFolded(entry.reading, m_strReading)) return true;
  if (!m_strDigits.empty()) {
    for (const std::string* phone : {&entry.phone1, &entry.phone2, &entry.phone3})
      if (phone->find(m_strDigits) != std::string::npos) return true;
  }
  return FoldForSearch(FromCp932(entry.name)).contains(m_strNameKey);
}

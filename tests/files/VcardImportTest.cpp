// The vCard import over golden files (2.1 from a feature phone, 3.0 from a smartphone,
// 4.0 from an address book) with their expected phonebooks; bad files that change
// nothing; the reader's variants; duplicates, the limit; and the round trip through both
// export versions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ExchangeTestSupport.h"
#include "files/DocumentFile.h"
#include "files/VcardEntry.h"
#include "files/VcardFile.h"
#include "files/VcardImport.h"
#include "platform/CodePage.h"

namespace {

const std::string kData = std::string(QVBOOK_TEST_DATA) + "/vcard-";

class VcardImportTest : public ExchangeTest {
 protected:
  ImportSummary Import(const std::string& path) {
    CFixedDuplicateResolver skip(DuplicateMethod::Skip);
    return ImportVcardFile(store, path, skip);
  }
  // The phonebook as the editor saves it, comma separated.
  std::string Document() {
    const std::string path = m_folder.File("saved.csv");
    EXPECT_EQ(SaveDocument(store, path).status, DocumentSaveResult::Ok);
    return ReadBytes(path);
  }
  static std::vector<int> NoteCounts(const ImportSummary& summary) {
    std::vector<int> counts;
    for (const auto& cards : summary.notes) counts.push_back(static_cast<int>(cards.size()));
    return counts;
  }
};

TEST_F(VcardImportTest, GoldenFilesGiveTheirPhonebooks) {
  struct Case {
    const char* name;
    int added;
    std::vector<int> notes;  // skipped, no phone, no number, shortened, lost, extra phones
  };
  for (const Case& c : {Case{"feature-phone-21", 3, {0, 0, 0, 0, 0, 1}},
                        Case{"smartphone-30", 4, {0, 1, 0, 2, 2, 0}},
                        Case{"address-book-40", 2, {0, 0, 0, 0, 0, 0}}}) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(store.DeleteAll(), StoreResult::Ok);
    const ImportSummary summary = Import(kData + c.name + ".vcf");
    EXPECT_EQ(summary.result, ImportResult::Finished);
    EXPECT_EQ(summary.added, c.added);
    EXPECT_EQ(NoteCounts(summary), c.notes);
    EXPECT_EQ(Document(), ReadBytes(kData + c.name + ".expected.csv"));
  }
}

TEST_F(VcardImportTest, BadFilesChangeNothing) {
  Fill(1, 3);
  const std::string before = Document();
  const std::string huge = m_folder.File("huge.vcf");
  WriteBytes(huge, "");
  std::filesystem::resize_file(huge, kVcardMaxFileBytes + 1);  // sparse: nothing is written
  const std::string card = "BEGIN:VCARD\r\nN:A\r\nTEL:1\r\nEND:VCARD\r\n";
  std::string tooMany;
  for (std::size_t n = 0; n <= kVcardMaxCards; ++n) tooMany += card;
  // One card with an item too many: as properties, or as one property's parameters.
  std::string properties = card + "BEGIN:VCARD\r\n";
  for (std::size_t n = 0; n <= kVcardMaxCardItems; ++n) properties += "X:1\r\n";
  const std::string parameters = card + "BEGIN:VCARD\r\nTEL;TYPE=A" + std::string(kVcardMaxCardItems, ',') + ":1\r\n";
  struct Case {
    std::string path;
    ImportResult result;
    int line;
  };
  for (const Case& c : {Case{kData + "no-end.vcf", ImportResult::MissingEnd, 6},
                        Case{kData + "truncated.vcf", ImportResult::MissingEnd, 1},
                        Case{kData + "binary.vcf", ImportResult::NotVcard, 1},
                        Case{huge, ImportResult::TooLarge, 0},
                        Case{WriteFile("many.vcf", tooMany), ImportResult::TooManyCards, 40001},
                        Case{WriteFile("properties.vcf", properties), ImportResult::TooManyItems, 5},
                        Case{WriteFile("parameters.vcf", parameters), ImportResult::TooManyItems, 5},
                        Case{WriteFile("rows.vcf", "0001,a,,1\r\n"), ImportResult::NotVcard, 1},
                        Case{WriteFile("bare.vcf", card + "BEGIN:VCARD\r\nTEL 1\r\n"), ImportResult::Malformed, 6},
                        Case{WriteFile("after.vcf", card + "trailing words\r\n"), ImportResult::Malformed, 5},
                        Case{WriteFile("empty.vcf", ""), ImportResult::NotVcard, 1},
                        Case{m_folder.File("absent.vcf"), ImportResult::OpenFailed, 0}}) {
    SCOPED_TRACE(c.path);
    const ImportSummary summary = Import(c.path);
    EXPECT_EQ(summary.result, c.result);
    EXPECT_EQ(summary.errorLine, c.line);
    EXPECT_EQ(Document(), before);
  }
}

// How a card's texts come out of each way of writing it: the name's bytes (a character of
// two forms keeps the form it was written in, else takes the usual one), the reading, and
// the phones in their slots.
TEST_F(VcardImportTest, ReaderVariantsGiveTheEntryTexts) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string name932, readingUtf8, phones;
  };
  std::string utf16 = "\xFF\xFE";  // little endian, as Windows writes it
  for (char16_t c : std::u16string(u"BEGIN:VCARD\nN:山\nTEL:5\nEND:VCARD\n")) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  for (const Case& c : {
           Case{"CrOnlyLowerCase", "begin:vcard\rfn:A\rtel:1\rend:vcard\r", "A", "", "1,,"},
           Case{"Utf16WithByteOrderMark", utf16, "\x8E\x52", "", "5,,"},
           Case{"SoftBreakInsideACharacter", "BEGIN:VCARD\nN;QUOTED-PRINTABLE;CHARSET=SJIS:=8E=\n=52;\n"
                                             "TEL:2\nEND:VCARD\n", "\x8E\x52", "", "2,,"},
           Case{"QuotedParameterWithColon", "BEGIN:VCARD\nTEL;X-LABEL=\"a:b\";TYPE=CELL:0-1\nN:B\nEND:VCARD\n",
                "B", "", "01,,"},
           Case{"EmbeddedAgentCard", "BEGIN:VCARD\nN:C\nAGENT:\nBEGIN:VCARD\nN:X\nEND:VCARD\nTEL:3\nEND:VCARD\n",
                "C", "", "3,,"},
           Case{"RawShiftJisWithoutCharset", "BEGIN:VCARD\nVERSION:2.1\nN:\x83\x65\x83\x58\x83\x67\n"
                                             "SOUND;X-IRMC-N:\xC3\xBD\nTEL:6\nEND:VCARD\n",
                "\x83\x65\x83\x58\x83\x67", "\xEF\xBE\x83\xEF\xBD\xBD", "6,,"},
           Case{"FullWidthKatakanaReading", "BEGIN:VCARD\nN:D\nX-PHONETIC-FIRST-NAME:\xE3\x83\x9E\xE3\x83\xAA\n"
                                            "TEL:4\nEND:VCARD\n", "D", "\xEF\xBE\x8F\xEF\xBE\x98", "4,,"},
           Case{"SlotsNamedAndFree", "BEGIN:VCARD\nN:E\nTEL;X-QVBOOK-SLOT=3:3\nTEL;X-QVBOOK-SLOT=3:4\nTEL:\n"
                                     "TEL;PREF:1\nTEL;X-QVBOOK-SLOT=9:5\nEND:VCARD\n", "E", "", "1,4,3"},
           Case{"OnlyANamedSlot", "BEGIN:VCARD\nN:F\nTEL;X-QVBOOK-SLOT=2:2\nEND:VCARD\n", "F", "", ",2,"},
           Case{"Utf8TakesTheUsualForm", "BEGIN:VCARD\nN:纊≒\nTEL:1\nEND:VCARD\n", "\xFA\x5C\x81\xE0", "", "1,,"},
           Case{"Cp932KeepsItsForms", "BEGIN:VCARD\nN;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=ED=40=FA=5C=87=90\n"
                                      "TEL:1\nEND:VCARD\n", "\xED\x40\xFA\x5C\x87\x90", "", "1,,"},
           Case{"NameBytesGiveForms", "BEGIN:VCARD\nN:纊纊≒\nX-QVBOOK-NAME-CP932:ed408790\nTEL:1\nEND:VCARD\n",
                "\xED\x40\xED\x40\x87\x90", "", "1,,"},
           Case{"NameBytesOfOtherTextChangeNothing", "BEGIN:VCARD\nN:≒😀a\nX-QVBOOK-NAME-CP932:ED40\nTEL:1\nEND:VCARD\n",
                "\x81\xE0" "a", "", "1,,"}}) {
    SCOPED_TRACE(c.name);
    const VcardParseResult parsed = ParseVcards(c.bytes);
    ASSERT_EQ(parsed.status, VcardParseResult::Ok);
    ASSERT_EQ(parsed.cards.size(), 1u);
    const VcardEntryTexts texts = EntryTextsOfCard(parsed.cards[0]);
    EXPECT_EQ(texts.fields[FieldName], c.name932);
    EXPECT_EQ(Cp932ToUtf8(texts.fields[FieldReading]), c.readingUtf8);
    EXPECT_EQ(texts.fields[FieldPhone1] + ',' + texts.fields[FieldPhone2] + ',' + texts.fields[FieldPhone3], c.phones);
  }
}

// The card 山田　太郎 / 09011112222 is stored under 5: each answer gives its phonebook,
// and the question is asked again for the repeated card until it carries the flag.
TEST_F(VcardImportTest, DuplicatesGoThroughTheResolver) {
  const std::string yamada = "\x8e\x52\x93\x63\x81\x40\x91\xbe\x98\x59";
  const std::string file = m_folder.File("twice.vcf");
  const std::string cards = ReadBytes(kData + "feature-phone-21.vcf");
  const std::string card = cards.substr(0, cards.find("END:VCARD\r\n") + 11);
  WriteBytes(file, card + card);
  struct Case {
    DuplicateChoice answer;
    int questions, added;
    std::vector<int> numbers;
    std::string readingOf5;
  };
  for (const Case& c : {Case{{DuplicateMethod::Skip, false}, 2, 0, {5}, "\xD4\xCF"},
                        Case{{DuplicateMethod::Overwrite, true}, 1, 2, {5}, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"},
                        Case{{DuplicateMethod::AddOther, false}, 2, 2, {1, 2, 5}, "\xD4\xCF"}}) {
    ASSERT_EQ(store.DeleteAll(), StoreResult::Ok);
    ASSERT_EQ(store.AddEntry(Entry(5, yamada, "\xD4\xCF", "09011112222")), StoreResult::Ok);
    ScriptedResolver resolver({c.answer});
    const ImportSummary summary = ImportVcardFile(store, file, resolver);
    ASSERT_EQ(resolver.questions.size(), static_cast<std::size_t>(c.questions)) << static_cast<int>(c.answer.method);
    EXPECT_EQ(resolver.questions[0].number, 5);
    EXPECT_EQ(resolver.questions[0].stored.reading, "\xD4\xCF");
    EXPECT_EQ(resolver.questions[0].fields[FieldPhone2], "0312345678");
    EXPECT_EQ(summary.added, c.added);
    std::vector<int> numbers;
    for (const PhonebookEntry& e : Entries()) numbers.push_back(e.memoryNumber);
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_EQ(Stored(5).reading, c.readingOf5);
    ExpectEntriesKeepTheRules();
  }
}

TEST_F(VcardImportTest, FullPhonebookTakesWhatFitsAndNamesTheRest) {
  Fill(1, 999);
  const ImportSummary summary = Import(kData + "address-book-40.vcf");
  EXPECT_EQ(summary.result, ImportResult::LimitReached);
  EXPECT_EQ(summary.added, 1);
  ASSERT_EQ(summary.notes[NoteNoFreeNumber].size(), 1u);
  EXPECT_EQ(summary.notes[NoteNoFreeNumber][0].line, 10);
  EXPECT_EQ(Stored(1000).phone1, "08033334444");
  const std::string text = ImportMessageText(summary, true);
  EXPECT_NE(text.find("登録件数が1000件のため登録しなかった件数 ：1件\r\n    2件目（10行目） 高橋　美咲"),
            std::string::npos)
      << text;
}

TEST_F(VcardImportTest, StoreThatCannotBeReadIsReportedAndNothingAdded) {
  Fill(1, 1);
  ASSERT_TRUE(platform::RemoveFile(store.DatabasePath()));
  EXPECT_EQ(Import(kData + "address-book-40.vcf").result, ImportResult::StoreFailed);
}

// Export then import gives back the same entries (numbers aside), in both versions,
// within the line lengths vCard allows; 2.1 holds nothing but ASCII.
TEST_F(VcardImportTest, ExportedFilesImportAsTheSameEntries) {
  for (VcardVersion version : {VcardVersion::V30, VcardVersion::V21}) {
    ASSERT_EQ(store.DeleteAll(), StoreResult::Ok);
    ASSERT_EQ(LoadDocument(store, kData + "roundtrip.csv").status, DocumentLoadResult::Ok);
    const std::vector<PhonebookEntry> original = Entries();
    const std::string path = m_folder.File("export.vcf");
    ASSERT_EQ(ExportVcardFile(store, path, version).status, VcardExportResult::Ok);
    const std::string bytes = ReadBytes(path);
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
      EXPECT_LE(end - start, version == VcardVersion::V30 ? 75u : 76u) << bytes.substr(start, end - start);
    }
    if (version == VcardVersion::V21) {
      EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; }));
    }

    ASSERT_EQ(store.DeleteAll(), StoreResult::Ok);
    ASSERT_EQ(Import(path).added, static_cast<int>(original.size()));
    std::vector<PhonebookEntry> back = Entries();
    ASSERT_EQ(back.size(), original.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
      back[i].memoryNumber = original[i].memoryNumber;
      EXPECT_EQ(back[i], original[i]) << i;
    }
  }
}

}  // namespace

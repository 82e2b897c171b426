// qvbook-cli with vCard files: import by the ".vcf" ending with the summary and the cards
// it names, a bad file that writes nothing, and convert into both vCard versions against
// their golden files.
#include <string>
#include <vector>

#include "CliRunner.h"

namespace {

const std::string kData = std::string(QVBOOK_FILES_TEST_DATA) + "/vcard-";

using CliVcardTest = CliTest;

TEST_F(CliVcardTest, ImportPrintsTheSummaryAndWritesThePhonebook) {
  WriteBytes(m_folder / "empty.csv", "");
  // Phones write ".VCF": the ending is taken in any case.
  WriteBytes(m_folder / "CONTACTS.VCF", ReadBytes(kData + "smartphone-30.vcf"));
  CliRun run = Cli({"import", m_folder / "empty.csv", m_folder / "CONTACTS.VCF", m_folder / "out.csv"});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, ReadBytes(kData + "smartphone-30.summary.txt"));
  EXPECT_EQ(ReadBytes(m_folder / "out.csv"), ReadBytes(kData + "smartphone-30.expected.csv"));
}

TEST_F(CliVcardTest, CutFileIs65AndWritesNothing) {
  WriteBytes(m_folder / "empty.csv", "");
  CliRun run = Cli({"import", m_folder / "empty.csv", kData + "truncated.vcf", m_folder / "out.csv"});
  EXPECT_EQ(run.exit, 65);
  EXPECT_EQ(run.err.rfind("ファイルからデータの読出し\n1 行目から始まるデータが END:VCARD で終わっていません。\n", 0), 0u)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(m_folder / "out.csv"));
}

TEST_F(CliVcardTest, ConvertWritesEachVersion) {
  for (const auto& [option, golden] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "roundtrip.30.vcf"},
           {{"--vcard-version", "3.0"}, "roundtrip.30.vcf"},
           {{"--vcard-version=2.1"}, "roundtrip.21.vcf"}}) {
    std::vector<std::string> args{"convert", kData + "roundtrip.csv", m_folder / "out.vcf"};
    args.insert(args.end(), option.begin(), option.end());
    CliRun run = Cli(args);
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(ReadBytes(m_folder / "out.vcf"), ReadBytes(kData + golden)) << golden;
  }
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"convert", kData + "roundtrip.csv", m_folder / "out.vcf", "--vcard-version", "4.0"},
           {"convert", kData + "roundtrip.csv", m_folder / "out.vcf", "--vcard-version"},
           {"convert", kData + "roundtrip.csv", m_folder / "out.csv", "--vcard-version", "2.1"}}) {
    EXPECT_EQ(Cli(args).exit, 64) << ::testing::PrintToString(args);
  }
}

}  // namespace

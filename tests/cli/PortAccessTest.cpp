// The advice qvbook-cli gives when the handset's port is refused for lack of permission.
#include "cli/PortAccess.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct AdviceCase {
  const char* label;
  PortAccessFacts facts;
  std::vector<std::string> mentions;
  std::vector<std::string> omits;
};

class PortAccessAdvice : public testing::TestWithParam<AdviceCase> {};

TEST_P(PortAccessAdvice, NamesWhatIsMissingAndTheRemedy) {
  const std::string text = DescribeMissingAccess(GetParam().facts);
  for (const std::string& part : GetParam().mentions) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  for (const std::string& part : GetParam().omits) EXPECT_EQ(text.find(part), std::string::npos) << part << "\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Facts, PortAccessAdvice,
    testing::Values(
        AdviceCase{"NoRuleNotInGroup", {"dialout", false, false},
                   {"70-qvbook-handset.rules is not installed", "not in the port's group 'dialout'",
                    "/etc/udev/rules.d", "sudo usermod -aG dialout $USER"},
                   {}},
        AdviceCase{"RuleButNotAtSeat", {"dialout", false, true},
                   {"user at the seat", "Plug the handset in again", "sudo usermod -aG dialout $USER"},
                   {"not installed", "/etc/udev/rules.d"}},
        AdviceCase{"InGroupButModeKeepsItOut", {"dialout", true, true},
                   {"is in the port's group 'dialout'", "mode"},
                   {"usermod", "not installed"}},
        // Joining root's group is no advice to give.
        AdviceCase{"RootOwnedDevice", {"root", false, false},
                   {"not installed", "group 'root'"},
                   {"usermod"}},
        // The device could not be looked at: only the rule can be spoken of.
        AdviceCase{"UnknownGroup", {"", false, false},
                   {"not installed"},
                   {"group", "usermod"}}),
    [](const testing::TestParamInfo<AdviceCase>& info) { return std::string(info.param.label); });

class PortAccessFactsTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qvbook-access-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    fs::create_directories(m_dir / "etc");
    fs::create_directories(m_dir / "lib");
    std::ofstream(m_dir / "ttyQV0") << "";
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::vector<std::string> Folders() const { return {(m_dir / "etc").string(), (m_dir / "lib").string()}; }

  fs::path m_dir;
};

TEST_F(PortAccessFactsTest, ReadsTheDevicesGroupAndMembership) {
  PortAccessFacts facts = GatherPortAccessFacts((m_dir / "ttyQV0").string(), Folders());
  const group* own = getgrgid(getegid());
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(facts.group, own->gr_name);
  EXPECT_TRUE(facts.inGroup);  // a file we made carries our own group
  EXPECT_FALSE(facts.ruleInstalled);
}

TEST_F(PortAccessFactsTest, FindsTheRuleInAnyFolder) {
  std::ofstream(m_dir / "lib" / kHandsetRuleName) << "# rule\n";
  EXPECT_TRUE(GatherPortAccessFacts((m_dir / "ttyQV0").string(), Folders()).ruleInstalled);
  std::ofstream(m_dir / "lib" / "70-other.rules") << "";
  fs::remove(m_dir / "lib" / kHandsetRuleName);
  EXPECT_FALSE(GatherPortAccessFacts((m_dir / "ttyQV0").string(), Folders()).ruleInstalled);
}

TEST_F(PortAccessFactsTest, MissingDeviceLeavesTheGroupUnknown) {
  PortAccessFacts facts = GatherPortAccessFacts((m_dir / "absent").string(), Folders());
  EXPECT_TRUE(facts.group.empty());
  EXPECT_FALSE(facts.inGroup);
}

}  // namespace

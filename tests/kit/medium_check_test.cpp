// setupsim --check on broken copies of a small medium, one fault each.
#include "tools/setupsim/medium_check.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Medium(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path() / "media" / name).string();
}

TEST(MediumCheckTest, CleanMediumHasNoFinding) {
  EXPECT_TRUE(setupsim::CheckMedium(Medium("good")).empty());
}

TEST(MediumCheckTest, EachFaultIsFoundWhereItIs) {
  struct Case {
    const char* medium;
    const char* file;
    const char* section;
    const char* key;
  } cases[] = {
      {"missing_package", "setup.inf", "Setup", "MSIPKG"},
      {"no_transform", "1031\\", "", ""},
      {"package_transform", "setup.inf", "Setup", "MSIPKG"},
      {"message_missing", "setupres.ini", "1033", "9011"},
      {"key_only_in_other_language", "setupres.ini", "1033", "EXTRA"},
      {"product_name_null", "setup.inf", "Setup", "ProductName"},
      {"block_never", "setup.inf", "Upgrade", "BlockSubtype0"},
      {"kdb_refused", "setup.inf", "PreInstallSCC", "Command_KDB"},
      {"command_gap", "setup.inf", "PreInstall", "Command2"},
  };
  for (const Case& c : cases) {
    std::vector<setupsim::Finding> found = setupsim::CheckMedium(Medium(c.medium));
    ASSERT_EQ(found.size(), 1u) << c.medium;
    EXPECT_EQ(found[0].file, c.file) << c.medium;
    EXPECT_EQ(found[0].section, c.section) << c.medium;
    EXPECT_EQ(found[0].key, c.key) << c.medium;
  }
}

TEST(MediumCheckTest, FolderWithoutSetupInfIsOneFinding) {
  std::vector<setupsim::Finding> found = setupsim::CheckMedium(Medium("no_such_medium"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].file, "setup.inf");
}

}  // namespace

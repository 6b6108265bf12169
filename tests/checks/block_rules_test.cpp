#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/setup_app.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kCatalogue =
    "[1033]\n"
    "BLOCKED=Version %s of %s is installed (%s).\n"
    "OTHER=Rule two: %s\n"
    "ODD=%n%d at %s for %s, %s%s!\n";
constexpr const char* kProduct = "Backup Agent";
constexpr const char* kKeyA = "SOFTWARE\\Quorvane\\Versions";
constexpr const char* kKeyB = "SOFTWARE\\Quorvane\\Older";

// The data of a registry value that carries a version record.
std::string Record(int major, int minor, int build, int subtype) {
  std::string data(8, '\x5A');
  data += static_cast<char>(minor);
  data += static_cast<char>(major);
  data += static_cast<char>(build & 0xFF);
  data += static_cast<char>((build >> 8) & 0xFF);
  data += static_cast<char>(subtype & 0xFF);
  return data;
}

// Rule `i` with key A, the subtype, the pattern and the message key.
std::string Rule(int i, const char* subtype, const char* version, const char* message,
                 const char* key = kKeyA) {
  std::string n = std::to_string(i);
  std::string rule = "BlockReg" + n + "=" + key + "\n";
  if (subtype) rule += "BlockSubtype" + n + "=" + subtype + "\n";
  if (version) rule += "BlockVer" + n + "=" + version + "\n";
  if (message) rule += "BlockMsgID" + n + "=" + message + "\n";
  return rule;
}

struct Value {
  const char* key;
  std::string name;
  std::string data;
};

class BlockRulesTest : public LauncherTest {
 protected:
  BlockRulesTest() { SetupRes(kCatalogue); }

  int Check(const std::string& rules, const std::vector<Value>& values) {
    SetupInf("[Upgrade]\n" + rules);
    for (const Value& v : values) sim->SetRegValue(v.key, v.name, os::kRegBinary, v.data);
    UseMediumPaths();
    app::Ctx().language = "1033";
    app::CSetupApp theApp;
    theApp.m_strProductName = kProduct;
    theApp.m_pszAppName = "Install Backup Agent";
    return theApp.CheckBlockRules();
  }
};

TEST_F(BlockRulesTest, RulesAgainstTheRegistry) {
  const std::string r115 = Record(11, 0, 300, 5);
  struct Case {
    const char* what;
    std::string rules;
    std::vector<Value> values;
    const char* message;  // null: not blocked; "": blocked without a message
  } cases[] = {
      {"no rules", "", {{kKeyA, "1", r115}}, nullptr},
      {"rule 3 alone is still read",
       Rule(3, "5", "11.0", "BLOCKED"),
       {{kKeyA, "1", r115}},
       "Version 11.0 of Backup Agent is installed (11.0)."},
      {"no subtype: no rule", Rule(0, nullptr, "", "BLOCKED"), {{kKeyA, "1", r115}}, nullptr},
      {"subtype -1: no rule",
       Rule(0, "-1", "", "BLOCKED"),
       {{kKeyA, "1", Record(1, 1, 1, -1)}},
       nullptr},
      {"empty pattern: any version of the subtype",
       Rule(0, "5", "", "OTHER"),
       {{kKeyA, "1", Record(7, 3, 12, 5)}},
       "Rule two: 7.3"},
      {"other subtype passes",
       Rule(0, "5", "", "OTHER"),
       {{kKeyA, "1", Record(11, 0, 0, 4)}},
       nullptr},
      {"11.0: other minor or major passes",
       Rule(0, "5", "11.0", "OTHER"),
       {{kKeyA, "1", Record(11, 1, 300, 5)}, {kKeyA, "2", Record(12, 0, 300, 5)}},
       nullptr},
      {"11.0: any build",
       Rule(0, "5", "11.0", "OTHER"),
       {{kKeyA, "1", Record(11, 0, 999, 5)}},
       "Rule two: 11.0"},
      {"0.5: any major, minor 5",
       Rule(0, "5", "0.5", "OTHER"),
       {{kKeyA, "1", Record(3, 4, 0, 5)}, {kKeyA, "2", Record(3, 5, 0, 5)}},
       "Rule two: 3.5"},
      {"11.: any minor",
       Rule(0, "5", "11.", "OTHER"),
       {{kKeyA, "1", Record(11, 7, 0, 5)}},
       "Rule two: 11.7"},
      {"build compared in full",
       Rule(0, "5", "11.0.300", "OTHER"),
       {{kKeyA, "1", Record(11, 0, 301, 5)}, {kKeyA, "2", Record(11, 0, 300, 5)}},
       "Rule two: 11.0"},
      {"subtype byte 200 is -56, never 200",
       Rule(0, "200", "", "OTHER"),
       {{kKeyA, "1", Record(9, 0, 0, 200)}},
       nullptr},
      {"subtype -56 matches byte 200",
       Rule(0, "-56", "", "OTHER"),
       {{kKeyA, "1", Record(9, 0, 0, 200)}},
       "Rule two: 9.0"},
      {"lower rule wins",
       Rule(1, "5", "", "BLOCKED") + Rule(2, "5", "", "OTHER", kKeyB),
       {{kKeyA, "1", r115}, {kKeyB, "1", r115}},
       "Version 11.0 of Backup Agent is installed (11.0)."},
      {"no message key: blocked silently", Rule(0, "5", "", nullptr), {{kKeyA, "1", r115}}, ""},
      {"missing key passes, next rule read",
       Rule(0, "5", "", "BLOCKED", "SOFTWARE\\Missing") + Rule(1, "5", "", "OTHER"),
       {{kKeyA, "1", r115}},
       "Rule two: 11.0"},
      {"message missing from the catalogue",
       Rule(0, "5", "", "NOSUCH"),
       {{kKeyA, "1", r115}},
       "NULL"},
      {"catalogue text is no printf format",
       Rule(0, "5", "", "ODD"),
       {{kKeyA, "1", r115}},
       "%n%d at 11.0 for Backup Agent, 11.0!"},
      {"49 bytes of data fit",
       Rule(0, "5", "", "OTHER"),
       {{kKeyA, "1", r115 + std::string(36, '\0')}},
       "Rule two: 11.0"},
      {"50 bytes end the key's scan",
       Rule(0, "5", "", "OTHER"),
       {{kKeyA, "1", r115 + std::string(37, '\0')}, {kKeyA, "2", r115}},
       nullptr},
      {"a 260-character name ends the key's scan",
       Rule(0, "5", "", "OTHER"),
       {{kKeyA, "1" + std::string(259, 'n'), Record(1, 0, 0, 4)}, {kKeyA, "2", r115}},
       nullptr},
      {"short data in a fresh key reads zeros",
       Rule(0, "0", "", "OTHER"),
       {{kKeyA, "1", ""}},
       "Rule two: 0.0"},
      // The data buffer is cleared once per key: a 12-byte value takes the subtype byte of
      // the value before it.
      {"short data keeps earlier bytes",
       Rule(0, "5", "11.0", "OTHER"),
       {{kKeyA, "1", Record(9, 9, 0, 5)}, {kKeyA, "2", r115.substr(0, 12)}},
       "Rule two: 11.0"},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    sim->DeleteRegKeyTree(kKeyA);
    sim->DeleteRegKeyTree(kKeyB);
    std::size_t before = sim->MessageBoxes().size();
    EXPECT_EQ(Check(t.rules, t.values), t.message ? 0 : 1);
    std::vector<os::SimMessageBox> boxes(sim->MessageBoxes().begin() + before,
                                         sim->MessageBoxes().end());
    bool shown = t.message != nullptr && *t.message != '\0';
    ASSERT_EQ(boxes.size(), shown ? 1u : 0u);
    for (const os::SimMessageBox& box : boxes) {
      EXPECT_EQ(box.text, t.message);
      EXPECT_EQ(box.caption, kProduct);
      EXPECT_EQ(box.flags, os::kMbOk | os::kMbIconWarning);
      EXPECT_EQ(box.owner, 0u);
    }
  }
  EXPECT_TRUE(Statuses().empty());
}

TEST_F(BlockRulesTest, MasterSetupGetsTheMessageAsStatusOthersSeeTheBox) {
  struct Mode {
    const char* what;
    int quiet, remoteStatus, masterSetup;
    bool box;
  } modes[] = {
      {"interactive", 0, 0, 0, true},
      {"quiet with a status host", 1, 1, 0, true},  // the box is shown even when quiet
      {"master setup", 1, 0, 1, false},
  };
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.what);
    app::ResetContext();
    app::SetupContext& c = app::Ctx();
    c.quiet = m.quiet;
    c.remoteStatus = m.remoteStatus;
    c.masterSetup = m.masterSetup;
    c.masterHost = "MASTERPC";
    c.productCode = "ZODIDEZ";
    std::size_t boxesBefore = sim->MessageBoxes().size(), statusesBefore = Statuses().size();
    EXPECT_EQ(Check(Rule(0, "5", "11.0", "BLOCKED"), {{kKeyA, "1", Record(11, 0, 300, 5)}}), 0);
    EXPECT_EQ(sim->MessageBoxes().size() - boxesBefore, m.box ? 1u : 0u);
    std::vector<cls::StatusMessage> statuses = Statuses();
    if (m.box) {
      EXPECT_EQ(statuses.size(), statusesBefore);
      continue;
    }
    ASSERT_EQ(statuses.size(), statusesBefore + 1);
    const cls::StatusMessage& s = statuses.back();
    EXPECT_EQ(s.code, 26u);
    EXPECT_EQ(s.level, 3u);
    EXPECT_EQ(s.form, 'P');
    EXPECT_EQ(s.productCode, "ZODIDEZ");
    EXPECT_EQ(s.text, "Version 11.0 of Backup Agent is installed (11.0).");
    EXPECT_EQ(sim->MailslotMessages().back().path, "\\\\MASTERPC\\mailslot\\SetupStatus");
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "app/setup_log.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

TEST_F(LauncherTest, SetupLogLiesInTempWhateverItsTrailingBackslashes) {
  for (const char* temp : {"C:\\TEMP\\", "C:\\TEMP\\\\", "C:\\TEMP"}) {
    sim->SetTempPath(temp);
    EXPECT_EQ(app::SetupLogPath(), "C:\\TEMP\\_SETUP.LOG") << temp;
  }
}

TEST_F(LauncherTest, SetupLogLinesAreAppended) {
  app::WriteSetupLog("WaitCheckInstallStatus - %s", "begin");
  app::WriteSetupLog("Success call AddPermissionToNTBRootReg() function.%s", "");
  std::string log = sim->ReadFileText("C:\\TEMP\\_SETUP.LOG").value_or("");
  std::size_t first = log.find("WaitCheckInstallStatus - begin\r\n");
  std::size_t second = log.find("Success call AddPermissionToNTBRootReg() function.\r\n");
  EXPECT_NE(first, std::string::npos);
  EXPECT_NE(second, std::string::npos);
  EXPECT_LT(first, second);
}

struct StripCase {
  std::string path;
  std::string expected;
};

TEST_F(LauncherTest, StripTrailingBackslashesKeepsADoubleByteTrailByte) {
  sim->SetCodePage(932);
  const StripCase cases[] = {
      {"", ""},
      {"\\", ""},
      {"C:\\a\\\\", "C:\\a"},
      {"\x82\\", "\x82\\"},                      // two bytes: one character, kept
      {"ab\x95\\", "ab\x95\\"},                  // trail byte 0x5C of a double-byte character
      {"ab\x95\\\\", "ab\x95\\"},                // a backslash after that character goes
      {"a\x82\x9F\\", "a\x82\x9F"},              // after a complete character: removed
      {"\x82\x82\x82\\", "\x82\x82\x82\\"},      // lead, trail (lead-valued), lead + 5C: kept
  };
  for (const StripCase& t : cases) {
    std::string path = t.path;
    EXPECT_EQ(app::StripTrailingBackslashes(path), t.expected.size());
    EXPECT_EQ(path, t.expected);
  }
}

TEST_F(LauncherTest, AddTrailingBackslashLeavesOneAndEmptyStaysEmpty) {
  std::string path = "C:\\TEMP\\\\";
  EXPECT_EQ(app::AddTrailingBackslash(path), 8u);
  EXPECT_EQ(path, "C:\\TEMP\\");
  std::string empty;
  EXPECT_EQ(app::AddTrailingBackslash(empty), 0u);
}

TEST_F(LauncherTest, InstallerLogLinesFollowWhatTheFileHeld) {
  app::Ctx().msiLogPath = "C:\\logs\\agent.log";
  sim->WriteFileText("C:\\logs\\agent.log", "earlier\n");
  app::WriteMsiLogLine("one");
  app::WriteMsiLogLine("two");
  app::WriteMsiLogLine("three");
  EXPECT_EQ(sim->ReadFileText("C:\\logs\\agent.log").value_or(""),
            "earlier\nParameter: one\nParameter: two\nParameter: three\n");
}

TEST_F(LauncherTest, OverlongInstallerLogLineIsCutButEnds) {
  app::Ctx().msiLogPath = "C:\\agent.log";
  app::WriteMsiLogLine(std::string(2000, 'z'));
  std::string log = sim->ReadFileText("C:\\agent.log").value_or("");
  EXPECT_EQ(log.size(), 519u);
  EXPECT_EQ(log.back(), '\n');
}

TEST_F(LauncherTest, NoInstallerLogPathWritesNothing) {
  app::WriteMsiLogLine("one");
  EXPECT_FALSE(sim->Exists("C:\\TEMP\\_SETUP.LOG"));
}

TEST_F(LauncherTest, StaleSetupExeLogIsRemoved) {
  sim->WriteFileText("C:\\TEMP\\setupexe.log", "old");
  app::DeleteStaleSetupExeLog();
  EXPECT_FALSE(sim->Exists("C:\\TEMP\\setupexe.log"));
  app::DeleteStaleSetupExeLog();  // nothing there: nothing happens
}

}  // namespace

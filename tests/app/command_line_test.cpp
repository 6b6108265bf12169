#include <gtest/gtest.h>

#include "app/cmdline.h"
#include "app/setup_app.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

struct Expect {
  int quiet, remoteStatus, masterSetup, localized, baseProduct, msiLogRequested;
  const char* setupIcfPath;
  const char* productCode;
  const char* masterHost;
};

struct CommandLineCase {
  const char* args;
  Expect expect;
};

class CommandLineTest : public LauncherTest {
 protected:
  void Parse(const std::string& args) {
    UseMediumPaths();
    app_.m_strWindowsDir = "C:\\WINDOWS\\";
    app_.m_lpCmdLine = args;
    app_.ParseCommandLine();
  }
  app::CSetupApp app_;
};

TEST_F(CommandLineTest, OptionsSetTheRunMode) {
  sim->WriteFileText("C:\\m\\setup.icf", "[Install]\n");
  const CommandLineCase cases[] = {
      {"", {0, 0, 0, 0, 0, 0, "", "", ""}},
      {"/q", {1, 1, 0, 0, 0, 0, "", "", ""}},
      {"/QN", {0, 0, 0, 0, 0, 0, "", "", ""}},
      {"/qn LOCALIZED=1", {1, 1, 0, 1, 0, 0, "", "", ""}},
      {"/q LOCALIZED=1", {1, 1, 0, 1, 0, 0, "", "", ""}},
      {"MASTERSETUP=1 ICFPATH=C:\\m\\setup.icf PRODNAME=ZODIDEZ",
       {1, 0, 1, 0, 0, 0, "C:\\m\\setup.icf", "ZODIDEZ", "SIMPC"}},
      {"MASTERSETUP=1 ICFPATH=C:\\m\\missing.icf PRODNAME=ZODIDEZ",
       {1, 1, 1, 0, 0, 0, "", "ZODIDEZ", "SIMPC"}},
      {"MASTERSETUP=1", {1, 1, 1, 0, 0, 0, "", "", "SIMPC"}},
      // The quoted path is not tested for existence; the group it opens swallows /l.
      {"MASTERSETUP=1 ICFPATH=\"C:\\x\\setup.icf\" /l", {1, 0, 1, 0, 0, 0, "C:\\x\\setup.icf", "", "SIMPC"}},
      {"MASTERSETUP=1 ICFPATH=\"C:\\no close", {1, 0, 1, 0, 0, 0, "C:\\no close", "", "SIMPC"}},
      {"MASTERSETUP=1 ICFPATH", {1, 0, 1, 0, 0, 0, "", "", "SIMPC"}},
      {"MASTERSETUP=1 PRODNAME", {1, 1, 1, 0, 0, 0, "", "", "SIMPC"}},
      {"MASTERSETUP=1 PRODNAME=Tessmark /q", {1, 1, 1, 0, 1, 0, "", "Tessmark", "SIMPC"}},
      {"PRODNAME=Enterprise", {0, 0, 0, 0, 1, 0, "", "", ""}},
      {"/l", {0, 0, 0, 0, 0, 1, "", "", ""}},
      {"/l\"C:\\my logs\\a.log\"", {0, 0, 0, 0, 0, 1, "", "", ""}},
      {"/r", {0, 1, 0, 0, 0, 0, "", "", ""}},
      {"/rMASTER01 /q", {1, 1, 0, 0, 0, 0, "", "", "MASTER01"}},
      {"/", {0, 0, 0, 0, 0, 0, "", "", ""}},
  };
  for (const CommandLineCase& t : cases) {
    app::ResetContext();
    Parse(t.args);
    const app::SetupContext& c = app::Ctx();
    SCOPED_TRACE(t.args);
    EXPECT_EQ(c.commandLine, t.args);
    EXPECT_EQ(c.quiet, t.expect.quiet);
    EXPECT_EQ(c.remoteStatus, t.expect.remoteStatus);
    EXPECT_EQ(c.masterSetup, t.expect.masterSetup);
    EXPECT_EQ(c.localized, t.expect.localized);
    EXPECT_EQ(c.baseProduct, t.expect.baseProduct);
    EXPECT_EQ(c.msiLogRequested, t.expect.msiLogRequested);
    EXPECT_EQ(c.setupIcfPath, t.expect.setupIcfPath);
    EXPECT_EQ(c.productCode, t.expect.productCode);
    EXPECT_EQ(c.masterHost, t.expect.masterHost);
    EXPECT_EQ(c.msiLogPath, "");
  }
}

TEST(CmdLineArgs, TokenizerGroupsQuotedPartsAndKeysSwitches) {
  app::CCmdLineArgs args("/qn /l\"C:\\my logs\\a.log\" plain /rHOST /r2ND", '/');
  std::string value;
  EXPECT_TRUE(args.GetOption("q", &value, nullptr));
  EXPECT_EQ(value, "n");
  EXPECT_TRUE(args.GetOption("l", &value, nullptr));
  EXPECT_EQ(value, "C:\\my logs\\a.log");
  EXPECT_TRUE(args.GetOption("#0", &value, nullptr));
  EXPECT_EQ(value, "plain");
  EXPECT_TRUE(args.GetOption("r", &value, nullptr));
  EXPECT_EQ(value, "2ND");  // a later item replaces an earlier one
  EXPECT_FALSE(args.GetOption("x", &value, "dflt"));
  EXPECT_EQ(value, "dflt");
}

TEST(CmdLineArgs, OverlongItemIsCutAndUnclosedQuoteRunsToTheEnd) {
  std::string longValue(2000, 'h');
  app::CCmdLineArgs args("/r" + longValue + " /l\"open quote to the end", '/');
  std::string value;
  ASSERT_TRUE(args.GetOption("r", &value, nullptr));
  EXPECT_EQ(value.size(), app::CCmdLineArgs::kMaxItem - 2);
  ASSERT_TRUE(args.GetOption("l", &value, nullptr));
  EXPECT_EQ(value, "open quote to the end");
}

TEST_F(CommandLineTest, LogFileKeyNamesTheInstallerLog) {
  struct Case {
    const char* value;
    const char* expected;
  } cases[] = {
      {"C:\\logs\\agent.log", "C:\\logs\\agent.log"},
      {"\\\\srv\\logs\\agent.log", "\\\\srv\\logs\\agent.log"},
      {"logs\\..\\agent.log", "D:\\agent.log"},
      {"agent.log", "C:\\TEMP\\agent.log"},
  };
  sim->MakeDirectory("C:\\logs");
  sim->MakeDirectory("\\\\srv\\logs");
  for (const Case& t : cases) {
    app::ResetContext();
    SetupInf(std::string("[Setup]\nLogFile=") + t.value + "\n");
    Parse("/q");
    EXPECT_EQ(app::Ctx().msiLogPath, t.expected) << t.value;
    EXPECT_EQ(app::Ctx().msiLogRequested, 1);
    EXPECT_EQ(sim->ReadFileText(t.expected).value_or(""), "Parameter: /q\n");
    sim->DeleteFile(t.expected);
  }
}

TEST_F(CommandLineTest, LogSwitchWithLogFileKeyAsksForNoLogPath) {
  SetupInf("[Setup]\nLogFile=agent.log\n");
  Parse("/l");
  EXPECT_EQ(app::Ctx().msiLogRequested, 1);
  EXPECT_EQ(app::Ctx().msiLogPath, "");
}

TEST_F(CommandLineTest, HostIniNamesTheStatusHostAndIsDeleted) {
  sim->WriteFileText("C:\\WINDOWS\\HOST.INI", "[HostServer]\nName=PUSHER\n");
  Parse("");
  EXPECT_EQ(app::Ctx().remoteStatus, 1);
  EXPECT_EQ(app::Ctx().masterHost, "PUSHER");
  EXPECT_FALSE(sim->Exists("C:\\WINDOWS\\HOST.INI"));

  app::ResetContext();
  sim->WriteFileText("C:\\WINDOWS\\HOST.INI", "[HostServer]\n");
  Parse("");
  EXPECT_EQ(app::Ctx().remoteStatus, 1);
  EXPECT_EQ(app::Ctx().masterHost, "");
  EXPECT_FALSE(sim->Exists("C:\\WINDOWS\\HOST.INI"));
}

TEST_F(CommandLineTest, SwitchRWinsOverHostIni) {
  sim->WriteFileText("C:\\WINDOWS\\HOST.INI", "[HostServer]\nName=PUSHER\n");
  Parse("/rOTHER");
  EXPECT_EQ(app::Ctx().masterHost, "OTHER");
  EXPECT_TRUE(sim->Exists("C:\\WINDOWS\\HOST.INI"));
}

}  // namespace

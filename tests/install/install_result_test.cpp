#include <gtest/gtest.h>

#include "app/setup_context.h"
#include "install/install_worker.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kRootKey = "SOFTWARE\\Quorvane\\Norvale Tessmark";

class InstallResultTest : public LauncherTest {
 protected:
  void SetUp() override {
    UseMediumPaths();
    app::SetupContext& c = app::Ctx();
    c.packageFile = "agent.msi";
    c.language = "1033";
    c.masterHost = "MASTER";
    c.msiLogPath = "C:\\TEMP\\agent.log";
    SetupRes("[1033]\n9013=Cannot load %s.\n9069=Restart needed\n");
    sim->MakeRegKey(kRootKey);
  }
  void RunInstaller(std::uint32_t exitCode) {
    sim->RegisterProgramExitCode(kMedium + "msiexec.exe", exitCode);
    install::InstallWorker(nullptr);
  }
  std::string Describe() {
    std::string out;
    for (const cls::StatusMessage& s : Statuses()) {
      out += std::to_string(s.code) + "/" + std::to_string(s.level) + s.form;
      if (s.form == 'P' || s.form == 'T') out += "[" + s.text + "]";
      out += " ";
    }
    return out;
  }
};

struct ResultCase {
  std::uint32_t exitCode;
  int masterSetup, remoteStatus;
  const char* statuses;
};

TEST_F(InstallResultTest, OutcomeReachesMasterSetupAndStatusHost) {
  sim->SetSystemMessage(5, std::string("Access is denied."));
  sim->SetSystemMessage(1603, std::string("Fatal error during installation."));
  sim->SetSystemMessage(1234, std::nullopt);
  const char* msg10 =
      "Installation failure.  Please check the setup log for detail.";  // the built-in default
  const ResultCase cases[] = {
      {0, 1, 0, "4/2P[] "},
      {0, 0, 1, "5/1S 4/2S "},
      {0, 1, 1, "5/1S 4/2P[] "},
      {3010, 1, 0, "30/2P[Restart needed] "},
      {3010, 0, 1, "5/1S 30/2S "},
      {5, 1, 1, "5/1S 26/3P[Access is denied.] 26/3T[Access is denied.] "},
      {1603, 1, 0, nullptr},  // message 10
      {1234, 0, 1, nullptr},  // no system text: message 10
  };
  for (const ResultCase& t : cases) {
    sim->ClearMailslotMessages();
    app::SetupContext& c = app::Ctx();
    c.masterSetup = t.masterSetup;
    c.remoteStatus = t.remoteStatus;
    c.rebootNeeded = 0;
    c.productCode = t.masterSetup ? "AGENT" : "";
    RunInstaller(t.exitCode);
    SCOPED_TRACE(t.exitCode);
    EXPECT_EQ(c.exitCode, t.exitCode);
    if (t.statuses) {
      EXPECT_EQ(Describe(), t.statuses);
    } else {
      std::vector<cls::StatusMessage> s = Statuses();
      ASSERT_FALSE(s.empty());
      EXPECT_EQ(s.back().code, 26u);
      EXPECT_EQ(s.back().text, msg10);
    }
    EXPECT_EQ(c.rebootNeeded, t.exitCode == 3010 ? 1 : 0);
  }
}

TEST_F(InstallResultTest, MessageTenFromTheLanguageSectionWithTheLogPath) {
  SetupRes("[1033]\n10=Failed, see %s.\n");
  app::Ctx().masterSetup = 1;
  RunInstaller(1603);
  EXPECT_EQ(Statuses().back().text, "Failed, see C:\\TEMP\\agent.log.");
}

TEST_F(InstallResultTest, EmptyMessageTenAndNoSystemTextCountAsSuccess) {
  SetupRes("[1033]\n10=\n");
  sim->SetSystemMessage(1234, std::nullopt);
  app::Ctx().remoteStatus = 1;
  RunInstaller(1234);
  EXPECT_EQ(Describe(), "5/1S 4/2S ");
  EXPECT_EQ(app::Ctx().exitCode, 1234u);
}

TEST_F(InstallResultTest, ProductRestartRequestIsTakenAndRemoved) {
  sim->SetRegDword(kRootKey, "reboot", 1);
  app::Ctx().remoteStatus = 1;
  RunInstaller(0);
  EXPECT_EQ(Describe(), "5/1S 30/2S ");
  EXPECT_FALSE(sim->RegValueData(kRootKey, "reboot"));
}

TEST_F(InstallResultTest, TemporaryConfigurationCopyIsRemovedOnlyInInteractiveRuns) {
  app::SetupContext& c = app::Ctx();
  c.setupIcfPath = "C:\\TEMP\\setup.icf";
  sim->WriteFileText(c.setupIcfPath, "[Install]\n");
  c.remoteStatus = 1;
  RunInstaller(0);
  EXPECT_TRUE(sim->Exists(c.setupIcfPath));
  c.remoteStatus = 0;
  RunInstaller(0);
  EXPECT_FALSE(sim->Exists(c.setupIcfPath));
}

TEST_F(InstallResultTest, PermissionStepIsLogged) {
  RunInstaller(0);
  std::string log = sim->ReadFileText("C:\\TEMP\\_SETUP.LOG").value_or("");
  EXPECT_NE(log.find("Success call AddPermissionToNTBRootReg() function.\r\n"), std::string::npos);
  sim->DeleteRegKeyTree(kRootKey);
  RunInstaller(0);
  log = sim->ReadFileText("C:\\TEMP\\_SETUP.LOG").value_or("");
  EXPECT_NE(log.find("Failed call AddPermissionToNTBRootReg() function.\r\n"), std::string::npos);
}

TEST_F(InstallResultTest, InstallerThatCannotStartIsReportedQuoted) {
  struct Case {
    int masterSetup, remoteStatus, rebootNeeded;
    const char* statuses;
  } cases[] = {
      {1, 0, 0, "26/3P[\"Cannot load D:\\agent.msi.\"] "},
      {0, 1, 0, "26/3S "},
      {1, 1, 1, "30/3P[\"Cannot load D:\\agent.msi.\"] 30/3S "},
      {0, 0, 0, ""},
  };
  for (const Case& t : cases) {
    sim->ClearMailslotMessages();
    app::SetupContext& c = app::Ctx();
    c.masterSetup = t.masterSetup;
    c.remoteStatus = t.remoteStatus;
    c.rebootNeeded = t.rebootNeeded;
    c.exitCode = 7;
    c.setupIcfPath = "C:\\TEMP\\setup.icf";
    sim->WriteFileText(c.setupIcfPath, "[Install]\n");
    install::InstallWorker(nullptr);  // no msiexec.exe anywhere
    EXPECT_EQ(Describe(), t.statuses);
    EXPECT_EQ(c.exitCode, 7u);                  // untouched
    EXPECT_TRUE(sim->Exists(c.setupIcfPath));  // no after-install steps
  }
}

TEST_F(InstallResultTest, WholeRunExitsWithTheInstallersCode) {
  SetupInf("[Setup]\nMSIPKG=agent.msi\n");
  for (std::uint32_t code : {0u, 1603u, 3010u}) {
    app::ResetContext();
    sim->RegisterProgramExitCode(kMedium + "msiexec.exe", code);
    EXPECT_EQ(RunLauncher("/q"), static_cast<int>(code));
  }
}

}  // namespace

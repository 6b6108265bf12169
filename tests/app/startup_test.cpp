#include <gtest/gtest.h>

#include "app/setup_app.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kCatalogue =
    "[1033]\n9=Setup cannot continue\n9011=Install %s\nAGENT=Backup Agent\n";

class StartupTest : public LauncherTest {
 protected:
  int Run(const std::string& args) { return theApp.Run(args); }
  app::CSetupApp theApp;
};

TEST_F(StartupTest, FolderWithoutSetupInfEndsSilentlyWithExitCodeZero) {
  for (const char* args : {"", "/q"}) {
    app::ResetContext();
    app::CSetupApp run;
    EXPECT_EQ(run.Run(args), 0) << args;
  }
  EXPECT_TRUE(sim->MessageBoxes().empty());
  EXPECT_TRUE(sim->Launches().empty());
}

TEST_F(StartupTest, MediumWithoutPackageTellsTheUser) {
  SetupInf("[Setup]\nProductName=%AGENT%\n");
  SetupRes(kCatalogue);
  EXPECT_EQ(Run(""), 0);
  ASSERT_EQ(sim->MessageBoxes().size(), 1u);
  EXPECT_EQ(sim->MessageBoxes()[0].text, "Setup cannot continue");
  EXPECT_EQ(sim->MessageBoxes()[0].caption, "Install Backup Agent");
  EXPECT_TRUE(Statuses().empty());  // no status host: nothing is sent
}

TEST_F(StartupTest, QuietRunWithoutPackageReportsToTheStatusHostWithoutABox) {
  SetupInf("[Setup]\nProductName=%AGENT%\n");
  SetupRes(kCatalogue);
  EXPECT_EQ(Run("/q"), 0);
  EXPECT_TRUE(sim->MessageBoxes().empty());
  std::vector<cls::StatusMessage> statuses = Statuses();
  ASSERT_EQ(statuses.size(), 1u);
  EXPECT_EQ(statuses[0].code, 26u);
  EXPECT_EQ(statuses[0].level, 3u);
  EXPECT_EQ(statuses[0].form, 'T');
  EXPECT_EQ(statuses[0].text, "Setup cannot continue");
  EXPECT_EQ(sim->MailslotMessages()[0].path, "\\\\.\\mailslot\\SetupStatus");
}

TEST_F(StartupTest, MasterSetupReportsWithItsProductCode) {
  SetupInf("[Setup]\nLogFile=C:\\logs\\agent.log\n");
  SetupRes(kCatalogue);
  sim->WriteFileText("C:\\m\\setup.icf", "");
  EXPECT_EQ(Run("MASTERSETUP=1 ICFPATH=C:\\m\\setup.icf PRODNAME=ZODIDEZ"), 0);
  std::vector<cls::StatusMessage> statuses = Statuses();
  ASSERT_EQ(statuses.size(), 2u);
  EXPECT_EQ(statuses[0].code, 34u);  // the installer log's path, quoted
  EXPECT_EQ(statuses[0].productCode, "ZODIDEZ");
  EXPECT_EQ(statuses[0].text, "\"C:\\logs\\agent.log\"");
  EXPECT_EQ(statuses[1].code, 26u);  // no package: the failure, with an empty text
  EXPECT_EQ(statuses[1].form, 'P');
  EXPECT_EQ(statuses[1].text, "");
  EXPECT_EQ(sim->MailslotMessages()[1].path, "\\\\.\\mailslot\\SetupStatus");  // own name
}

TEST_F(StartupTest, PackageChoiceHandsOverToTheWorker) {
  struct Case {
    const char* inf;
    const char* package;
    int minor;
  } cases[] = {
      {"[Setup]\nMSIPKG=agent.msi\nMINORPKG=update.msi\n", "agent.msi", 0},
      {"[Setup]\nMINORPKG=update.msi\n", "update.msi", 1},
  };
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  for (const Case& t : cases) {
    app::ResetContext();
    SetupInf(t.inf);
    app::CSetupApp run;
    EXPECT_EQ(run.Run("/q"), 0);
    EXPECT_EQ(app::Ctx().packageFile, t.package);
    EXPECT_EQ(app::Ctx().minorPackage, t.minor);
  }
  ASSERT_EQ(sim->Launches().size(), 2u);  // the worker ran the installer each time
  EXPECT_EQ(sim->Launches()[1].programPath, "D:\\msiexec.exe");
}

TEST_F(StartupTest, TitleAndProductNameFollowTheProductNameRule) {
  SetupRes(kCatalogue);
  struct Case {
    const char* value;
    const char* title;
    const char* productName;
  } cases[] = {
      {"%AGENT%", "Install Backup Agent", "Backup Agent"},
      {"%MISSING%", "Install NULL", "NULL"},
      {"XY", "Install XY", ""},
      {"", "", ""},
  };
  for (const Case& t : cases) {
    app::ResetContext();
    SetupInf(std::string("[Setup]\nMSIPKG=a.msi\nProductName=") + t.value + "\n");
    app::CSetupApp run;
    run.Run("/q");
    EXPECT_EQ(run.m_strSetupTitle, t.title) << t.value;
    EXPECT_EQ(run.m_pszAppName, t.title) << t.value;
    EXPECT_EQ(run.m_strProductName, t.productName) << t.value;
  }
}

TEST_F(StartupTest, LanguageRules) {
  sim->SetSystemLanguage(1031);
  sim->MakeDirectory(kMedium + "1031");
  struct Case {
    const char* inf;
    const char* args;
    bool transform;
    const char* language;
  } cases[] = {
      {"[Setup]\nMultiLanguage=0\n", "", true, "1033"},
      {"[Setup]\n", "/q LOCALIZED=1", true, "1031"},
      {"[Setup]\n", "/q LOCALIZED=1", false, "1033"},  // folder without its transform
      {"[Setup]\n", "/q", true, "1033"},               // from the (missing) configuration file
      {"[Setup]\n", "", true, "1031"},                 // interactive: the system's language
  };
  for (const Case& t : cases) {
    app::ResetContext();
    SetupInf(t.inf);
    sim->DeleteFile(kMedium + "1031.mst");
    if (t.transform) sim->WriteFileText(kMedium + "1031.mst", "");
    app::CSetupApp run;
    run.Run(t.args);
    EXPECT_EQ(app::Ctx().language, t.language) << t.inf << t.args;
    EXPECT_EQ(app::Ctx().systemLanguage, "1031");
  }
}

TEST_F(StartupTest, ConfigurationFileIsCopiedToTempWritable) {
  sim->WriteFileText(kMedium + "setup.icf", "[Install]\nLanguageID=1036\n");
  sim->SetFileAttributes(kMedium + "setup.icf", os::kFileAttributeReadOnly);
  EXPECT_EQ(app::PrepareIcfCopy("C:\\TEMP\\setup.icf"), 1);
  EXPECT_EQ(sim->ReadFileText("C:\\TEMP\\setup.icf").value_or(""), "[Install]\nLanguageID=1036\n");
  EXPECT_EQ(sim->FileAttributes("C:\\TEMP\\setup.icf") & os::kFileAttributeReadOnly, 0u);

  // A copy already there is kept as it is.
  sim->WriteFileText("C:\\TEMP\\setup.icf", "mine");
  EXPECT_EQ(app::PrepareIcfCopy("C:\\TEMP\\setup.icf"), 1);
  EXPECT_EQ(sim->ReadFileText("C:\\TEMP\\setup.icf").value_or(""), "mine");
}

TEST_F(StartupTest, ConfigurationFileThatCannotBeCopiedStopsTheSetup) {
  sim->WriteFileText(kMedium + "setup.icf", "[Install]\n");
  sim->SetTempPath("Q:\\no such folder\\");
  SetupInf("[Setup]\nMSIPKG=agent.msi\n");
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(app::Ctx().packageFile, "");  // stopped before the package was chosen
  EXPECT_EQ(app::PrepareIcfCopy("Q:\\no such folder\\setup.icf"), 0);
}

TEST_F(StartupTest, NothingToCopyGoesOn) {
  EXPECT_EQ(app::PrepareIcfCopy("C:\\TEMP\\setup.icf"), 1);
  EXPECT_FALSE(sim->Exists("C:\\TEMP\\setup.icf"));
}

TEST_F(StartupTest, SharedComponentsMarkerIsFoundInAnyLine) {
  struct Case {
    std::string content;
    bool marker;
  } cases[] = {
      {"[Install]\r\nLanguageID=1033\r\n[SCC]\r\nLocalKDB=YES\r\n[SCC]\r\n", true},
      {"  x [SCC] y\n", true},
      {"[scc]\n", false},  // case-sensitive
      {"[Install]\n", false},
      // A line longer than the read buffer arrives in pieces; a marker across the cut is
      // not seen.
      {std::string(1021, 'a') + "[SCC]\n", false},
      {std::string(1023, 'a') + "[SCC]\n", true},
  };
  for (const Case& t : cases) {
    sim->WriteFileText("C:\\TEMP\\setup.icf", t.content);
    EXPECT_EQ(app::IcfAsksForSharedComponents("C:\\TEMP\\setup.icf"), t.marker)
        << t.content.substr(0, 40);
  }
  EXPECT_FALSE(app::IcfAsksForSharedComponents("C:\\TEMP\\missing.icf"));
}

TEST_F(StartupTest, FailureReportGoesToMasterSetupOrStatusHostOnly) {
  SetupRes(kCatalogue);
  UseMediumPaths();
  app::Ctx().language = "1033";
  app::ReportFailure("");  // neither: nothing
  EXPECT_TRUE(Statuses().empty());

  app::Ctx().remoteStatus = 1;
  app::Ctx().masterHost = "HOSTX";
  app::ReportFailure("");
  app::ReportFailure("Disk full");
  app::Ctx().masterSetup = 1;
  app::Ctx().productCode = "ZODIDEZ";
  app::ReportFailure("");
  std::vector<cls::StatusMessage> s = Statuses();
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].text, "Setup cannot continue");
  EXPECT_EQ(s[1].text, "Disk full");
  EXPECT_EQ(s[2].form, 'P');
  EXPECT_EQ(s[2].productCode, "ZODIDEZ");
  EXPECT_EQ(s[2].text, "");
  EXPECT_EQ(sim->MailslotMessages()[0].path, "\\\\HOSTX\\mailslot\\SetupStatus");
}

TEST_F(StartupTest, StaleFilesAndHostIniAreHandledAtStart) {
  sim->WriteFileText("C:\\TEMP\\setupexe.log", "old");
  sim->WriteFileText("C:\\WINDOWS\\HOST.INI", "[HostServer]\nName=PUSHER\n");
  Run("");
  EXPECT_FALSE(sim->Exists("C:\\TEMP\\setupexe.log"));
  EXPECT_FALSE(sim->Exists("C:\\WINDOWS\\HOST.INI"));
}

}  // namespace

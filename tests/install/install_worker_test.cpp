#include "install/install_worker.h"

#include <gtest/gtest.h>

#include "app/setup_context.h"
#include "tests/support/launcher_fixture.h"

namespace {

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

using testing_support::LauncherTest;

constexpr const char* kProducts = "SOFTWARE\\Quorvane\\Norvale Tessmark\\Products";

class InstallWorkerTest : public LauncherTest {
 protected:
  void SetUp() override {
    UseMediumPaths();
    app::SetupContext& c = app::Ctx();
    c.setupDir = "\\\\srv\\media\\cd1\\";
    c.packageFile = "agent.msi";
    c.language = "1031";
    SetupInf("[Setup]\nProductDescriptor=AgentDesc\n");
  }
  void Registered() { sim->SetRegString(kProducts, "AgentDesc", "1.0"); }
};

struct FormatCase {
  int masterSetup, multiLanguage, minorPackage;
  bool registered;
  const char* commandLine;
  int format;
  const char* expected;  // after msiexec.exe /i "\\srv\media\cd1\agent.msi" SETUPDIR="\\srv\media\cd1\"
};

TEST_F(InstallWorkerTest, EightFormatsByRunModeAndPackage) {
  const FormatCase cases[] = {
      {0, 0, 0, false, "", 1, "   LANGUAGEID=1033 COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {0, 0, 1, true, "", 2,
       " REINSTALL=ALL REINSTALLMODE=vomus   COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {0, 0, 1, false, "", 1, "   LANGUAGEID=1033 COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {0, 1, 0, false, "", 3,
       "   TRANSFORMS=1031.mst LANGUAGEID=1031 COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {0, 1, 1, true, "", 4,
       " REINSTALL=ALL REINSTALLMODE=vomus   TRANSFORMS=1031.mst LANGUAGEID=1031 "
       "COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {0, 1, 1, false, "", 3,
       "   TRANSFORMS=1031.mst LANGUAGEID=1031 COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {1, 0, 0, false, "MASTERSETUP=1", 5,
       " TRANSFORMS=1031.mst MASTERSETUP=1  LANGUAGEID=1031 COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {1, 1, 0, false, "MASTERSETUP=1 LANGUAGEID=1041", 6,
       " TRANSFORMS=1031.mst MASTERSETUP=1 LANGUAGEID=1041  COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {1, 1, 1, false, "MASTERSETUP=1", 7,
       " MASTERSETUP=1  TRANSFORMS=1031.mst COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
      {1, 1, 1, true, "MASTERSETUP=1", 8,
       " TRANSFORMS=1031.mst REINSTALL=ALL REINSTALLMODE=vomus MASTERSETUP=1  "
       "COPYPATH=\"\\\\srv\\media\\cd1\\1031\""},
  };
  const std::string head = "msiexec.exe /i \"\\\\srv\\media\\cd1\\agent.msi\" SETUPDIR=\"\\\\srv\\media\\cd1\\\"";
  for (const FormatCase& t : cases) {
    app::SetupContext& c = app::Ctx();
    c.masterSetup = t.masterSetup;
    c.multiLanguage = t.multiLanguage;
    c.minorPackage = t.minorPackage;
    c.commandLine = t.commandLine;
    sim->DeleteRegKeyTree(kProducts);
    if (t.registered) Registered();
    SCOPED_TRACE(t.format);
    ASSERT_EQ(install::ChooseCommandFormat(), t.format);
    EXPECT_EQ(install::ComposeCommandLine(t.format, install::PackagePath(), install::CopyPath()),
              head + t.expected);
  }
}

TEST_F(InstallWorkerTest, QuietAndLogArgumentsAreAppended) {
  app::SetupContext& c = app::Ctx();
  c.quiet = 1;
  c.msiLogRequested = 1;
  c.msiLogPath = "C:\\TEMP\\agent.log";
  EXPECT_TRUE(EndsWith(install::ComposeCommandLine(3, "p", "c"),
                          "COPYPATH=\"c\" ALLUSERS=\"AllUsers\" /lv \"C:\\TEMP\\agent.log\""));
  c.msiLogPath.clear();  // asked for, but no path: no /lv
  EXPECT_TRUE(EndsWith(install::ComposeCommandLine(3, "p", "c"), "ALLUSERS=\"AllUsers\""));
}

TEST_F(InstallWorkerTest, PackageAndCopyPaths) {
  app::SetupContext& c = app::Ctx();
  struct Case {
    const char* packageFile;
    const char* dbFolder;
    const char* package;
    const char* copy;
  } cases[] = {
      {"agent.msi", "", "\\\\srv\\media\\cd1\\agent.msi", "\\\\srv\\media\\cd1\\1031"},
      {"SQL\\agent.msi", "SQL", "\\\\srv\\media\\cd1\\SQL\\agent.msi",
       "\\\\srv\\media\\cd1\\SQL\\1031"},
      {"D:\\pkgs\\agent.msi", "Oracle", "D:\\pkgs\\agent.msi", "\\\\srv\\media\\cd1\\Oracle\\1031"},
      {"\\\\srv\\pkgs\\agent.msi", "", "\\\\srv\\pkgs\\agent.msi", "\\\\srv\\media\\cd1\\1031"},
  };
  for (const Case& t : cases) {
    c.packageFile = t.packageFile;
    c.dbFolder = t.dbFolder;
    EXPECT_EQ(install::PackagePath(), t.package);
    EXPECT_EQ(install::CopyPath(), t.copy);
  }
}

TEST_F(InstallWorkerTest, MappedDriveBecomesItsNetworkPath) {
  sim->SetNetConnections({{std::string("Y:"), std::string("\\\\other\\share")},
                          {std::nullopt, std::string("\\\\nolocal\\share")},
                          {std::string("x:"), std::string("\\\\srv\\share")}});
  struct Case {
    const char* setupDir;
    const char* resolved;
  } cases[] = {
      {"X:\\setups\\cd1\\", "\\\\srv\\share\\setups\\cd1\\"},
      {"D:\\setups\\", "D:\\setups\\"},  // a local drive
      {"\\\\srv\\media\\", "\\\\srv\\media\\"},
  };
  for (const Case& t : cases) {
    app::Ctx().setupDir = t.setupDir;
    install::ResolveNetworkSetupDir();
    EXPECT_EQ(app::Ctx().setupDir, t.resolved);
  }
  sim->SetNetConnections({}, false);  // enumeration fails: unchanged
  app::Ctx().setupDir = "X:\\setups\\";
  install::ResolveNetworkSetupDir();
  EXPECT_EQ(app::Ctx().setupDir, "X:\\setups\\");
}

TEST_F(InstallWorkerTest, BaseProductPathReachesTheInstaller) {
  app::SetupContext& c = app::Ctx();
  c.setupDir = kMedium;
  c.masterSetup = 1;
  c.setupIcfPath = "C:\\m\\setup.icf";
  SetupInf("[Setup]\nProductDescriptor=NorvaleTB\n");
  sim->WriteFileText(c.setupIcfPath, "[Base]\nProductPath=C:\\Program Files\\Product\\\n");
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  install::InstallWorker(nullptr);
  ASSERT_EQ(sim->Launches().size(), 1u);
  EXPECT_EQ(sim->Launches()[0].environment.at("PATH"),
            "C:\\WINDOWS\\system32;C:\\WINDOWS;C:\\Program Files\\Product\\");
}

TEST_F(InstallWorkerTest, InstallerStartsDetachedFromTheSetupFolder) {
  app::SetupContext& c = app::Ctx();
  c.setupDir = kMedium;
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 3010);
  install::InstallWorker(nullptr);
  ASSERT_EQ(sim->Launches().size(), 1u);
  const os::SimLaunch& run = sim->Launches()[0];
  EXPECT_EQ(run.workDir, "D:\\");
  EXPECT_TRUE(run.inheritHandles);
  EXPECT_EQ(run.creationFlags, os::kDetachedProcess);
  EXPECT_EQ(c.exitCode, 3010u);
}

TEST_F(InstallWorkerTest, OverlongCommandLineIsNeverRun) {
  app::SetupContext& c = app::Ctx();
  c.setupDir = kMedium;
  c.masterSetup = 1;
  c.masterHost = "M";
  c.commandLine = std::string(40000, 'a');
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  install::InstallWorker(nullptr);
  EXPECT_TRUE(sim->Launches().empty());
  EXPECT_EQ(c.exitCode, 0u);
  std::string log = sim->ReadFileText("C:\\TEMP\\_SETUP.LOG").value_or("");
  EXPECT_NE(log.find("characters long, more than Windows accepts"), std::string::npos);
  ASSERT_FALSE(Statuses().empty());
  EXPECT_EQ(Statuses()[0].code, 26u);  // reported as a failed start
}

}  // namespace

#include "components/shared_components.h"

#include <gtest/gtest.h>

#include "tests/components/components_fixture.h"

namespace {

using testing_support::ComponentsTest;

constexpr const char* kKdbSetup = "C:\\kdb\\setup.exe";
constexpr const char* kCmd = "C:\\WINDOWS\\system32\\cmd.exe";
constexpr const char* kEiKey = "SOFTWARE\\Quorvane\\Ingres\\EI_Installation";
constexpr const char* kThreeArgs = "Command_KDB=C:\\kdb\\setup.exe /dir=%s /icf=%s /rsp=%s\n";
constexpr const char* kVnodeAnswers = "KDBUser=ingres\nKDBPassword=pw\nKDBID=II\n";

class SharedComponentsTest : public ComponentsTest {
 protected:
  SharedComponentsTest() {
    theApp.m_lpCmdLine = "/q";
    sim->RegisterProgramExitCode(kCmd, 0);
  }
  // The database installer; it sets the system's II_SYSTEM when given a value.
  void RegisterKdbSetup(std::optional<std::string> writesIngres) {
    sim->RegisterProgram(kKdbSetup, [writesIngres](os::SimMachine& m, const os::SimLaunch&) {
      if (writesIngres) m.SetRegString(kEnvKey, "II_SYSTEM", *writesIngres);
      return 0u;
    });
  }
  std::size_t LaunchesOf(const std::string& program) {
    std::size_t n = 0;
    for (const os::SimLaunch& l : sim->Launches()) n += l.programPath == program;
    return n;
  }
};

TEST_F(SharedComponentsTest, Branches) {
  struct Case {
    const char* name;
    std::string icf;
    std::string inf;
    std::optional<std::string> existingIngres;  // EI_Installation II_SYSTEM
    std::optional<std::string> installerWrites;
    std::string commandLogLine;  // empty: the installer is not run
    bool vnode;
    const char* lastLine;
  } cases[] = {
      {"local database in the default folder", "LocalKDB=YES\n", kThreeArgs, std::nullopt,
       "c:\\program files\\QV\\INGRES [EI]",
       "Setup.exe: KDB Install command: C:\\kdb\\setup.exe /dir=C:\\Program Files\\QV\\Ingres "
       "[EI] /icf=C:\\TEMP\\setup.icf /rsp=scc.rsp",
       false, "Setup.exe: Install Ingres KDB completed!"},
      {"local database reuses an existing Ingres", "LocalKDB=YES\n", kThreeArgs, "E:\\Ingres",
       "E:\\Ingres",
       "Setup.exe: KDB Install command: C:\\kdb\\setup.exe /dir=E:\\Ingres "
       "/icf=C:\\TEMP\\setup.icf /rsp=scc.rsp",
       false, "Setup.exe: Install Ingres KDB completed!"},
      {"lower-case yes is the remote branch, which never reuses an existing Ingres",
       "LocalKDB=yes\nKDBHost=DBSRV\n" + std::string(kVnodeAnswers), kThreeArgs, "E:\\Ingres",
       kIngresDir,
       "Setup.exe: Ingres Net Install command: C:\\kdb\\setup.exe /dir=C:\\Program "
       "Files\\QV\\Ingres [EI] /icf=C:\\TEMP\\setup.icf /rsp=ingresnet.rsp",
       true, "Setup.exe: Run netutil command to create vnode"},
      {"a command without placeholders is run unchanged", "LocalKDB=YES\n",
       "Command_KDB=C:\\kdb\\setup.exe /silent\n", std::nullopt, kIngresDir,
       "Setup.exe: KDB Install command: C:\\kdb\\setup.exe /silent", false,
       "Setup.exe: Install Ingres KDB completed!"},
      {"the database is on this computer", "KDBHost=SimPC\n" + std::string(kVnodeAnswers),
       kThreeArgs, std::nullopt, kIngresDir, "", false, "/q"},
      {"no local command", "LocalKDB=YES\n", "", std::nullopt, std::nullopt, "", false,
       "Setup.exe: Install KDB"},
      {"no remote command", "KDBHost=DBSRV\n", "", std::nullopt, std::nullopt, "", false,
       "Setup.exe: Install Ingres NET"},
      {"a command of more than three conversions is refused", "LocalKDB=YES\n",
       "Command_KDB=C:\\kdb\\setup.exe %s %s %s %s\n", std::nullopt, kIngresDir, "", false,
       "Setup.exe: Command_KDB is not a command format and is not run: C:\\kdb\\setup.exe %s %s "
       "%s %s"},
  };
  for (const Case& t : cases) {
    app::ResetContext();
    UseMediumPaths();
    app::Ctx().setupIcfPath = kIcf;
    app::Ctx().msiLogPath = std::string("C:\\logs\\") + std::to_string(&t - cases) + ".log";
    sim->DeleteRegKeyTree(kEiKey);
    if (t.existingIngres) sim->SetRegString(kEiKey, "II_SYSTEM", *t.existingIngres);
    sim->DeleteRegKeyTree(kEnvKey);
    sim->MakeRegKey(kEnvKey);
    sim->MakeDirectory(kIngresDir);
    Icf(t.icf + "LocaleKSM=NO\n");
    PreInstallScc(t.inf);
    RegisterKdbSetup(t.installerWrites);
    std::size_t kdbRunsBefore = LaunchesOf(kKdbSetup), vnodeRunsBefore = LaunchesOf(kCmd);

    int result = 0;
    ASSERT_EQ(InstallShared(&result), std::nullopt) << t.name;
    EXPECT_EQ(result, 1) << t.name;
    std::vector<std::string> lines = LogLines();
    ASSERT_FALSE(lines.empty()) << t.name;
    EXPECT_EQ(lines.front(), "/q") << t.name;  // the launcher's arguments come first
    EXPECT_EQ(lines.back(), t.lastLine) << t.name;
    EXPECT_EQ(LaunchesOf(kKdbSetup) - kdbRunsBefore, t.commandLogLine.empty() ? 0u : 1u) << t.name;
    if (!t.commandLogLine.empty()) {
      EXPECT_TRUE(Logged(t.commandLogLine)) << t.name;
    }
    EXPECT_EQ(LaunchesOf(kCmd) - vnodeRunsBefore, t.vnode ? 1u : 0u) << t.name;
  }
}

TEST_F(SharedComponentsTest, FailedChecksEndTheSetup) {
  struct Case {
    const char* name;
    std::string icf;
    std::optional<std::string> existingIngres;
    std::optional<std::string> installerWrites;
    bool programFilesReadable;
    const char* lastLine;
  } cases[] = {
      {"local: trailing backslash", "LocalKDB=YES\n", std::nullopt, std::string(kIngresDir) + "\\",
       true, "Setup.exe: KDB Install location does not match II_SYSTEM"},
      {"local: no II_SYSTEM", "LocalKDB=YES\n", std::nullopt, std::nullopt, true,
       "Setup.exe: KDB Install location does not match II_SYSTEM"},
      {"local: neither Ingres nor Program Files", "LocalKDB=YES\n", std::nullopt, kIngresDir, false,
       "Setup.exe: Can not find ProgramFilesDir"},
      {"remote: other folder", "KDBHost=DBSRV\n" + std::string(kVnodeAnswers), std::nullopt,
       "C:\\Ingres", true, "Setup.exe: Ingres NET Install location does not match II_SYSTEM"},
      {"remote: no Program Files", "KDBHost=DBSRV\n", "E:\\Ingres", "E:\\Ingres", false,
       "Setup.exe: Can not find ProgramFilesDir"},
      {"identity component not installed", "LocalKDB=YES\nLocaleKSM=YES\n", std::nullopt,
       kIngresDir, true, "Setup.exe: Install eKSM failed!"},
  };
  for (const Case& t : cases) {
    app::ResetContext();
    UseMediumPaths();
    app::Ctx().setupIcfPath = kIcf;
    app::Ctx().msiLogPath = std::string("C:\\logs\\") + std::to_string(&t - cases) + ".log";
    sim->DeleteRegKeyTree(kEiKey);
    if (t.existingIngres) sim->SetRegString(kEiKey, "II_SYSTEM", *t.existingIngres);
    sim->DeleteRegKeyTree(kEnvKey);
    sim->MakeRegKey(kEnvKey);
    sim->SetRegAccessDenied(kCurrentVersionKey, !t.programFilesReadable);
    Icf(t.icf);
    PreInstallScc(kThreeArgs);
    RegisterKdbSetup(t.installerWrites);
    std::size_t vnodeRunsBefore = LaunchesOf(kCmd);

    EXPECT_EQ(InstallShared(), 1u) << t.name;
    ASSERT_FALSE(LogLines().empty()) << t.name;
    EXPECT_EQ(LogLines().back(), t.lastLine) << t.name;
    EXPECT_EQ(LaunchesOf(kCmd), vnodeRunsBefore) << t.name;
    std::size_t beats = Heartbeats().size();
    sim->AdvanceClock(30000);
    EXPECT_EQ(Heartbeats().size(), beats) << t.name;  // stopped before the end
  }
}

TEST_F(SharedComponentsTest, HostNameComparison) {
  struct Case {
    std::optional<std::string> hostName;
    const char* kdbHost;
    bool installsIngresNet;
    bool logsMissingName;
  } cases[] = {
      {"simpc", "SIMPC", false, false},
      {"simpc", "simpc2", true, false},
      {std::nullopt, "DBSRV", true, true},  // compared as an empty name
      {std::nullopt, "", false, true},
  };
  for (const Case& t : cases) {
    app::ResetContext();
    UseMediumPaths();
    app::Ctx().setupIcfPath = kIcf;
    app::Ctx().msiLogPath = std::string("C:\\logs\\") + std::to_string(&t - cases) + ".log";
    sim->SetHostName(t.hostName);
    Icf(std::string("KDBHost=") + t.kdbHost + "\n");
    PreInstallScc("");
    EXPECT_EQ(InstallShared(), std::nullopt) << t.kdbHost;
    EXPECT_EQ(Logged("Setup.exe: Install Ingres NET"), t.installsIngresNet) << t.kdbHost;
    EXPECT_EQ(Logged("Setup.exe: Using existing KDB. Can not get local host name"),
              t.logsMissingName)
        << t.kdbHost;
  }
}

TEST_F(SharedComponentsTest, OnlyFormatsOfAtMostThreeStringConversionsAreCommands) {
  struct Case {
    const char* format;
    std::optional<std::string> command;
  } cases[] = {
      {"setup.exe", "setup.exe"},
      {"setup.exe %s", "setup.exe F"},
      {"setup.exe %s %s %s", "setup.exe F I R"},
      {"setup.exe %s%s%s%s", std::nullopt},
      {"setup.exe %d", std::nullopt},
      {"setup.exe %s %n", std::nullopt},
      {"setup.exe 100%", std::nullopt},
      {"setup.exe 100%%", std::nullopt},
  };
  for (const Case& t : cases)
    EXPECT_EQ(components::KdbCommandLine(t.format, "F", "I", "R"), t.command) << t.format;
}

}  // namespace

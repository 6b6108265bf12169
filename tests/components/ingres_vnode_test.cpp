#include <gtest/gtest.h>

#include "tests/components/components_fixture.h"

namespace {

using testing_support::ComponentsTest;

constexpr const char* kScript = "C:\\Program Files\\QV\\Ingres [EI]\\addvnode1.vn";
constexpr const char* kCmd = "C:\\WINDOWS\\system32\\cmd.exe";
constexpr const char* kVnodeIcf = "KDBHost=DBSRV\nKDBUser=ingres\nKDBPassword=pw 1\nKDBID=XY\n";
constexpr const char* kScriptText =
    "create global connection DBSRVvn1 DBSRV wintcp XY\r\n"
    "create global login DBSRVvn1 ingres pw 1\r\n";

class IngresVnodeTest : public ComponentsTest {
 protected:
  IngresVnodeTest() { sim->MakeDirectory(kIngresDir); }

  // The command interpreter, noting the script as netutil would read it.
  void RegisterCmd(std::uint32_t exitCode, const std::string& scriptPath = kScript) {
    sim->RegisterProgram(kCmd,
                         [this, exitCode, scriptPath](os::SimMachine& m, const os::SimLaunch&) {
                           seenScript = m.ReadFileText(scriptPath).value_or("<missing>");
                           return exitCode;
                         });
  }

  std::string seenScript;
};

TEST_F(IngresVnodeTest, NetutilRunsHiddenOnTheScriptWhichIsThenRemoved) {
  Icf(kVnodeIcf);
  sim->WriteFileText(kScript, std::string(600, 'x') + "\r\nold line\r\n");  // longer, replaced
  for (std::uint32_t netutilExit : {0u, 1u}) {
    RegisterCmd(netutilExit);
    EXPECT_EQ(theApp.CreateIngresVnode(), 1) << netutilExit;
    EXPECT_EQ(seenScript, kScriptText);
    EXPECT_FALSE(sim->Exists(kScript));  // the database password does not stay on disk
  }
  sim->SetSystemDirectory("C:\\nocmd");  // the interpreter cannot be started
  EXPECT_EQ(theApp.CreateIngresVnode(), 1);
  EXPECT_FALSE(sim->Exists(kScript));
  ASSERT_EQ(sim->Launches().size(), 2u);
  const os::SimLaunch& run = sim->Launches()[0];
  EXPECT_TRUE(run.viaShellExecute);
  EXPECT_EQ(run.programPath, kCmd);
  EXPECT_EQ(run.parameters,
            "/C \"\"C:\\Program Files\\QV\\Ingres [EI]\\ingres\\bin\\netutil\" -file "
            "addvnode1.vn\"");
  EXPECT_EQ(run.workDir, kIngresDir);
  EXPECT_EQ(run.show, 0);  // hidden
  EXPECT_TRUE(Logged("Setup.exe: Create a VNode script"));
  EXPECT_TRUE(Logged("Setup.exe: Run netutil command to create vnode"));
}

TEST_F(IngresVnodeTest, MissingKdbInformationMakesNoVnode) {
  struct Case {
    const char* icf;
    std::optional<std::string> scriptBefore;
    std::optional<std::string> scriptAfter;
  } cases[] = {
      {"KDBHost=DBSRV\nKDBUser=ingres\nKDBPassword=pw\n", std::nullopt, ""},
      {"KDBHost=DBSRV\nKDBUser=ingres\nKDBPassword=pw\n", "kept\r\n", "kept\r\n"},
      {"KDBUser=ingres\nKDBPassword=pw\nKDBID=XY\n", std::nullopt, ""},
      {"KDBHost=DBSRV\nKDBPassword=pw\nKDBID=XY\n", std::nullopt, ""},
      {"KDBHost=DBSRV\nKDBUser=ingres\nKDBID=XY\n", std::nullopt, ""},
  };
  RegisterCmd(0);
  for (const Case& t : cases) {
    sim->DeleteFile(kScript);
    if (t.scriptBefore) sim->WriteFileText(kScript, *t.scriptBefore);
    Icf(t.icf);
    EXPECT_EQ(theApp.CreateIngresVnode(), 0) << t.icf;
    EXPECT_EQ(sim->ReadFileText(kScript), t.scriptAfter) << t.icf;
  }
  EXPECT_TRUE(sim->Launches().empty());
  EXPECT_TRUE(Logged("Setup.exe: Can not get KDB information. Vnode won't be created.\n"));
}

TEST_F(IngresVnodeTest, WithoutProgramFilesTheRootIsUsedAndAScriptThatCannotBeOpenedMakesNoVnode) {
  Icf(kVnodeIcf);
  sim->DeleteRegKeyTree("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  sim->SetCurrentDirectory("C:\\");
  RegisterCmd(0, "C:\\addvnode1.vn");
  // Without Program Files the script lands in the root of the current drive.
  EXPECT_EQ(theApp.CreateIngresVnode(), 1);
  EXPECT_EQ(seenScript, kScriptText);
  ASSERT_EQ(sim->Launches().size(), 1u);
  EXPECT_EQ(sim->Launches()[0].parameters, "/C \"\"\\ingres\\bin\\netutil\" -file addvnode1.vn\"");

  sim->SetRegString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                    "C:\\nowhere");
  EXPECT_EQ(theApp.CreateIngresVnode(), 0);
  EXPECT_TRUE(Logged("Setup.exe: Can NOT create a VNode script."));
  EXPECT_EQ(sim->Launches().size(), 1u);
}

}  // namespace

#include "install/process_runner.h"

#include <gtest/gtest.h>

#include "app/setup_log.h"
#include "install/pre_post_commands.h"
#include "os/constants.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

class ProcessRunnerTest : public LauncherTest {
 protected:
  ProcessRunnerTest() {
    UseMediumPaths();
    sim->MakeDirectory("C:\\cur");
    sim->SetCurrentDirectory("C:\\cur");
  }
  std::string SetupLog() { return sim->ReadFileText(app::SetupLogPath()).value_or(""); }
};

struct CommandCase {
  const char* command;
  const char* program;  // registered, and expected to be the one started
  const char* arguments;
  const char* workDir;  // as the process sees it
};

TEST_F(ProcessRunnerTest, CommandTextIsResolvedAndRunFromTheProgramsFolder) {
  const CommandCase cases[] = {
      {"tool.exe /x", "D:\\tool.exe", "/x", "D:\\"},  // beside the launcher
      {"tool.exe", "D:\\tool.exe", "", "D:\\"},       // no arguments
      {"sub\\t.exe /a /b", "D:\\sub\\t.exe", "/a /b", "D:\\sub"},
      {"C:\\bin\\t.exe /q", "C:\\bin\\t.exe", "/q", "C:\\bin"},  // full path
      {"t.exe /p:C", "C:\\cur\\t.exe", "/p:C", "C:\\cur"},       // colon in the arguments only
      {"\\root\\t.exe", "C:\\root\\t.exe", "", "C:\\root"},      // root of the current drive
      {"x\\..\\tool.exe /y", "D:\\tool.exe", "/y", "D:\\"},      // made a full path
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.command);
    std::size_t before = sim->Launches().size();
    sim->RegisterProgramExitCode(c.program, 0);
    install::RunCommandAndWait(c.command, "");
    ASSERT_EQ(sim->Launches().size(), before + 1);
    const os::SimLaunch& launch = sim->Launches().back();
    EXPECT_EQ(launch.programPath, c.program);
    EXPECT_EQ(launch.workDir, c.workDir);
    std::string line = launch.commandLine;
    EXPECT_EQ(line.rfind(c.program, 0), 0u) << line;  // the full path first, unquoted
    if (*c.arguments != '\0') {
      EXPECT_EQ(line.substr(line.size() - std::string(c.arguments).size()), c.arguments);
    } else {
      EXPECT_EQ(line, c.program);
    }
    EXPECT_TRUE(launch.inheritHandles);
    EXPECT_EQ(launch.creationFlags, os::kDetachedProcess);
  }
}

TEST_F(ProcessRunnerTest, InDirRunnerUsesTheGivenFolderOrTheCurrentOne) {
  sim->RegisterProgramExitCode("D:\\db\\inst.exe", 0);
  sim->MakeDirectory("C:\\work");
  const std::string work = "C:\\work";
  install::RunCommandInDirAndWait("db\\inst.exe /s", &work, "");
  install::RunCommandInDirAndWait("db\\inst.exe /s", nullptr, "");
  ASSERT_EQ(sim->Launches().size(), 2u);
  for (const os::SimLaunch& launch : sim->Launches()) {
    EXPECT_EQ(launch.programPath, "D:\\db\\inst.exe");
    EXPECT_FALSE(launch.inheritHandles);
    EXPECT_EQ(launch.creationFlags, os::kNormalPriorityClass | os::kDetachedProcess);
  }
  EXPECT_EQ(sim->Launches()[0].workDir, "C:\\work");
  EXPECT_EQ(sim->Launches()[1].workDir, "C:\\cur");
}

TEST_F(ProcessRunnerTest, WaitsUntilTheProgramHasEnded) {
  struct WaitCase {
    std::uint32_t exitCode;
    std::uint32_t runMs;
  };
  // 259 is also what a running process answers: the signalled handle tells them apart.
  for (WaitCase c : {WaitCase{0, 5000}, WaitCase{1603, 0}, WaitCase{os::kStillActive, 2000}}) {
    SCOPED_TRACE(c.exitCode);
    sim->RegisterProgramExitCode("D:\\tool.exe", c.exitCode, c.runMs);
    std::uint64_t start = sim->NowMs();
    install::RunCommandAndWait("tool.exe", "");
    std::uint64_t waited = sim->NowMs() - start;
    EXPECT_GE(waited, c.runMs);
    EXPECT_LT(waited, c.runMs + 1000u);
  }
}

TEST_F(ProcessRunnerTest, WaitBoxShowsTheMessageWhileTheProgramRuns) {
  sim->RegisterProgramExitCode("D:\\tool.exe", 0, 3000);
  install::RunCommandAndWait("tool.exe", "Installing the agent");
  install::RunCommandInDirAndWait("tool.exe", nullptr, "");
  ASSERT_EQ(sim->WaitBoxes().size(), 1u);  // none for an empty message
  EXPECT_EQ(sim->WaitBoxes()[0].message, "Installing the agent");
  EXPECT_TRUE(sim->WaitBoxes()[0].destroyed);
  install::RunCommandAndWait("missing.exe", "Not shown");
  EXPECT_EQ(sim->WaitBoxes().size(), 1u);
}

TEST_F(ProcessRunnerTest, ProgramThatCannotStartIsLoggedAndPassedOver) {
  sim->WriteFileText("D:\\notaprogram.exe", "text");
  for (const char* command : {"missing.exe /x", "notaprogram.exe"}) {
    install::RunCommandAndWait(command, "Please wait");
    EXPECT_NE(SetupLog().find(std::string("RunCommandAndWait - Failed to launch ") + command),
              std::string::npos)
        << SetupLog();
  }
  install::RunCommandInDirAndWait("%s%n.exe", nullptr, "");
  EXPECT_NE(SetupLog().find("RunCommandInDirAndWait - Failed to launch %s%n.exe"),
            std::string::npos);
  EXPECT_TRUE(sim->Launches().empty());
  EXPECT_TRUE(sim->MessageBoxes().empty());
}

TEST_F(ProcessRunnerTest, CommandListsRunInOrderUpToTheFirstMissingIndex) {
  std::vector<std::string> ran;
  for (const char* name : {"a", "b", "c", "d"}) {
    sim->RegisterProgram(
        std::string("D:\\") + name + ".exe",
        [&ran, name](os::SimMachine&, const os::SimLaunch& launch) {
          ran.push_back(name + launch.commandLine.substr(launch.programPath.size()));
          return 0u;
        });
  }
  struct ListCase {
    const char* inf;
    std::vector<std::string> expected;
  };
  const ListCase cases[] = {
      {"[PreInstall]\nCommand1=a.exe /1\nMessage1=First\nCommand2=missing.exe\nCommand3=b.exe\n"
       "[PostInstall]\nCommand1=c.exe\n",
       {"a /1", "b"}},
      {"[PreInstall]\nCommand2=a.exe\n", {}},  // gap at 1: nothing runs
      {"[PreInstall]\nCommand1=a.exe\nCommand2=\nCommand3=b.exe\n", {"a"}},  // empty ends it
      {"[PostInstall]\nCommand1=d.exe\n", {}},                               // other phase only
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.inf);
    ran.clear();
    SetupInf(c.inf);
    EXPECT_NE(install::RunPreInstallCommands(), 0);
    EXPECT_EQ(ran, c.expected);
  }
  SetupInf("[PostInstall]\nCommand1=d.exe /z\nCommand2=c.exe\n[PreInstall]\nCommand1=a.exe\n");
  ran.clear();
  EXPECT_NE(install::RunPostInstallCommands(), 0);
  EXPECT_EQ(ran, (std::vector<std::string>{"d /z", "c"}));
}

}  // namespace

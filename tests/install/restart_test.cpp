#include "install/restart.h"

#include <gtest/gtest.h>

#include "app/setup_app.h"
#include "cls/kelm_registry.h"
#include "cls/remote_mailslot.h"
#include "os/constants.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

constexpr std::uint32_t kRebootAndForce = 6;
const std::string kMsiDll = "C:\\WINDOWS\\system32\\msi.dll";
const std::string kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class RestartTest : public LauncherTest {
 protected:
  RestartTest() {
    UseMediumPaths();
    app::Ctx().language = "1033";
    SetupRes("[1033]\n9063=Restart before the install?\n9073=Restart now?\n");
  }
  void UseStatusHost() {
    app::Ctx().remoteStatus = 1;
    app::Ctx().masterHost = "host";
  }
  static std::vector<std::pair<std::uint32_t, std::uint32_t>> StatusCodes(
      const os::SimMachine& machine) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> codes;
    for (const os::SimMailslotMessage& m : machine.MailslotMessages())
      if (auto decoded = cls::DecodeStatus(m.data))
        codes.emplace_back(decoded->code, decoded->level);
    return codes;
  }
  app::CSetupApp theApp;
};

TEST_F(RestartTest, PromptRestartsOnlyOnYesOfAnInteractiveUser) {
  struct PromptCase {
    const char* name;
    int quiet;
    int message;
    int answer;
    std::uint32_t platform;
    std::vector<std::uint32_t> exits;
    std::vector<std::string> privileges;
  };
  const PromptCase cases[] = {
      {"yes on NT",
       0,
       9073,
       os::kIdYes,
       os::kPlatformNt,
       {kRebootAndForce},
       {"+SeShutdownPrivilege", "-SeShutdownPrivilege"}},
      {"yes on 98", 0, 9073, os::kIdYes, os::kPlatformWindows, {kRebootAndForce}, {}},
      {"no", 0, 9073, os::kIdNo, os::kPlatformNt, {}, {}},
      {"quiet", 1, 9073, os::kIdYes, os::kPlatformNt, {}, {}},
      {"no text", 0, 9999, os::kIdYes, os::kPlatformNt, {}, {}},
  };
  for (const PromptCase& c : cases) {
    SCOPED_TRACE(c.name);
    os::ScopedSimMachine machine;
    os::OsVersion version = machine->Version();
    version.platformId = c.platform;
    machine->SetVersion(version);
    machine->WriteFileText(kMedium + "setupres.ini", "[1033]\n9073=Restart now?\n");
    machine->QueueMessageBoxAnswer(c.answer);
    app::Ctx().quiet = c.quiet;
    install::PromptRestart(c.message);
    bool asked = !c.quiet && c.message == 9073;
    ASSERT_EQ(machine->MessageBoxes().size(), asked ? 1u : 0u);
    if (asked) {
      EXPECT_EQ(machine->MessageBoxes()[0].text, "Restart now?");
      EXPECT_EQ(machine->MessageBoxes()[0].flags, os::kMbYesNo | os::kMbIconWarning);
    }
    EXPECT_EQ(machine->ExitWindowsRequests(), c.exits);
    EXPECT_EQ(machine->PrivilegeChanges(), c.privileges);
  }
}

TEST_F(RestartTest, RebootRequestIsTakenOnce) {
  const std::string& key = cls::CKelmRegistry::m_sTessmarkKey;
  struct RequestCase {
    const char* name;
    std::optional<std::string> data;
    int expected;
    bool removed;
  };
  const RequestCase cases[] = {
      {"1", std::string("\x01\0\0\0", 4), 1, true},
      {"2", std::string("\x02\0\0\0", 4), 0, true},
      {"one byte 1", std::string("\x01", 1), 1, true},
      {"too long", std::string(8, '\x01'), 0, false},
      {"none", std::nullopt, 0, false},
  };
  for (const RequestCase& c : cases) {
    SCOPED_TRACE(c.name);
    sim->MakeRegKey(key);
    if (c.data) sim->SetRegValue(key, "reboot", os::kRegDword, *c.data);
    EXPECT_EQ(install::TakeRebootRequest(), c.expected);
    EXPECT_EQ(sim->RegValueData(key, "reboot").has_value(), c.data && !c.removed);
    if (c.removed) EXPECT_EQ(install::TakeRebootRequest(), 0);
    sim->DeleteRegKeyTree(key);
  }
  EXPECT_EQ(install::TakeRebootRequest(), 0);  // no product key
}

TEST_F(RestartTest, EngineUpdateRunsOnlyWhenTheEngineIsTooOld) {
  SetupInf("[Components]\nMSISetup=engine\\update.exe\n");
  sim->RegisterProgramExitCode("D:\\engine\\update.exe", 0);
  sim->SetRegString(kRunOnce, "setup", "D:\\setup.exe");
  sim->SetFileVersion(kMsiDll, os::FileVersion{3, 1, 4000, 0});
  EXPECT_EQ(theApp.UpdateInstallerEngine(), 0);
  EXPECT_TRUE(sim->Launches().empty());

  sim->SetFileVersion(kMsiDll, os::FileVersion{2, 0, 0, 0});
  EXPECT_EQ(theApp.UpdateInstallerEngine(), 1);
  ASSERT_EQ(sim->Launches().size(), 1u);
  EXPECT_EQ(sim->Launches()[0].commandLine, "D:\\engine\\update.exe /Q");
  EXPECT_EQ(sim->Launches()[0].workDir, "D:\\engine");
  EXPECT_EQ(sim->Launches()[0].creationFlags, os::kDetachedProcess);
  EXPECT_FALSE(sim->RegValueData(kRunOnce, "setup").has_value());
  EXPECT_EQ(app::Ctx().rebootNeeded, 1);
}

TEST_F(RestartTest, EngineSetupResults) {
  struct EngineCase {
    const char* name;
    std::optional<std::uint32_t> exitCode;  // none: the program is missing
    int answer;
    int result;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> statuses;
    std::size_t boxes;
    std::vector<std::uint32_t> exits;
  };
  const EngineCase cases[] = {
      {"success", 0u, os::kIdNo, 1, {{27, 1}}, 0, {}},
      {"restart, yes", 3010u, os::kIdYes, 1, {{27, 1}, {26, 3}}, 1, {kRebootAndForce}},
      {"restart, no", 3010u, os::kIdNo, 1, {{27, 1}, {26, 3}}, 1, {}},
      {"failure", 1603u, os::kIdYes, 0, {{27, 1}, {26, 3}}, 0, {}},
      // Nothing ran, so nothing was updated and no restart is due.
      {"missing", std::nullopt, os::kIdYes, 0, {}, 0, {}},
  };
  for (const EngineCase& c : cases) {
    SCOPED_TRACE(c.name);
    os::ScopedSimMachine machine;
    app::ResetContext();
    UseMediumPaths();
    UseStatusHost();
    app::Ctx().language = "1033";
    machine->WriteFileText(kMedium + "setupres.ini", "[1033]\n9063=Restart before?\n");
    machine->SetFileVersion(kMsiDll, os::FileVersion{2, 0, 0, 0});
    machine->WriteFileText(kMedium + "setup.inf", "[Components]\nMSISetup=C:\\e\\msi.exe\n");
    if (c.exitCode) machine->RegisterProgramExitCode("C:\\e\\msi.exe", *c.exitCode);
    machine->SetSystemMessage(3010, "Restart required.");
    machine->QueueMessageBoxAnswer(c.answer);
    app::CSetupApp app;
    EXPECT_EQ(app.RunEngineSetup("C:\\e\\msi.exe"), c.result);
    EXPECT_EQ(StatusCodes(*machine), c.statuses);
    EXPECT_EQ(machine->MessageBoxes().size(), c.boxes);
    EXPECT_EQ(machine->ExitWindowsRequests(), c.exits);
    EXPECT_TRUE(machine->PrivilegeChanges().empty());
    EXPECT_EQ(app::Ctx().exitCode, c.exitCode.value_or(0));
    EXPECT_EQ(app.UpdateInstallerEngine(), c.result);
    EXPECT_EQ(app::Ctx().rebootNeeded, c.result);
  }
}

TEST_F(RestartTest, ComponentPackageResults) {
  struct MsmCase {
    const char* name;
    std::optional<std::uint32_t> exitCode;
    int remote;
    int result;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> statuses;
  };
  const MsmCase cases[] = {
      {"restart, host", 3010u, 1, 1, {{29, 1}, {31, 2}}}, {"restart", 3010u, 0, 1, {}},
      {"failure, host", 1603u, 1, 0, {{29, 1}, {26, 3}}}, {"success, host", 0u, 1, 0, {{29, 1}}},
      {"missing installer", std::nullopt, 1, 0, {}},
  };
  for (const MsmCase& c : cases) {
    SCOPED_TRACE(c.name);
    os::ScopedSimMachine machine;
    app::ResetContext();
    UseMediumPaths();
    if (c.remote) UseStatusHost();
    machine->WriteFileText(kMedium + "setup.inf", "[Components]\nMSMSetup=comp\\c.msi\n");
    machine->WriteFileText(kMedium + "comp\\c.msi", "package");
    if (c.exitCode)
      machine->RegisterProgramExitCode("C:\\WINDOWS\\system32\\msiexec.exe", *c.exitCode);
    app::CSetupApp app;
    EXPECT_EQ(app.RunMsmSetup(), c.result);
    EXPECT_EQ(StatusCodes(*machine), c.statuses);
    if (c.exitCode) {
      ASSERT_EQ(machine->Launches().size(), 1u);
      EXPECT_EQ(machine->Launches()[0].commandLine,
                std::string("msiexec.exe /i \"D:\\comp\\c.msi\" /qn REBOOT=\"R\" ") +
                    (c.remote ? "ALLUSERS=\"AllUsers\"" : ""));
      EXPECT_EQ(machine->Launches()[0].workDir, "D:\\comp");
    }
    EXPECT_TRUE(machine->MessageBoxes().empty());
  }
}

}  // namespace

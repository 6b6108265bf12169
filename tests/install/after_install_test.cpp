#include "install/after_install.h"

#include <gtest/gtest.h>

#include "app/setup_log.h"
#include "cls/kelm_registry.h"
#include "os/constants.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

const std::string kInProgress =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\InProgress";
const std::string kProductLine =
    "Product: QV Norvale Tessmark Backup Agent for Microsoft SharePoint --";
const std::string kSuccess = "Installation operation completed successfully";
const std::string kLog = "C:\\logs\\agent.log";

// ASCII text as the UTF-16 little-endian bytes that the installer writes.
std::string Utf16(const std::string& text) {
  std::string bytes;
  for (char c : text) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

class AfterInstallTest : public LauncherTest {
 protected:
  const std::string kRoot = cls::CKelmRegistry::m_sTessmarkKey;
  AfterInstallTest() { UseMediumPaths(); }
  std::string SetupLog() { return sim->ReadFileText(app::SetupLogPath()).value_or(""); }
  bool Logged(const std::string& line) { return SetupLog().find(line) != std::string::npos; }
};

TEST_F(AfterInstallTest, ProductIsInstalledWhenItsDescriptorIsRegistered) {
  struct InstalledCase {
    const char* inf;
    std::optional<std::size_t> valueBytes;  // under Products\AGENT
    int expected;
  };
  const InstalledCase cases[] = {
      {"[Setup]\nProductDescriptor=  AGENT \n", 10, 1},
      {"[Setup]\nProductDescriptor=AGENT\n", 49, 1},
      {"[Setup]\nProductDescriptor=AGENT\n", 60, 0},  // longer than the read allows
      {"[Setup]\nProductDescriptor=AGENT\n", std::nullopt, 0},
      {"[Setup]\n", 10, 0},
  };
  for (const InstalledCase& c : cases) {
    SCOPED_TRACE(c.inf);
    sim->DeleteRegKeyTree(kRoot);
    sim->MakeRegKey(kRoot + "\\Products");
    if (c.valueBytes)
      sim->SetRegValue(kRoot + "\\Products", "AGENT", os::kRegBinary,
                       std::string(*c.valueBytes, 'x'));
    SetupInf(c.inf);
    EXPECT_EQ(install::IsProductInstalled(), c.expected);
  }
}

TEST_F(AfterInstallTest, ProductFolderFollowsTheSystemPath) {
  const std::string env = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
  sim->SetEnvironmentVariable("SystemRoot", std::string("C:\\WINDOWS"));
  sim->SetEnvironmentVariable("PATH", std::string("C:\\user"));
  sim->SetRegValue(env, "PATH", os::kRegExpandSz, "");
  install::AddProductPathToPath("C:\\Program Files\\Product\\");
  EXPECT_EQ(sim->GetEnvironmentVariable("PATH"), ";C:\\Program Files\\Product\\");  // empty
  sim->SetRegValue(env, "PATH", os::kRegExpandSz, "%SystemRoot%\\system32;%SystemRoot%");
  install::AddProductPathToPath("C:\\Program Files\\Product\\");
  EXPECT_EQ(sim->GetEnvironmentVariable("PATH"),
            "C:\\WINDOWS\\system32;C:\\WINDOWS;C:\\Program Files\\Product\\");
  sim->SetRegAccessDenied(env, true);
  sim->SetEnvironmentVariable("PATH", std::string("C:\\user"));
  install::AddProductPathToPath("C:\\P\\");
  EXPECT_EQ(sim->GetEnvironmentVariable("PATH"), "C:\\user");
}

TEST_F(AfterInstallTest, LogTailIsReadAsUtf16) {
  struct TailCase {
    std::string bytes;
    std::string text;
  };
  const TailCase cases[] = {
      {Utf16("ok"), "ok"},
      {Utf16("caf") + std::string("\xe9\0", 2), "caf\xe9"},
      {std::string("\x41\x30\x42\0", 4), "AB"},  // no ANSI form: the unit's low byte
      {"odd", "o"},                              // a last half unit is dropped
  };
  for (const TailCase& c : cases) EXPECT_EQ(install::ConvertLogTail(c.bytes), c.text);
  EXPECT_EQ(install::ConvertLogTail(Utf16(std::string(5000, 'a'))).size(), 4000u);
}

TEST_F(AfterInstallTest, WaitForTheOtherInstallationThenCheckTheLogTail) {
  struct LogCase {
    const char* name;
    std::string log;
    int expected;
  };
  const std::string filler(3000, '.');
  const LogCase cases[] = {
      {"success", Utf16(kProductLine + " " + kSuccess), 1},
      {"other product", Utf16("Product: Other --" + kSuccess), 0},
      {"not UTF-16", kProductLine + kSuccess, 0},
      {"in the tail", Utf16(filler + kProductLine + kSuccess), 1},
      {"before the tail", Utf16(kProductLine + kSuccess + filler), 0},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.name);
    sim->WriteFileText(kLog, c.log);
    sim->MakeRegKey(kInProgress);
    std::uint64_t start = sim->NowMs();
    // The other installation ends after the third poll.
    os::Handle other = sim->StartThread(
        [this] {
          sim->Sleep(1200);
          sim->DeleteRegKeyTree(kInProgress);
          return 0u;
        },
        0);
    EXPECT_EQ(install::WaitCheckInstallStatus(kLog), c.expected);
    sim->WaitForSingleObject(other, os::kInfinite);
    sim->CloseHandle(other);
    EXPECT_EQ(sim->NowMs() - start, 1500u + 1000u);
    EXPECT_TRUE(Logged("WaitCheckInstallStatus - log file " + kLog));
    EXPECT_TRUE(
        Logged(std::string("WaitCheckInstallStatus - end with ") + (c.expected ? "ok" : "fail")));
  }
}

TEST_F(AfterInstallTest, OtherInstallationNeverSeenGivesUpAfter600Polls) {
  sim->WriteFileText(kLog, Utf16(kProductLine + kSuccess));
  std::uint64_t start = sim->NowMs();
  EXPECT_EQ(install::WaitCheckInstallStatus(kLog), 0);
  EXPECT_EQ(sim->NowMs() - start, 600u * 500u);
  EXPECT_TRUE(Logged("WaitCheckInstallStatus - begin"));
  EXPECT_FALSE(Logged("WaitCheckInstallStatus - log file"));
  EXPECT_TRUE(Logged("WaitCheckInstallStatus - end with fail"));
}

TEST_F(AfterInstallTest, BackupOperatorsAreGrantedTheProductRootKey) {
  const std::string open32 =
      "AddPermissionToNTBRootReg - 32bit Application Access 32bit registry. KEY_ALL_ACCESS";
  const std::string open64 =
      "AddPermissionToNTBRootReg - 64bit Application Access 64bit registry. KEY_ALL_ACCESS";
  const std::string open32to64 =
      "AddPermissionToNTBRootReg - 32bit Application Access 64bit registry. "
      "KEY_ALL_ACCESS|KEY_WOW64_64KEY";
  const std::string added =
      "AddPermissionToNTBRootReg - Success to add the Security Permission On the Registry.";
  const std::string already =
      "AddPermissionToNTBRootReg - Security Permission already added On the Registry.";
  const std::string failed =
      "AddPermissionToNTBRootReg - Failed to add the Security Permission On the Registry.";
  const std::string cannotOpen =
      "AddPermissionToNTBRootReg - Can not open the registry for add access permission.";
  const std::string wowRoot = "SOFTWARE\\Wow6432Node\\Quorvane\\Norvale Tessmark";
  struct GrantCase {
    const char* name;
    bool windows64;
    std::string keyAt;  // as a 64-bit program sees it; empty: no key
    std::optional<std::uint32_t> granted;
    bool unreadable;
    int expected;
    std::vector<std::string> lines;
  };
  const GrantCase cases[] = {
      {"add", false, kRoot, std::nullopt, false, 1, {open32, added}},
      {"already", false, kRoot, os::kKeyRead, false, 1, {open32, already}},
      {"other bits only", false, kRoot, 0x2u, false, 1, {open32, added}},
      {"grant fails", false, kRoot, std::nullopt, true, 0, {open32, failed}},
      {"other view", false, wowRoot, std::nullopt, false, 1, {open64, added}},
      {"64-bit view", true, kRoot, std::nullopt, false, 1, {open32to64, added}},
      {"no key", false, "", std::nullopt, false, 0, {cannotOpen}},
  };
  for (const GrantCase& c : cases) {
    SCOPED_TRACE(c.name);
    os::ScopedSimMachine machine;
    machine->Set64BitWindows(c.windows64);
    if (!c.keyAt.empty()) {
      machine->MakeRegKey(c.keyAt);
      machine->SetRegBuiltinGroupAccess(c.keyAt, 551, c.granted);
      machine->SetRegSecurityUnreadable(c.keyAt, c.unreadable);
    }
    EXPECT_EQ(install::AddPermissionToNTBRootReg(), c.expected);
    std::string log = machine->ReadFileText(app::SetupLogPath()).value_or("");
    std::size_t lines = 0;
    for (std::size_t at = log.find('\n'); at != std::string::npos; at = log.find('\n', at + 1))
      ++lines;
    EXPECT_EQ(lines, c.lines.size()) << log;
    for (const std::string& line : c.lines)
      EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line;
    if (c.expected == 1 && !c.keyAt.empty())
      EXPECT_EQ(machine->RegBuiltinGroupAccess(c.keyAt, 551).value_or(0) & 1u, 1u);
  }
}

TEST_F(AfterInstallTest, InstallerServiceIsRegisteredAgainWhenItsClassIsMissing) {
  const std::string msiexec = "C:\\WINDOWS\\system32\\Msiexec.exe";
  struct ServiceCase {
    const char* name;
    bool classKey;
    os::FileVersion msi;
    bool runs;
  };
  const ServiceCase cases[] = {
      {"registered", true, {4, 5, 0, 0}, false},
      {"engine too old", false, {2, 0, 0, 0}, false},
      {"missing", false, {4, 5, 0, 0}, true},
  };
  for (const ServiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    os::ScopedSimMachine machine;
    if (c.classKey) machine->MakeRegKey("SOFTWARE\\Classes\\IMsiServer");
    machine->SetFileVersion("C:\\WINDOWS\\system32\\msi.dll", c.msi);
    machine->RegisterProgramExitCode(msiexec, 0, 70000);  // longer than the wait
    install::RegisterMsiServerIfMissing();
    ASSERT_EQ(machine->Launches().size(), c.runs ? 1u : 0u);
    if (!c.runs) continue;
    EXPECT_EQ(machine->Launches()[0].commandLine, msiexec + " /regserver");
    EXPECT_EQ(machine->Launches()[0].workDir, "C:\\WINDOWS\\system32");
    EXPECT_EQ(machine->NowMs(), 60000u + 2000u);
  }
}

}  // namespace

#include "install/restart.h"

#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/kelm_registry.h"
#include "cls/msi_version.h"
#include "cls/remote_mailslot.h"
#include "fw/application.h"
#include "fw/text.h"
#include "os/system.h"

namespace install {

namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kSystemTextChars = 256;
constexpr std::uint32_t kRebootAndForce = os::kEwxReboot | os::kEwxForce;
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

bool AnsweredYes(const std::string& text) {
  return fw::AppMessageBox(text, os::kMbYesNo | os::kMbIconWarning) == os::kIdYes;
}

// A component setup's program, beside the launcher unless given as a full path.
struct ComponentPath {
  std::string full;
  std::string folder;
};
ComponentPath ResolveComponent(const std::string& name) {
  const app::SetupContext& c = app::Ctx();
  ComponentPath path;
  std::string given = fw::IsFullPathName(name) ? name : c.setupDir + name;
  if (!os::sys().FullPathName(given, kPathBuffer, &path.full)) path.full = given;
  fw::PathParts parts = fw::SplitPath(path.full);
  path.folder = parts.drive + parts.dir;
  return path;
}

// Starts a component setup detached, from its own folder; waits for it without serving
// messages. False when it cannot be started.
bool RunComponentSetup(const std::string& commandLine, const std::string& folder,
                       std::uint32_t statusCode, std::uint32_t* exitCode) {
  os::System& sys = os::sys();
  const app::SetupContext& c = app::Ctx();
  os::ProcessStart start;
  start.commandLine = commandLine;
  start.workDir = folder;
  start.inheritHandles = true;
  start.creationFlags = os::kDetachedProcess;
  os::ProcessInfo info;
  if (!sys.CreateProcess(start, &info)) return false;
  if (c.remoteStatus) cls::CRemoteMailslot::SendStatus(c.masterHost, statusCode, 1);
  sys.WaitForSingleObject(info.process, os::kInfinite);
  *exitCode = 0;
  sys.GetExitCodeProcess(info.process, exitCode);
  sys.CloseHandle(info.thread);
  sys.CloseHandle(info.process);
  return true;
}

std::string SystemText(std::uint32_t code) {
  return os::sys().SystemMessage(code, kSystemTextChars).value_or("");
}

}  // namespace

std::uint32_t RestartWindows() {
  os::System& sys = os::sys();
  sys.AdjustPrivilege(kShutdownPrivilege, true);
  sys.ExitWindows(kRebootAndForce);
  return sys.AdjustPrivilege(kShutdownPrivilege, false);
}

void PromptRestart(int messageNumber) {
  std::string text = app::GetMessageText(messageNumber);
  if (app::Ctx().quiet || fw::EqualsNoCase(text, "NULL") || !AnsweredYes(text)) return;
  if (os::sys().Version().platformId == os::kPlatformNt)
    RestartWindows();
  else
    os::sys().ExitWindows(kRebootAndForce);
}

int TakeRebootRequest() {
  os::System& sys = os::sys();
  cls::CKelmRegistry registry(1, nullptr);
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, cls::CKelmRegistry::m_sTessmarkKey, os::kKeyAllAccess,
                     &key) != os::kErrorSuccess)
    return 0;
  std::uint32_t type = 0;
  std::string data;
  int result = 0;
  if (sys.RegQueryValue(key, "reboot", &type, &data, 4) == os::kErrorSuccess) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i)
      value |= std::uint32_t(static_cast<std::uint8_t>(data[i])) << (8 * i);
    result = value == 1 ? 1 : 0;
    sys.RegDeleteValue(key, "reboot");
  }
  sys.RegCloseKey(key);
  return result;
}

}  // namespace install

namespace app {

int CSetupApp::UpdateInstallerEngine() {
  os::System& sys = os::sys();
  SetupContext& c = Ctx();
  if (cls::IsMsiVersionOK(0)) return 0;
  std::string program = sys.ProfileString(c.setupInfPath, "Components", "MSISetup", "", 260);
  if (program.empty()) return 0;
  if (!RunEngineSetup(program)) return 0;
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, install::kRunOnceKey, os::kKeyAllAccess, &key) ==
      os::kErrorSuccess) {
    std::uint32_t type = 0;
    std::string data;
    if (sys.RegQueryValue(key, "setup", &type, &data, 260) == os::kErrorSuccess)
      sys.RegDeleteValue(key, "setup");
    sys.RegCloseKey(key);
  }
  c.rebootNeeded = 1;
  return 1;
}

int CSetupApp::RunEngineSetup(std::string program) {
  SetupContext& c = Ctx();
  install::ComponentPath path = install::ResolveComponent(program);
  std::uint32_t code = 0;
  // An engine setup that could not even start has updated nothing: no restart is due.
  if (!install::RunComponentSetup(path.full + " /Q", path.folder, 27, &code)) {
    WriteSetupLog("RunEngineSetup - Failed to launch %s", path.full);
    return 0;
  }
  c.exitCode = code;
  if (code != 0) {
    std::string text = install::SystemText(code);
    if (!c.quiet && code == os::kMsiRebootRequired && install::AnsweredYes(GetMessageText(9063)))
      os::sys().ExitWindows(install::kRebootAndForce);
    if (c.remoteStatus) cls::CRemoteMailslot::SendStatus(c.masterHost, 26, 3, text);
  }
  return code == 0 || code == os::kMsiRebootRequired ? 1 : 0;
}

int CSetupApp::RunMsmSetup() {
  SetupContext& c = Ctx();
  std::string package = os::sys().ProfileString(c.setupInfPath, "Components", "MSMSetup", "", 260);
  if (package.empty()) return 0;
  install::ComponentPath path = install::ResolveComponent(package);
  std::string command = "msiexec.exe /i \"" + path.full + "\" /qn REBOOT=\"R\" ";
  if (c.remoteStatus) command += "ALLUSERS=\"AllUsers\"";
  std::uint32_t code = 0;
  if (!install::RunComponentSetup(command, path.folder, 29, &code)) return 0;
  if (code != 0 && code != os::kMsiRebootRequired && c.remoteStatus)
    cls::CRemoteMailslot::SendStatus(c.masterHost, 26, 3, install::SystemText(code));
  if (code != os::kMsiRebootRequired) return 0;
  if (c.remoteStatus) cls::CRemoteMailslot::SendStatus(c.masterHost, 31, 2);
  return 1;
}

}  // namespace app

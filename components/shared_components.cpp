// The management database install and the order of the shared components.
#include "components/shared_components.h"

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/setup_icf.h"
#include "components/heartbeat.h"
#include "components/identity_component.h"
#include "components/ingres_vnode.h"
#include "components/registry_files.h"
#include "fw/text.h"
#include "install/process_runner.h"

namespace components {

namespace {

constexpr const char* kSection = "PreInstallSCC";
constexpr int kMaxKdbConversions = 3;

// The installer command of setup.inf, or empty when there is none to run.
std::string ReadKdbCommandFormat() {
  std::string format =
      os::sys().ProfileString(app::Ctx().setupInfPath, kSection, "Command_KDB", "", kPathBuffer);
  if (format.empty() || KdbCommandLine(format, "", "", "")) return format;
  app::WriteMsiLogLine("Setup.exe: Command_KDB is not a command format and is not run: " + format);
  return std::string();
}

std::string ReadKdbMessage() {
  return os::sys().ProfileString(app::Ctx().setupInfPath, kSection, "Message_KDB", "", kPathBuffer);
}

// Runs the installer and checks that the system's II_SYSTEM names the folder it was to
// install into; a mismatch ends the setup.
void RunKdbInstaller(const std::string& format, const std::string& folder,
                     const std::string& responseName, const std::string& logPrefix,
                     const std::string& mismatchLine) {
  std::string message = ReadKdbMessage();
  std::string commandLine =
      KdbCommandLine(format, folder, app::Ctx().setupIcfPath, responseName).value_or("");
  app::WriteMsiLogLine(logPrefix + commandLine);
  install::RunCommandInDirAndWait(commandLine, nullptr, message);
  std::string location;
  if (!ReadRegistryString(os::kHkeyLocalMachine, kSystemEnvironmentKey, "II_SYSTEM", &location) ||
      !SamePathNoCase(location, folder)) {
    app::WriteMsiLogLine(mismatchLine);
    EndSetupProcess();
  }
}

std::string IngresFolderOrEnd() {
  std::string folder = IngresFolder();
  if (folder.empty()) {
    app::WriteMsiLogLine("Setup.exe: Can not find ProgramFilesDir");
    EndSetupProcess();
  }
  return folder;
}

void InstallLocalDatabase() {
  app::WriteMsiLogLine("Setup.exe: Install KDB");
  std::string format = ReadKdbCommandFormat();
  if (format.empty()) return;
  std::string folder;
  if (!ReadRegistryString(os::kHkeyLocalMachine, kIngresInstallationKey, "II_SYSTEM", &folder))
    folder = IngresFolderOrEnd();
  RunKdbInstaller(format, folder, "scc.rsp", "Setup.exe: KDB Install command: ",
                  "Setup.exe: KDB Install location does not match II_SYSTEM");
  app::WriteMsiLogLine("Setup.exe: Install Ingres KDB completed!");
}

// 1, or the virtual node's result when Ingres Net was installed.
int InstallIngresNet(app::CSetupApp& theApp, const cls::CSetupIcf& icf) {
  std::optional<std::string> hostName = os::sys().HostName(kPathBuffer);
  if (!hostName) app::WriteMsiLogLine("Setup.exe: Using existing KDB. Can not get local host name");
  if (fw::EqualsNoCase(icf.KDBHost(), hostName.value_or(""))) return 1;

  app::WriteMsiLogLine("Setup.exe: Install Ingres NET");
  std::string format = ReadKdbCommandFormat();
  if (format.empty()) return 1;
  std::string folder = IngresFolderOrEnd();
  RunKdbInstaller(format, folder, "ingresnet.rsp", "Setup.exe: Ingres Net Install command: ",
                  "Setup.exe: Ingres NET Install location does not match II_SYSTEM");
  app::WriteMsiLogLine("Setup.exe: Install Ingres NET completed!");
  return theApp.CreateIngresVnode();
}

}  // namespace

std::optional<std::string> KdbCommandLine(const std::string& format, const std::string& folder,
                                          const std::string& icfPath,
                                          const std::string& responseName) {
  fw::FormatShape shape = fw::InspectFormat(format);
  if (shape.conversions > kMaxKdbConversions || !shape.onlyStrings) return std::nullopt;
  return fw::FormatText(format, {folder, icfPath, responseName});
}

}  // namespace components

namespace app {

int CSetupApp::InstallSharedComponents() {
  components::CHeartbeat heartbeat;
  heartbeat.Start();
  int result = 1;
  WriteMsiLogLine(m_lpCmdLine);
  cls::CSetupIcf icf(Ctx().setupIcfPath);
  if (icf.LocalKDB() == "YES")
    components::InstallLocalDatabase();
  else
    result = components::InstallIngresNet(*this, icf);
  if (icf.LocaleKSM() == "YES") components::InstallIdentityComponent();
  heartbeat.Stop();
  return result;
}

}  // namespace app

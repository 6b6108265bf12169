// The second half of the install worker: the installer's result becomes a failure text, a
// status report and perhaps a restart; then the program is told to close.
#include "app/catalogue.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/remote_mailslot.h"
#include "fw/application.h"
#include "fw/text.h"
#include "install/after_install.h"
#include "install/install_worker.h"
#include "install/pre_post_commands.h"
#include "install/restart.h"
#include "install/upgrade_plugin.h"
#include "os/system.h"
#include "ui/main_window.h"

namespace install {

namespace {

constexpr std::size_t kSystemTextChars = 256;
constexpr std::size_t kFormattedText = 1024;
constexpr const char* kMessage10Default =
    "Installation failure.  Please check the setup log for detail.";

std::string FailureTextFor(std::uint32_t code) {
  os::System& sys = os::sys();
  const app::SetupContext& c = app::Ctx();
  std::optional<std::string> systemText = sys.SystemMessage(code, kSystemTextChars);
  std::string text = systemText.value_or("");
  if (code == os::kMsiFatalError || !systemText) {
    std::string message10 = sys.ProfileString(c.setupResPath, c.language, "10", kMessage10Default, 260);
    if (!message10.empty())
      text = fw::CutToBuffer(fw::FormatText(message10, {c.msiLogPath}), kFormattedText);
  }
  return text;
}

void ReportOutcome(const WorkerRun& run) {
  const app::SetupContext& c = app::Ctx();
  const std::string& host = c.masterHost;
  if (!run.failureText.empty()) {
    if (c.masterSetup) cls::CRemoteMailslot::SendStatus(host, 26, 3, c.productCode, run.failureText);
    if (c.remoteStatus) cls::CRemoteMailslot::SendStatus(host, 26, 3, run.failureText);
  } else if (c.rebootNeeded) {
    if (c.masterSetup)
      cls::CRemoteMailslot::SendStatus(host, 30, 2, c.productCode,
                                       fw::FormatText(app::GetMessageText(9069)));
    else if (c.remoteStatus)
      cls::CRemoteMailslot::SendStatus(host, 30, 2);
    PromptRestart(9073);
  } else {
    if (c.masterSetup)
      cls::CRemoteMailslot::SendStatus(host, 4, 2, c.productCode, "");
    else if (c.remoteStatus)
      cls::CRemoteMailslot::SendStatus(host, 4, 2);
  }
}

}  // namespace

void HandleInstallResult(WorkerRun& run) {
  os::System& sys = os::sys();
  app::SetupContext& c = app::Ctx();

  bool waitedSuccess = false;
  if (fw::EqualsNoCase(c.productCode, "ZODIDEZ") && run.resultCode == os::kMsiInstallInProgress &&
      WaitCheckInstallStatus(c.msiLogPath)) {
    run.resultCode = 0;
    waitedSuccess = true;
  }
  if (!waitedSuccess && run.resultCode != 0 && run.resultCode != os::kMsiRebootRequired)
    run.failureText = FailureTextFor(run.resultCode);

  if (IsProductInstalled()) {
    CallAfterUpgrade(c.setupInfPath, c.language, c.quiet ? 1 : 0);
    RunPostInstallCommands();
  }

  if (AddPermissionToNTBRootReg() == 1)
    app::WriteSetupLog("Success call AddPermissionToNTBRootReg() function.%s", "");
  else
    app::WriteSetupLog("Failed call AddPermissionToNTBRootReg() function.%s", "");

  if (!c.remoteStatus && !c.masterSetup &&
      sys.FileAttributes(c.setupIcfPath) != os::kInvalidFileAttributes)
    sys.DeleteFile(c.setupIcfPath);

  if (TakeRebootRequest() || run.resultCode == os::kMsiRebootRequired) c.rebootNeeded = 1;

  ReportOutcome(run);
}

void HandleStartFailure(WorkerRun& run) {
  const app::SetupContext& c = app::Ctx();
  std::string message = fw::CutToBuffer(
      fw::FormatText(app::GetMessageText(9013), {run.packagePath}), 260);
  std::string statusText = "\"" + message + "\"";
  std::uint32_t code = c.rebootNeeded ? 30 : 26;
  if (c.masterSetup) cls::CRemoteMailslot::SendStatus(c.masterHost, code, 3, c.productCode, statusText);
  if (c.remoteStatus) cls::CRemoteMailslot::SendStatus(c.masterHost, code, 3);
  if (c.rebootNeeded) PromptRestart(9073);
}

void CompleteInstall(WorkerRun&) {
  RegisterMsiServerIfMissing();
  fw::Application* app = fw::App();
  if (app == nullptr) return;
  if (app->m_pMainWnd != nullptr && app->m_pMainWnd->PostToWindow(ui::kWmSetupFinished, 0, 0))
    return;
  // No window to close: end the message loop directly, or the program never ends.
  os::sys().PostThreadMessage(app->m_nThreadID, os::kWmQuit, 0, 0);
}

}  // namespace install

#include "install/install_worker.h"

#include <vector>

#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/remote_mailslot.h"
#include "fw/text.h"
#include "install/after_install.h"
#include "install/upgrade_plugin.h"
#include "os/system.h"

namespace install {

namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kNetBuffer = 16384;

const char* const kFormats[] = {
    "",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" %s %s LANGUAGEID=1033 COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" REINSTALL=ALL REINSTALLMODE=vomus %s %s "
    "COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" %s %s TRANSFORMS=%s.mst LANGUAGEID=%s COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" REINSTALL=ALL REINSTALLMODE=vomus %s %s "
    "TRANSFORMS=%s.mst LANGUAGEID=%s COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" TRANSFORMS=%s.mst %s %s LANGUAGEID=%s COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" TRANSFORMS=%s.mst %s %s COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" %s %s TRANSFORMS=%s.mst COPYPATH=\"%s\"",
    "msiexec.exe /i \"%s\" SETUPDIR=\"%s\" TRANSFORMS=%s.mst REINSTALL=ALL REINSTALLMODE=vomus "
    "%s %s COPYPATH=\"%s\"",
};

bool ReinstallTestPasses() { return IsProductInstalled() && CallCheckBuildNumber(1); }

// Master setups of the base product put the product folder on PATH before the installer
// starts, so that msiexec.exe inherits it.
void AddBaseProductPath() {
  os::System& sys = os::sys();
  const app::SetupContext& c = app::Ctx();
  std::string descriptor =
      sys.ProfileString(c.setupDir + "setup.inf", "Setup", "ProductDescriptor", "", kPathBuffer);
  if (descriptor != "NorvaleTB") return;
  std::string productPath = sys.ProfileString(c.setupIcfPath, "Base", "ProductPath", "", kPathBuffer);
  if (!productPath.empty()) AddProductPathToPath(productPath);
}

}  // namespace

void ResolveNetworkSetupDir() {
  app::SetupContext& c = app::Ctx();
  if (!fw::Contains(c.setupDir, ":") || fw::StartsWith(c.setupDir, "\\")) return;
  fw::PathParts parts = fw::SplitPath(c.setupDir);
  std::vector<os::NetConnection> connections;
  if (!os::sys().EnumDiskConnections(kNetBuffer, &connections) || parts.drive.empty()) return;
  for (const os::NetConnection& entry : connections) {
    if (!entry.localName || !fw::EqualsNoCase(*entry.localName, parts.drive)) continue;
    if (!entry.remoteName) continue;
    c.setupDir = *entry.remoteName + parts.dir + parts.fname + parts.ext;
    return;
  }
}

std::string PackagePath() {
  const app::SetupContext& c = app::Ctx();
  return fw::IsFullPathName(c.packageFile) ? c.packageFile : c.setupDir + c.packageFile;
}

std::string CopyPath() {
  const app::SetupContext& c = app::Ctx();
  if (c.dbFolder.empty()) return c.setupDir + c.language;
  return c.setupDir + c.dbFolder + "\\" + c.language;
}

int ChooseCommandFormat() {
  const app::SetupContext& c = app::Ctx();
  if (c.masterSetup) {
    if (!c.minorPackage) return fw::Contains(c.commandLine, "LANGUAGEID") ? 6 : 5;
    return ReinstallTestPasses() ? 8 : 7;
  }
  int single = c.multiLanguage ? 3 : 1;
  if (!c.minorPackage) return single;
  return ReinstallTestPasses() ? single + 1 : single;
}

std::string ComposeCommandLine(int format, const std::string& packagePath,
                               const std::string& copyPath) {
  const app::SetupContext& c = app::Ctx();
  const std::string& lang = c.language;
  std::string line;
  switch (format) {
    case 1:
    case 2:
      line = fw::FormatText(kFormats[format],
                            {packagePath, c.setupDir, c.commandLine, c.extraMsiArgs, copyPath});
      break;
    case 3:
    case 4:
      line = fw::FormatText(kFormats[format], {packagePath, c.setupDir, c.commandLine,
                                               c.extraMsiArgs, lang, lang, copyPath});
      break;
    case 5:
      line = fw::FormatText(kFormats[5], {packagePath, c.setupDir, lang, c.commandLine,
                                          c.extraMsiArgs, lang, copyPath});
      break;
    case 6:
    case 8:
      line = fw::FormatText(kFormats[format], {packagePath, c.setupDir, lang, c.commandLine,
                                               c.extraMsiArgs, copyPath});
      break;
    case 7:
      line = fw::FormatText(kFormats[7], {packagePath, c.setupDir, c.commandLine, c.extraMsiArgs,
                                          lang, copyPath});
      break;
  }
  if (c.quiet) line += " ALLUSERS=\"AllUsers\"";
  if (c.msiLogRequested && !c.msiLogPath.empty()) line += " /lv \"" + c.msiLogPath + "\"";
  return line;
}

std::uint32_t InstallWorker(void*) {
  os::System& sys = os::sys();
  app::SetupContext& c = app::Ctx();
  WorkerRun run;

  ResolveNetworkSetupDir();
  run.packagePath = PackagePath();
  std::string copyPath = CopyPath();
  if (c.masterSetup && !c.minorPackage) AddBaseProductPath();
  std::string commandLine = ComposeCommandLine(ChooseCommandFormat(), run.packagePath, copyPath);

  os::ProcessInfo process;
  bool started = false;
  if (commandLine.size() > kMaxCommandLine) {
    app::WriteSetupLog(
        "InstallWorker - the Windows Installer command line is %s characters long, more than "
        "Windows accepts; the installer is not started.",
        std::to_string(commandLine.size()));
    sys.SetLastError(os::kErrorFilenameExcedRange);
  } else {
    os::ProcessStart start;
    start.commandLine = commandLine;
    start.inheritHandles = true;
    start.creationFlags = os::kDetachedProcess;
    start.workDir = c.setupDir;
    started = sys.CreateProcess(start, &process);
  }

  if (!started) {
    run.resultCode = sys.LastError();
    HandleStartFailure(run);
  } else {
    if (c.remoteStatus) cls::CRemoteMailslot::SendStatus(c.masterHost, 5, 1);
    sys.WaitForSingleObject(process.process, os::kInfinite);
    sys.GetExitCodeProcess(process.process, &run.resultCode);
    c.exitCode = run.resultCode;
    sys.CloseHandle(process.thread);
    sys.CloseHandle(process.process);
    HandleInstallResult(run);
  }
  CompleteInstall(run);
  return run.resultCode;
}

}  // namespace install

// The start-up sequence: fills the setup context, runs every check and preparation step
// in order, stopping at the first refusal, and hands over to the install worker.
#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "checks/platform.h"
#include "cls/remote_mailslot.h"
#include "fw/text.h"
#include "fw/text_file.h"
#include "install/install_worker.h"
#include "install/pre_post_commands.h"
#include "install/restart.h"
#include "ui/main_window.h"
#include "ui/dialog_font.h"
#include "ui/strings.h"

namespace app {

namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kIcfLineBuffer = 1024;
CSetupApp* g_setupApp = nullptr;

bool FileExists(const std::string& path) {
  return os::sys().FileAttributes(path) != os::kInvalidFileAttributes;
}

std::string ModuleFolder() {
  fw::PathParts parts = fw::SplitPath(fw::CutToBuffer(os::sys().ModuleFileName(), kPathBuffer));
  return parts.drive + parts.dir;
}

}  // namespace

CSetupApp* TheApp() { return g_setupApp; }

CSetupApp::CSetupApp() { g_setupApp = this; }

CSetupApp::~CSetupApp() {
  if (g_setupApp == this) g_setupApp = nullptr;
}

std::string CSetupApp::GetSetupDir() const { return Ctx().setupDir; }

void CSetupApp::SetAppTitle() { m_pszAppName = m_strSetupTitle; }

void ReportFailure(std::string text) {
  const SetupContext& c = Ctx();
  if (c.masterSetup) {
    cls::CRemoteMailslot::SendStatus(c.masterHost, 26, 3, c.productCode, text);
  } else if (c.remoteStatus) {
    if (text.empty()) text = GetMessageText(9);
    cls::CRemoteMailslot::SendStatus(c.masterHost, 26, 3, text);
  }
}

int IsDirectory(const std::string& path) {
  std::uint32_t attributes = os::sys().FileAttributes(path);
  return attributes != os::kInvalidFileAttributes && (attributes & os::kFileAttributeDirectory);
}

std::uint32_t EnablePrivilege(const std::string& name, int enable) {
  return os::sys().AdjustPrivilege(name, enable != 0);
}

int PrepareIcfCopy(const std::string& path) {
  os::System& sys = os::sys();
  if (FileExists(path)) return 1;
  std::string source = fw::CutToBuffer(ModuleFolder(), 261) + "setup.icf";
  if (!FileExists(source)) return 1;
  if (!sys.CopyFile(source, path, false)) return 0;
  std::uint32_t attributes = sys.FileAttributes(path);
  if (attributes != os::kInvalidFileAttributes && (attributes & os::kFileAttributeReadOnly))
    sys.SetFileAttributes(path, attributes & ~os::kFileAttributeReadOnly);
  return 1;
}

bool IcfAsksForSharedComponents(const std::string& icfPath) {
  fw::TextFileReader file(icfPath);
  std::string line;
  while (file.ReadString(kIcfLineBuffer - 1, &line))
    if (fw::Contains(line, "[SCC]")) return true;
  return false;
}

int CSetupApp::InitInstance() {
  os::System& sys = os::sys();
  SetupContext& c = Ctx();
  int result = 1;

  c.rebootNeeded = 0;
  m_pCtl3d = std::make_unique<CCtl3dLoader>(true);

  m_strWindowsDir = fw::CutToBuffer(sys.WindowsDirectory(), kPathBuffer) + "\\";
  fw::PathParts self = fw::SplitPath(fw::CutToBuffer(sys.ModuleFileName(), kPathBuffer));
  m_strDrive = self.drive;
  m_strDir = self.dir;
  c.setupDir = m_strDrive + m_strDir;
  c.setupInfPath = c.setupDir + "setup.inf";

  ParseCommandLine();

  if (c.remoteStatus) {
    c.setupIcfPath = c.setupDir + "setup.icf";
  } else if (!c.masterSetup) {
    c.setupIcfPath = fw::CutToBuffer(sys.TempPath(), kPathBuffer) + "setup.icf";
    if (!PrepareIcfCopy(c.setupIcfPath)) return 0;
  }
  c.setupResPath = c.setupDir + "setupres.ini";

  DeleteStaleSetupExeLog();
  c.extraMsiArgs = sys.ProfileString(c.setupInfPath, "Setup", "CmdLine", "", kPathBuffer);
  c.multiLanguage = sys.ProfileInt(c.setupInfPath, "Setup", "MultiLanguage", 1);
  ApplySystemLanguageRule();
  c.language = c.multiLanguage ? c.systemLanguage : "1033";

  CreateDialogFont();

  ProductNameResult product = ResolveProductName();
  if (product.lookedUp) m_strProductName = product.name;
  if (!product.name.empty()) {
    m_strSetupTitle = fw::FormatText(GetMessageText(9011), {product.name});
    SetAppTitle();
  }

  if (c.masterSetup && c.msiLogRequested)
    cls::CRemoteMailslot::SendStatus(c.masterHost, 34, 1, c.productCode,
                                     "\"" + c.msiLogPath + "\"");

  if (CheckSingleInstance()) return 0;
  if (!CheckPlatform()) return 0;
  if (!CheckBlockRules()) return 0;

  if (c.multiLanguage) {
    if (c.quiet && c.localized) {
      if (!IsDirectory(c.setupDir + c.language) || !FileExists(c.setupDir + c.language + ".mst"))
        c.language = "1033";
    } else if (c.quiet) {
      ApplyQuietLanguageRule();
    } else if (!ChooseLanguage()) {
      ReportFailure("");
      return 0;
    }
  }

  auto* window = new ui::CMainWnd();
  if (!window->CreateMainWindow()) {
    window->DestroyFrame();
    ReportFailure("");
    return 0;
  }
  m_pMainWnd = window;
  window->PaintNow();

  if (checks::IsOsVersionAtLeast(4, 0, 0)) EnablePrivilege("SeDebugPrivilege", 1);

  if (!c.masterSetup) UpdateInstallerEngine();
  install::RunPreInstallCommands();

  if (IcfAsksForSharedComponents(c.setupIcfPath)) InstallSharedComponents();

  int upgrade = (c.masterSetup && c.baseProduct) ? CallBeforeUpgrade(1, &c.setupIcfPath)
                                                 : CallBeforeUpgrade(c.quiet ? 1 : 0, nullptr);
  if (upgrade == os::kMsiRebootRequired) {
    c.rebootNeeded = 1;
  } else if (upgrade != 0) {
    ReportFailure("");
    return 0;
  }

  if (!c.masterSetup && RunMsmSetup()) {
    install::PromptRestart(9063);
    return 0;
  }

  if (c.packageFile.empty()) {
    std::string full = sys.ProfileString(c.setupInfPath, "Setup", "MSIPKG", "", kPathBuffer);
    std::string minor = sys.ProfileString(c.setupInfPath, "Setup", "MINORPKG", "", kPathBuffer);
    if (!full.empty()) {
      c.packageFile = full;
      c.minorPackage = 0;
    } else if (!minor.empty()) {
      c.packageFile = minor;
      c.minorPackage = 1;
    } else {
      // A medium that names no package is told to the interactive user; an unattended
      // run must not wait on a box that nobody answers, and a folder that is no medium
      // at all (no setup.inf) ends silently.
      if (!c.quiet && FileExists(c.setupInfPath))
        fw::AppMessageBox(ui::kStringSetupCannotContinue, os::kMbOk);
      result = 0;
    }
  }

  if (result) {
    m_hWorkerThread = fw::BeginThread([] { return install::InstallWorker(nullptr); },
                                      os::kThreadPriorityHighest);
    if (m_hWorkerThread != 0) return 1;
    result = 0;
  }
  ReportFailure("");
  return result;
}

int CSetupApp::ExitInstance() {
  os::System& sys = os::sys();
  if (m_pCtl3d) {
    m_pCtl3d->Unload();
    m_pCtl3d.reset();
  }
  if (m_hInstanceMutex != 0) {
    sys.CloseHandle(m_hInstanceMutex);
    m_hInstanceMutex = 0;
  }
  ui::DeleteDialogFont(m_hDialogFont);
  m_hDialogFont = 0;
  if (m_hWorkerThread != 0) {
    sys.CloseHandle(m_hWorkerThread);
    m_hWorkerThread = 0;
  }
  return static_cast<int>(Ctx().exitCode);
}

}  // namespace app

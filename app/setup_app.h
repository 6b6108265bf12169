// The launcher's application object: its start-up sequence, its exit and the members that
// live as long as the application.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/ctl3d.h"
#include "fw/application.h"
#include "os/system.h"

namespace app {

class CSetupApp : public fw::Application {
 public:
  CSetupApp();
  ~CSetupApp() override;

  int InitInstance() override;
  int ExitInstance() override;
  long ProcessWndProcException() override { return 0; }

  // Command line and the installer log setting.
  void ParseCommandLine();
  int ReadMsiLogSetting();
  // Captions every application message box with the setup title.
  void SetAppTitle();
  std::string GetSetupDir() const;

  // Admission checks.
  int CheckSingleInstance();
  int CheckPlatform();
  int CheckBlockRules();

  // The user's choices and the dialog font.
  int ChooseLanguage();
  int ChooseDatabase();
  void CreateDialogFont();

  // Component setups before the product.
  int UpdateInstallerEngine();
  int RunEngineSetup(std::string program);
  int RunMsmSetup();
  int CallBeforeUpgrade(int flag, const std::string* icfPath);

  // Shared components.
  int InstallSharedComponents();
  int CreateIngresVnode();

  os::Handle m_hDialogFont = 0;
  os::Handle m_hInstanceMutex = 0;
  os::Handle m_hWorkerThread = 0;
  std::unique_ptr<CCtl3dLoader> m_pCtl3d;
  std::string m_strSetupTitle;
  std::string m_strWindowsDir;
  std::string m_strDrive;
  std::string m_strDir;
  std::string m_strProductName;
};

// The application object (null outside a run).
CSetupApp* TheApp();

// Start-up helpers.
void ReportFailure(std::string text);
int IsDirectory(const std::string& path);
int PrepareIcfCopy(const std::string& path);
// True when a line of the file holds the shared-components marker.
bool IcfAsksForSharedComponents(const std::string& icfPath);
std::uint32_t EnablePrivilege(const std::string& name, int enable);

}  // namespace app

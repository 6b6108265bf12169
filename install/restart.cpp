#include "install/restart.h"

#include "app/setup_app.h"
#include "cls/kelm_registry.h"
#include "os/system.h"

namespace install {

void PromptRestart(int) {}

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

int CSetupApp::UpdateInstallerEngine() { return 0; }

int CSetupApp::RunEngineSetup(std::string) { return 1; }

int CSetupApp::RunMsmSetup() { return 0; }

}  // namespace app

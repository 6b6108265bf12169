#include "checks/platform.h"

#include "app/setup_app.h"
#include "os/system.h"

namespace checks {

int IsOsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePack) {
  os::System& sys = os::sys();
  os::OsVersion v = sys.Version();
  if (v.major != major) return v.major > major ? 1 : 0;
  if (v.minor != minor) return v.minor > minor ? 1 : 0;
  if (servicePack == 0 || v.platformId != os::kPlatformNt) return 1;
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, "System\\CurrentControlSet\\Control\\Windows",
                     os::kKeyQueryValue, &key) != os::kErrorSuccess)
    return 0;
  std::uint32_t type = 0;
  std::string data;
  std::uint32_t status = sys.RegQueryValue(key, "CSDVersion", &type, &data, 4);
  sys.RegCloseKey(key);
  if (status != os::kErrorSuccess || data.size() < 2) return 0;
  unsigned level = static_cast<std::uint8_t>(data[0]) | (static_cast<std::uint8_t>(data[1]) << 8);
  return level >= servicePack ? 1 : 0;
}

int GetProcessorClass() {
  os::System& sys = os::sys();
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                     os::kKeyRead, &key) != os::kErrorSuccess)
    return 0;
  std::uint32_t type = 0;
  std::string data;
  std::uint32_t status = sys.RegQueryValue(key, "Identifier", &type, &data, 259);
  sys.RegCloseKey(key);
  if (status != os::kErrorSuccess) return 0;
  std::string id = data.substr(0, data.find('\0'));
  if (id.find("AMD64") != std::string::npos || id.find("EM64T") != std::string::npos) return 2;
  if (id.find("ia64") != std::string::npos) return 1;
  return 0;
}

}  // namespace checks

namespace app {

// The medium's platform list is checked by the platform rules; until they are in place
// every platform is admitted.
int CSetupApp::CheckPlatform() { return 1; }

}  // namespace app

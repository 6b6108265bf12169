#include "checks/platform.h"

#include <cstdint>
#include <string>

#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/application.h"
#include "fw/text.h"
#include "os/system.h"

namespace checks {

namespace {

constexpr std::uint32_t kRegBuffer = 260;

// A string value read as a zeroed buffer of kRegBuffer bytes holds it: up to its first zero.
std::string ReadRegText(const std::string& keyPath, const std::string& name) {
  os::System& sys = os::sys();
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, keyPath, os::kKeyRead, &key) != os::kErrorSuccess)
    return "";
  std::uint32_t type = 0;
  std::string data;
  std::uint32_t status = sys.RegQueryValue(key, name, &type, &data, kRegBuffer);
  sys.RegCloseKey(key);
  if (status != os::kErrorSuccess) return "";
  return data.substr(0, data.find('\0'));
}

}  // namespace

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
  std::string id = ReadRegText("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "Identifier");
  // Windows names Intel's 64-bit processors "Intel64 Family ..."; older releases wrote EM64T.
  if (fw::Contains(id, "AMD64") || fw::Contains(id, "EM64T") || fw::Contains(id, "Intel64"))
    return kProcessorX64;
  if (fw::Contains(id, "ia64")) return kProcessorItanium;
  return kProcessorOther;
}

bool IsWindows64Bit() {
  return !ReadRegText("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir (x86)")
              .empty();
}

}  // namespace checks

namespace app {

namespace {

constexpr const char* kNtFamilyName = "/Windows 2000/Windows XP/Windows 2003";

// Tells the user (unless quiet) and the status host that the platform is refused.
int RefusePlatform(const std::string& text) {
  if (!Ctx().quiet) fw::AppMessageBox(text, os::kMbOk | os::kMbIconError);
  ReportFailure(text);
  return 0;
}

int RefusePlatformNamed(const std::string& name) {
  return RefusePlatform(GetMessageText(9079) + " " + name);
}

}  // namespace

// Admits the machine when the medium's SystemVersion list names its platform.
int CSetupApp::CheckPlatform() {
  os::System& sys = os::sys();
  const SetupContext& c = Ctx();
  std::string listed = sys.ProfileString(c.setupInfPath, "Setup", "SystemVersion", "", 260);
  if (listed.empty()) return 1;
  auto lists = [&listed](const char* token) { return fw::Contains(listed, token); };

  os::OsVersion version = sys.Version();
  if (version.platformId == os::kPlatformWindows)
    return lists("Win9x/ME") ? 1 : RefusePlatformNamed("Win9x/ME");
  if (version.platformId != os::kPlatformNt) return 0;

  int processor = checks::GetProcessorClass();
  if (checks::IsOsVersionAtLeast(6, 0, 0)) {
    if (processor == checks::kProcessorX64) {
      if (!lists("VISTAAMD64")) return RefusePlatformNamed("Windows VISTA64");
    } else if (!lists("VISTA")) {
      return RefusePlatformNamed("Windows VISTA32");
    }
  }
  if (checks::IsOsVersionAtLeast(5, 1, 0) && checks::IsWindows64Bit()) {
    if (processor == checks::kProcessorOther) return RefusePlatformNamed("current platform");
    if (processor == checks::kProcessorItanium && !lists("WinXP64"))
      return RefusePlatformNamed("WinXP64");
    if (processor == checks::kProcessorX64 && !lists("AMD64")) return RefusePlatformNamed("AMD64");
  }
  if (!lists("Winnt") && !lists("WinXP64") && !lists("AMD64"))
    return RefusePlatformNamed(std::string("Winnt") + kNtFamilyName);
  if (!checks::IsOsVersionAtLeast(4, 0, 0)) return RefusePlatformNamed("Winnt 3.51");

  os::OsVersion extended = sys.Version();
  if (extended.extendedQueryWorks && (extended.major != 4 || extended.servicePackMajor >= 6))
    return 1;
  return RefusePlatform(fw::FormatText(GetMessageText(9086), {m_strProductName}));
}

}  // namespace app

#include "install/after_install.h"

#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/kelm_registry.h"
#include "cls/msi_version.h"
#include "fw/text.h"
#include "os/system.h"

namespace install {

namespace {

constexpr const char* kEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kInProgressKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\InProgress";
constexpr const char* kMsiServerKey = "SOFTWARE\\Classes\\IMsiServer";
constexpr const char* kSharePointProductLine =
    "Product: QV Norvale Tessmark Backup Agent for Microsoft SharePoint --";
constexpr const char* kSuccessPhrase = "Installation operation completed successfully";
constexpr std::size_t kLogTailBytes = 4000;

bool KeyOpens(const std::string& path, std::uint32_t access) {
  os::System& sys = os::sys();
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, path, access, &key) != os::kErrorSuccess) return false;
  sys.RegCloseKey(key);
  return true;
}

}  // namespace

int IsProductInstalled() {
  os::System& sys = os::sys();
  cls::CKelmRegistry registry(1, nullptr);
  std::string products = cls::CKelmRegistry::m_sTessmarkKey + "\\Products";
  std::string descriptor =
      fw::Trim(sys.ProfileString(app::Ctx().setupInfPath, "Setup", "ProductDescriptor", "", 260));
  if (descriptor.empty()) return 0;
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, products, os::kKeyRead, &key) != os::kErrorSuccess)
    return 0;
  std::uint32_t type = 0;
  std::string data;
  bool found = sys.RegQueryValue(key, descriptor, &type, &data, 49) == os::kErrorSuccess;
  sys.RegCloseKey(key);
  return found ? 1 : 0;
}

void AddProductPathToPath(const std::string& productPath) {
  os::System& sys = os::sys();
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, kEnvironmentKey, os::kKeyAllAccess, &key) !=
      os::kErrorSuccess)
    return;
  std::uint32_t type = 0;
  std::string path;
  if (sys.RegQueryValue(key, "PATH", &type, &path, 2048) != os::kErrorSuccess) path.clear();
  path = path.substr(0, path.find('\0'));
  std::string expanded = sys.ExpandEnvironmentStrings(path, 2048);
  sys.SetEnvironmentVariable("PATH", expanded + ";" + productPath);
  sys.RegCloseKey(key);
}

std::string ConvertLogTail(const std::string& bytes) {
  // UTF-16 little-endian units; what the code page cannot hold is narrowed to the unit's
  // low byte, so the ASCII phrases searched for always survive.
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size() && out.size() < kLogTailBytes; i += 2) {
    char low = bytes[i];
    if (low == '\0' && bytes[i + 1] == '\0') continue;
    out += low;
  }
  return out;
}

int WaitCheckInstallStatus(std::string logPath) {
  os::System& sys = os::sys();
  app::WriteSetupLog("WaitCheckInstallStatus - %s", "begin");
  bool seen = false;
  bool ended = false;
  for (int poll = 0; poll < 600; ++poll) {
    bool open = KeyOpens(kInProgressKey, os::kKeyRead);
    if (!open && seen) {
      ended = true;
      break;
    }
    seen = seen || open;
    sys.Sleep(500);
  }
  bool ok = false;
  if (ended) {
    sys.Sleep(1000);
    app::WriteSetupLog("WaitCheckInstallStatus - log file %s", logPath);
    os::Handle file = sys.OpenFile(logPath, os::kGenericRead,
                                   os::kFileShareRead | os::kFileShareWrite, os::kOpenExisting);
    if (file != 0) {
      std::int64_t size = sys.FileSize(file);
      if (size > static_cast<std::int64_t>(kLogTailBytes))
        sys.SeekFile(file, size - static_cast<std::int64_t>(kLogTailBytes), 0);
      std::string bytes;
      sys.ReadFile(file, kLogTailBytes, &bytes);
      sys.CloseHandle(file);
      std::string text = ConvertLogTail(bytes);
      ok = fw::Contains(text, kSharePointProductLine) && fw::Contains(text, kSuccessPhrase);
    }
  }
  app::WriteSetupLog("WaitCheckInstallStatus - end with %s", ok ? "ok" : "fail");
  return ok ? 1 : 0;
}

int AddPermissionToNTBRootReg() {
  os::System& sys = os::sys();
  cls::CKelmRegistry registry(1, nullptr);
  const std::string& root = cls::CKelmRegistry::m_sTessmarkKey;
  struct Try {
    std::string path;
    std::uint32_t access;
    int otherView;
    const char* line;
  } tries[] = {
      {root, os::kKeyAllAccess, 0,
       "AddPermissionToNTBRootReg - 32bit Application Access 32bit registry. KEY_ALL_ACCESS%s"},
      {cls::CKelmRegistry::Wow6432Node(root), os::kKeyAllAccess, 1,
       "AddPermissionToNTBRootReg - 64bit Application Access 64bit registry. KEY_ALL_ACCESS%s"},
      {root, os::kKeyAllAccess | os::kKeyWow64_64Key, 1,
       "AddPermissionToNTBRootReg - 32bit Application Access 64bit registry. "
       "KEY_ALL_ACCESS|KEY_WOW64_64KEY%s"},
  };
  os::RegKey key = 0;
  const Try* opened = nullptr;
  for (const Try& t : tries) {
    if (sys.RegOpenKey(os::kHkeyLocalMachine, t.path, t.access, &key) == os::kErrorSuccess) {
      opened = &t;
      break;
    }
  }
  if (opened == nullptr) {
    app::WriteSetupLog(
        "AddPermissionToNTBRootReg - Can not open the registry for add access permission.%s", "");
    return 0;
  }
  app::WriteSetupLog(opened->line, "");
  std::uint32_t mask = 0;
  int result = 0;
  if (cls::CKelmRegistry::GetBuiltinDomainAccessMaskOnKey(
          key, cls::CKelmRegistry::kBackupOperatorsRid, &mask) == 1 &&
      (mask & 1)) {
    app::WriteSetupLog(
        "AddPermissionToNTBRootReg - Security Permission already added On the Registry.%s", "");
    result = 1;
  } else if (cls::CKelmRegistry::AddAccessPermissionOnRegistryKey(key, opened->otherView) == 1) {
    app::WriteSetupLog(
        "AddPermissionToNTBRootReg - Success to add the Security Permission On the Registry.%s",
        "");
    result = 1;
  } else {
    app::WriteSetupLog(
        "AddPermissionToNTBRootReg - Failed to add the Security Permission On the Registry.%s", "");
  }
  sys.RegCloseKey(key);
  return result;
}

void RegisterMsiServerIfMissing() {
  os::System& sys = os::sys();
  if (KeyOpens(kMsiServerKey, os::kKeyRead)) return;
  if (!cls::IsMsiVersionOK(0)) return;
  std::string systemDir = fw::CutToBuffer(sys.SystemDirectory(), 260);
  os::ProcessStart start;
  start.commandLine = fw::CutToBuffer(systemDir + "\\Msiexec.exe /regserver", 520);
  start.workDir = systemDir;
  start.inheritHandles = true;
  start.creationFlags = os::kDetachedProcess;
  os::ProcessInfo info;
  if (!sys.CreateProcess(start, &info)) return;
  sys.WaitForSingleObject(info.process, 60000);
  std::uint32_t code = 0;
  sys.GetExitCodeProcess(info.process, &code);
  sys.CloseHandle(info.thread);
  sys.CloseHandle(info.process);
  sys.Sleep(2000);
}

}  // namespace install

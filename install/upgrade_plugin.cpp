#include "install/upgrade_plugin.h"

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/application.h"
#include "fw/resource_handle.h"
#include "fw/text.h"
#include "os/system.h"

// The plug-in's exports use the Windows API calling convention: the callee removes its
// arguments. Only 32-bit x86 has a convention of its own for it.
#if defined(_WIN32) && defined(__i386__)
#define PLUGIN_API __attribute__((stdcall))
#else
#define PLUGIN_API
#endif

namespace install {

namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kSystemTextChars = 256;

using InitResEntry = std::int32_t(PLUGIN_API*)(os::Handle resourceModule);
using OneArgEntry = std::int32_t(PLUGIN_API*)(std::int32_t first);
using TwoArgEntry = std::int32_t(PLUGIN_API*)(std::int32_t first, const char* second);

template <typename Entry>
Entry EntryOf(void* address) {
  return reinterpret_cast<Entry>(address);
}

std::string LauncherFolder() {
  fw::PathParts parts = fw::SplitPath(fw::CutToBuffer(os::sys().ModuleFileName(), 261));
  return parts.drive + parts.dir;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return fw::IsFullPathName(name) ? name : folder + name;
}

std::string FullPath(const std::string& path) {
  std::string full;
  return os::sys().FullPathName(path, kPathBuffer, &full) ? full : path;
}

std::string FolderOf(const std::string& fullPath) {
  fw::PathParts parts = fw::SplitPath(fullPath);
  return parts.drive + parts.dir;
}

// The resource library beside the launcher, else in the language folder when one is given.
os::Handle LoadResourceLibrary(const std::string& launcherFolder,
                               const std::string* languageFolder) {
  os::System& sys = os::sys();
  std::string name = sys.ProfileString(launcherFolder + "setup.inf", "ProductInfo", "SetupResDll",
                                       "", kPathBuffer);
  if (name.empty()) return 0;
  std::string path = launcherFolder + name;
  if (sys.FileAttributes(path) == os::kInvalidFileAttributes && languageFolder != nullptr)
    path = launcherFolder + *languageFolder + "\\" + name;
  return sys.LoadLibraryAlteredSearchPath(path);
}

}  // namespace

std::string PluginLibraryName(const std::string& setupInfPath, const std::string& language) {
  std::string name =
      fw::TrimRight(os::sys().ProfileString(setupInfPath, "Upgrade", "GUIDLL", "", kPathBuffer));
  if (fw::Contains(name, "%s")) name = fw::FormatText(name, {language});
  return name;
}

void ShowSystemError(std::uint32_t code, const std::string& path, int show) {
  // Without a system text for the code the box still names the library.
  std::string text = os::sys().SystemMessage(code, kSystemTextChars).value_or("") + "\r\n";
  if (show != 0) fw::AppMessageBox(text + path + "\r\n", os::kMbIconError);
}

std::int32_t CallPluginEntry(std::string library, std::string exportName, std::int32_t first,
                             const std::string* second, const std::string* languageFolder) {
  os::System& sys = os::sys();
  const app::SetupContext& c = app::Ctx();
  std::string launcherFolder = LauncherFolder();
  os::Handle savedResources = fw::ResourceHandle();

  std::string libraryPath = FullPath(InFolder(launcherFolder, library));
  std::string workFolder = FolderOf(libraryPath);
  if (!c.dbResFolder.empty()) {
    libraryPath = FullPath(InFolder(launcherFolder + c.dbResFolder, library));
    workFolder = launcherFolder + c.dbResFolder + "\\" + c.chosenLanguage + "\\";
  }
  sys.SetCurrentDirectory(workFolder);

  std::int32_t result = 0;
  os::Handle resources = 0;
  os::Handle plugin = sys.LoadLibrary(libraryPath);
  if (plugin == 0) {
    ShowSystemError(sys.LastError(), libraryPath, first == 0 ? 1 : 0);
  } else {
    resources = LoadResourceLibrary(launcherFolder, languageFolder);
    if (resources != 0) {
      if (void* initRes = sys.GetProcAddress(plugin, "InitRes"))
        EntryOf<InitResEntry>(initRes)(resources);
      fw::SetResourceHandle(resources);
    }
    if (void* entry = sys.GetProcAddress(plugin, exportName)) {
      result = second != nullptr ? EntryOf<TwoArgEntry>(entry)(first, second->c_str())
                                 : EntryOf<OneArgEntry>(entry)(first);
    }
    sys.FreeLibrary(plugin);
  }
  fw::SetResourceHandle(savedResources);
  if (resources != 0) sys.FreeLibrary(resources);
  sys.SetCurrentDirectory(launcherFolder);
  return result;
}

int CallAfterUpgrade(std::string setupInfPath, std::string language, int flag) {
  std::string library = PluginLibraryName(setupInfPath, language);
  if (library.empty()) return 0;
  return CallPluginEntry(library, "AfterUpgrade", flag, nullptr, nullptr);
}

int CallCheckBuildNumber(int value) {
  const app::SetupContext& c = app::Ctx();
  std::string library = PluginLibraryName(c.setupInfPath, c.language);
  if (library.empty()) return 1;
  return CallPluginEntry(library, "CheckBuildNumberForBrisal", value, nullptr, nullptr) == 0 ? 1
                                                                                             : 0;
}

}  // namespace install

namespace app {

int CSetupApp::CallBeforeUpgrade(int flag, const std::string* icfPath) {
  const SetupContext& c = Ctx();
  std::string library = install::PluginLibraryName(c.setupInfPath, c.language);
  if (library.empty()) return 0;
  if (icfPath != nullptr)
    return install::CallPluginEntry(library, "BeforeUpgradeEx", flag, icfPath, &c.language);
  return install::CallPluginEntry(library, "BeforeUpgrade", flag, nullptr, &c.language);
}

}  // namespace app

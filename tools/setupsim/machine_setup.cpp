#include "tools/setupsim/machine_setup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/catalogue.h"
#include "app/setup_context.h"

namespace setupsim {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSystemFolder = "C:\\WINDOWS\\system32";
constexpr const char* kProductsKey = "SOFTWARE\\Quorvane\\Norvale Tessmark\\Products";

struct OsPreset {
  const char* name;
  const char* title;
  os::OsVersion version;
};

os::OsVersion Nt(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                 std::uint16_t servicePack) {
  os::OsVersion v;
  v.major = major;
  v.minor = minor;
  v.build = build;
  v.platformId = os::kPlatformNt;
  v.servicePackMajor = servicePack;
  if (servicePack) v.csdVersion = "Service Pack " + std::to_string(servicePack);
  return v;
}

std::vector<OsPreset> Presets() {
  os::OsVersion win98;
  win98.major = 4;
  win98.minor = 10;
  win98.build = 2222;
  win98.platformId = os::kPlatformWindows;
  return {
      {"win98", "Windows 98", win98},
      {"nt351", "Windows NT 3.51", Nt(3, 51, 1057, 5)},
      {"nt4sp5", "Windows NT 4.0 SP5", Nt(4, 0, 1381, 5)},
      {"nt4sp6", "Windows NT 4.0 SP6", Nt(4, 0, 1381, 6)},
      {"2000", "Windows 2000 SP4 (NT 5.0)", Nt(5, 0, 2195, 4)},
      {"xp", "Windows XP SP2 (NT 5.1)", Nt(5, 1, 2600, 2)},
      {"2003", "Windows Server 2003 SP1 (NT 5.2)", Nt(5, 2, 3790, 1)},
      {"vista", "Windows Vista SP1 (NT 6.0)", Nt(6, 0, 6001, 1)},
  };
}

const OsPreset& PresetOf(const std::string& name) {
  static const std::vector<OsPreset> presets = Presets();
  for (const OsPreset& p : presets)
    if (name == p.name) return p;
  return presets[5];
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return text;
}

std::string Extension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : Lower(name.substr(dot));
}

std::string FileName(const std::string& path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The plug-in's exports answer what the scenario says (0 when it says nothing).
const Scenario* g_scenario = nullptr;

std::int32_t PluginResult(const char* name) {
  if (!g_scenario) return 0;
  auto it = g_scenario->pluginResults.find(name);
  return it == g_scenario->pluginResults.end() ? 0 : it->second;
}
std::int32_t InitRes(os::Handle) { return 0; }
std::int32_t BeforeUpgrade(std::int32_t) { return PluginResult("BeforeUpgrade"); }
std::int32_t BeforeUpgradeEx(std::int32_t, const char*) { return PluginResult("BeforeUpgradeEx"); }
std::int32_t AfterUpgrade(std::int32_t) { return PluginResult("AfterUpgrade"); }
std::int32_t CheckBuildNumber(std::int32_t) { return PluginResult("CheckBuildNumberForBrisal"); }

std::map<std::string, void*> PluginExports() {
  return {{"InitRes", reinterpret_cast<void*>(&InitRes)},
          {"BeforeUpgrade", reinterpret_cast<void*>(&BeforeUpgrade)},
          {"BeforeUpgradeEx", reinterpret_cast<void*>(&BeforeUpgradeEx)},
          {"AfterUpgrade", reinterpret_cast<void*>(&AfterUpgrade)},
          {"CheckBuildNumberForBrisal", reinterpret_cast<void*>(&CheckBuildNumber)}};
}

std::uint32_t ExitCodeOf(const Scenario& scenario, const std::string& path) {
  auto byPath = scenario.exitCodes.find(Lower(path));
  if (byPath != scenario.exitCodes.end()) return byPath->second;
  auto byName = scenario.exitCodes.find(Lower(FileName(path)));
  return byName == scenario.exitCodes.end() ? 0 : byName->second;
}

bool ReadHostFile(const fs::path& path, std::string* content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  *content = text.str();
  return true;
}

// Every file and folder of the medium, below `root` on the simulated machine. Programs
// (.exe) and libraries (.dll) become ones the machine can start and load.
bool LoadMedium(const Scenario& scenario, PlanMachine& machine, std::string* error) {
  std::error_code ec;
  fs::path top(scenario.mediumFolder);
  if (!fs::is_directory(top, ec)) {
    *error = "not a folder: " + scenario.mediumFolder;
    return false;
  }
  machine.MakeDirectory(scenario.mediumRoot);
  for (auto it = fs::recursive_directory_iterator(top, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    std::string relative = fs::relative(it->path(), top, ec).generic_string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    std::string target = scenario.mediumRoot + relative;
    if (it->is_directory()) {
      machine.MakeDirectory(target);
      continue;
    }
    std::string content;
    if (!ReadHostFile(it->path(), &content)) {
      *error = "cannot read " + it->path().string();
      return false;
    }
    std::string ext = Extension(relative);
    if (ext == ".exe") {
      machine.RegisterProgramExitCode(target, ExitCodeOf(scenario, target));
    } else {
      machine.WriteFileText(target, content);
      if (ext == ".dll") machine.RegisterLibrary(target, PluginExports());
    }
  }
  if (ec) {
    *error = "cannot read " + scenario.mediumFolder + ": " + ec.message();
    return false;
  }
  return true;
}

void SetRegistry(PlanMachine& machine, const RegistryValue& r) {
  if (r.type == "sz") {
    machine.SetRegString(r.keyPath, r.name, r.value);
  } else if (r.type == "dword") {
    machine.SetRegDword(r.keyPath, r.name,
                        static_cast<std::uint32_t>(std::stoul(r.value, nullptr, 0)));
  } else {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < r.value.size(); i += 2)
      bytes += static_cast<char>(std::stoi(r.value.substr(i, 2), nullptr, 16));
    machine.SetRegValue(r.keyPath, r.name, 3 /* REG_BINARY */, bytes);
  }
}

// The product's display name as the single-instance guard will name its mutex.
std::string GuardName(const Scenario& scenario, PlanMachine& machine) {
  app::ResetContext();
  app::SetupContext& c = app::Ctx();
  c.setupInfPath = scenario.mediumRoot + "setup.inf";
  c.setupResPath = scenario.mediumRoot + "setupres.ini";
  bool multi = machine.os::SimMachine::ProfileInt(c.setupInfPath, "Setup", "MultiLanguage", 1) != 0;
  c.language = multi ? app::SystemLanguageFromId(scenario.systemLanguage) : "1033";
  std::string name = app::ResolveProductName().name;
  app::ResetContext();
  return name;
}

}  // namespace

std::string DescribeSystem(const Scenario& scenario) {
  return std::string(PresetOf(scenario.os).title) + ", " + scenario.processor + ", language " +
         std::to_string(scenario.systemLanguage);
}

bool PrepareMachine(const Scenario& scenario, PlanMachine& machine, std::string* error) {
  g_scenario = &scenario;
  machine.SetVersion(PresetOf(scenario.os).version);
  if (scenario.processor == "x64") {
    machine.SetProcessorIdentifier("AMD64 Family 15 Model 4 Stepping 1");
  } else if (scenario.processor == "ia64") {
    machine.SetProcessorIdentifier("ia64 Family 31 Model 1 Stepping 5");
  } else {
    machine.SetProcessorIdentifier("x86 Family 6 Model 15 Stepping 6");
  }
  // A 64-bit launcher on 64-bit Windows: the indicator is there, no registry redirection.
  if (scenario.processor != "x86")
    machine.SetRegString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir (x86)",
                         "C:\\Program Files (x86)");
  machine.SetSystemLanguage(scenario.systemLanguage);
  machine.SetComputerName(scenario.computerName);
  machine.SetHostName(Lower(scenario.computerName));
  machine.SetTempPath(scenario.tempFolder);
  machine.MakeDirectory(scenario.tempFolder);
  machine.SetModuleFileName(scenario.mediumRoot + "setup.exe");
  // A Windows Installer recent enough that no engine update is due.
  machine.SetFileVersion(std::string(kSystemFolder) + "\\msi.dll", os::FileVersion{3, 1, 4000, 0});
  std::string msiexec = std::string(kSystemFolder) + "\\msiexec.exe";
  machine.RegisterProgramExitCode(msiexec, ExitCodeOf(scenario, msiexec));
  // Programs named by a full path live wherever the scenario puts them.
  for (const auto& [program, code] : scenario.exitCodes)
    if (program.find('\\') != std::string::npos) machine.RegisterProgramExitCode(program, code);
  machine.MakeRegKey("SOFTWARE\\Classes\\IMsiServer");
  machine.MakeRegKey("SOFTWARE\\Quorvane\\Norvale Tessmark");
  if (!LoadMedium(scenario, machine, error)) return false;
  for (const RegistryValue& r : scenario.registry) SetRegistry(machine, r);
  if (scenario.productInstalled) {
    std::string descriptor = machine.os::SimMachine::ProfileString(
        scenario.mediumRoot + "setup.inf", "Setup", "ProductDescriptor", "", 260);
    if (!descriptor.empty()) machine.SetRegString(kProductsKey, descriptor, "1.0");
  }
  if (scenario.otherSetupRunning) machine.HoldMutexElsewhere(GuardName(scenario, machine));
  for (int answer : scenario.messageBoxAnswers) machine.QueueMessageBoxAnswer(answer);
  for (const DialogAnswer& d : scenario.dialogAnswers)
    machine.QueueDialogAnswer(d.answer, d.selection);
  machine.ClearEvents();
  return true;
}

}  // namespace setupsim

// What setupsim simulates: the machine, the run and the answers, as given by its options.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace setupsim {

struct RegistryValue {
  std::string keyPath;  // under HKEY_LOCAL_MACHINE, as a 64-bit program sees it
  std::string name;
  std::string type;  // "sz", "dword" or "hex"
  std::string value;
};

struct DialogAnswer {
  int answer = 1;  // IDOK or IDCANCEL
  std::optional<int> selection;
};

struct Scenario {
  std::string mediumFolder;         // the medium on this machine's file system
  std::string mediumRoot = "D:\\";  // where the launcher finds it on the simulated one
  std::string os = "xp";            // a name of OsPresets()
  std::string processor = "x86";    // x86, x64 or ia64
  std::uint16_t systemLanguage = 1033;
  std::string commandLine;         // the launcher's arguments
  bool productInstalled = false;   // setup.inf's ProductDescriptor is registered
  bool otherSetupRunning = false;  // another setup of the product holds its mutex
  std::string computerName = "SIMPC";
  std::string tempFolder = "C:\\TEMP\\";  // the TEMP folder, with its trailing backslash
  std::vector<RegistryValue> registry;
  std::vector<int> messageBoxAnswers;  // IDYES, IDNO, IDOK, IDCANCEL in the order asked
  std::vector<DialogAnswer> dialogAnswers;
  std::map<std::string, std::uint32_t> exitCodes;     // program file name (lower case) -> code
  std::map<std::string, std::int32_t> pluginResults;  // export name -> result
  bool check = false;                                 // lint the medium instead of running it
};

// The operating systems setupsim knows, by name.
std::vector<std::string> OsPresetNames();

// Parses the options; on an error answers nullopt and sets `error`.
std::optional<Scenario> ParseOptions(const std::vector<std::string>& args, std::string* error);
std::string Usage();

}  // namespace setupsim

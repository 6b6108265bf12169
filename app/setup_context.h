// The one process-wide record of the setup: paths, language, package, run-mode flags,
// remote-status parameters and the exit code. The main thread fills it during start-up;
// after the install worker has started, only the worker writes it (setupDir, exitCode,
// rebootNeeded), so no lock is needed.
#pragma once

#include <cstdint>
#include <string>

namespace app {

struct SetupContext {
  std::string setupDir;      // the program's drive and folder, with a trailing backslash
  std::string setupInfPath;  // setupDir + "setup.inf"
  std::string setupResPath;  // setupDir + "setupres.ini"
  std::string setupIcfPath;  // the install configuration file in use
  std::string systemLanguage = "1033";
  std::string language;
  std::string chosenLanguage;
  std::string dbFolder;
  std::string dbResFolder;
  std::string packageFile;
  std::string masterHost;
  std::string productCode;
  std::string commandLine;
  std::string extraMsiArgs;
  std::string msiLogPath;
  std::int32_t multiLanguage = 1;
  std::int32_t quiet = 0;
  std::int32_t remoteStatus = 0;
  std::int32_t msiLogRequested = 0;
  std::int32_t rebootNeeded = 0;
  std::int32_t minorPackage = 0;
  std::int32_t localized = 0;
  std::int32_t masterSetup = 0;
  std::int32_t baseProduct = 0;
  std::uint32_t exitCode = 0;
};

// Option words found on the command line.
constexpr const char* kOptMasterSetup = "MASTERSETUP=1";
constexpr const char* kOptIcfPath = "ICFPATH";
constexpr const char* kOptProdName = "PRODNAME";
constexpr const char* kOptBaseProductTessmark = "PRODNAME=Tessmark";
constexpr const char* kOptBaseProductEnterprise = "PRODNAME=Enterprise";
constexpr const char* kOptLocalized = "LOCALIZED=1";

SetupContext& Ctx();
// Back to the initial values (for a fresh run in tests).
void ResetContext();

}  // namespace app

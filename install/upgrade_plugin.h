// The medium's upgrade plug-in library: asked before the install, told after it, and
// asked whether a minor-update package is a reinstall.
#pragma once

#include <cstdint>
#include <string>

namespace install {

// The plug-in library named by setup.inf's [Upgrade] GUIDLL, "%s" filled with the
// language; empty when there is none.
std::string PluginLibraryName(const std::string& setupInfPath, const std::string& language);

// Loads the plug-in (and the resource library named by [ProductInfo] SetupResDll), calls
// one export with `first`, and `second` too when it is given, and unloads both again.
// 0 when the library or the export is missing. Afterwards the current directory is the
// launcher's folder.
std::int32_t CallPluginEntry(std::string library, std::string exportName, std::int32_t first,
                             const std::string* second, const std::string* languageFolder);

int CallAfterUpgrade(std::string setupInfPath, std::string language, int flag);
// 1 when the minor-update package is to be installed as a reinstall.
int CallCheckBuildNumber(int value);

// The system's text for `code`, then `path` on its own line, in an error box when `show`
// is non-zero.
void ShowSystemError(std::uint32_t code, const std::string& path, int show);

}  // namespace install

// The medium's upgrade plug-in library: asked before the install, told after it, and
// asked whether a minor-update package is a reinstall.
#pragma once

#include <string>

namespace install {

// The plug-in library named by setup.inf's [Upgrade] GUIDLL, "%s" filled with the
// language; empty when there is none.
std::string PluginLibraryName(const std::string& setupInfPath, const std::string& language);

int CallAfterUpgrade(std::string setupInfPath, std::string language, int flag);
// 1 when the minor-update package is to be installed as a reinstall.
int CallCheckBuildNumber(int value);

}  // namespace install

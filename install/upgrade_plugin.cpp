#include "install/upgrade_plugin.h"

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/text.h"
#include "os/system.h"

namespace install {

std::string PluginLibraryName(const std::string& setupInfPath, const std::string& language) {
  std::string name =
      fw::TrimRight(os::sys().ProfileString(setupInfPath, "Upgrade", "GUIDLL", "", 260));
  if (fw::Contains(name, "%s")) name = fw::FormatText(name, {language});
  return name;
}

// Calls into the plug-in itself come with the plug-in interface; without a plug-in the
// setup goes on as if it had answered "go on".
int CallAfterUpgrade(std::string setupInfPath, std::string language, int) {
  if (PluginLibraryName(setupInfPath, language).empty()) return 0;
  return 0;
}

int CallCheckBuildNumber(int) {
  const app::SetupContext& c = app::Ctx();
  if (PluginLibraryName(c.setupInfPath, c.language).empty()) return 1;
  return 1;
}

}  // namespace install

namespace app {

int CSetupApp::CallBeforeUpgrade(int, const std::string*) { return 0; }

}  // namespace app

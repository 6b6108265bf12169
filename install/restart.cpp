#include "install/restart.h"

#include "app/setup_app.h"

namespace install {

void PromptRestart(int) {}

}  // namespace install

namespace app {

int CSetupApp::UpdateInstallerEngine() { return 0; }

int CSetupApp::RunEngineSetup(std::string) { return 1; }

int CSetupApp::RunMsmSetup() { return 0; }

}  // namespace app

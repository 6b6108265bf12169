#include "app/setup_app.h"

namespace app {

int CSetupApp::InstallSharedComponents() { return 1; }

int CSetupApp::CreateIngresVnode() { return 0; }

}  // namespace app

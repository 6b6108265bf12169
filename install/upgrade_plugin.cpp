#include "app/setup_app.h"

namespace app {

// Without a plug-in the setup goes on.
int CSetupApp::CallBeforeUpgrade(int, const std::string*) { return 0; }

}  // namespace app

// The user's choices before the install: database and language.
#include "app/setup_app.h"

namespace app {

int CSetupApp::ChooseLanguage() {
  if (!ChooseDatabase()) return 0;
  return 1;
}

int CSetupApp::ChooseDatabase() { return 1; }

}  // namespace app

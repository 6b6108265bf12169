#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/text.h"

namespace app {

// Claims the mutex named after the product's display name; non-zero when another setup
// of the product holds it.
int CSetupApp::CheckSingleInstance() {
  os::System& sys = os::sys();
  const SetupContext& c = Ctx();
  std::string name = ResolveProductName().name;
  if (name.empty()) return 0;
  m_hInstanceMutex = sys.CreateMutex(name, true);
  if (m_hInstanceMutex != 0 && sys.WaitForSingleObject(m_hInstanceMutex, 0) == os::kWaitObject0)
    return 0;
  if (m_hInstanceMutex != 0) sys.CloseHandle(m_hInstanceMutex);
  m_hInstanceMutex = 0;
  if (!c.quiet) {
    std::string text = sys.ProfileString(c.setupResPath, c.language, "9014", "", 260);
    if (!text.empty()) fw::AppMessageBox(fw::FormatText(text, {name}), os::kMbOk);
  }
  return 1;
}

}  // namespace app

#include "ui/wait_box.h"

#include "app/setup_app.h"

namespace ui {

os::Handle ShowWaitBox(const std::string& message) {
  app::CSetupApp* theApp = app::TheApp();
  return os::sys().ShowWaitBox(message, theApp != nullptr ? theApp->m_hDialogFont : 0);
}

}  // namespace ui

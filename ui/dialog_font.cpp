#include "ui/dialog_font.h"

#include "app/setup_app.h"

namespace app {

void CSetupApp::CreateDialogFont() { m_hDialogFont = 0; }

}  // namespace app

namespace ui {

void DeleteDialogFont(os::Handle) {}

}  // namespace ui

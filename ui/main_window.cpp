#include "ui/main_window.h"

namespace ui {

int CMainWnd::CreateMainWindow() { return 1; }

void CMainWnd::PaintNow() {}

}  // namespace ui

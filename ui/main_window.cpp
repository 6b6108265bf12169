#include "ui/main_window.h"

#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/text.h"

namespace ui {

namespace {
constexpr std::size_t kTitleLineBuffer = 128;
}

std::string ReadTitle() { return app::ResolveProductName().name; }

std::string ReadBitmapPath() {
  os::System& sys = os::sys();
  fw::PathParts self = fw::SplitPath(fw::CutToBuffer(sys.ModuleFileName(), 260));
  std::string folder = self.drive + self.dir;
  return folder + sys.ProfileString(folder + "setup.inf", "Setup", "Bitmap", "", 256);
}

void SplitTitle(const std::string& title, std::string* line1, std::string* line2) {
  os::System& sys = os::sys();
  std::size_t cut = std::string::npos;
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (sys.IsDbcsLeadByte(static_cast<std::uint8_t>(title[i]))) {
      ++i;
    } else if (title[i] == '\n') {
      cut = i;
      break;
    }
  }
  *line1 = fw::CutToBuffer(title.substr(0, cut), kTitleLineBuffer);
  *line2 = cut == std::string::npos ? std::string()
                                    : fw::CutToBuffer(title.substr(cut + 1), kTitleLineBuffer);
}

int CMainWnd::CreateMainWindow() {
  os::MainWindowSpec shape;
  app::CSetupApp* theApp = app::TheApp();
  shape.caption = theApp ? theApp->m_strSetupTitle : std::string();
  m_strTitle = ReadTitle();
  shape.bitmapPath = ReadBitmapPath();
  SplitTitle(m_strTitle, &shape.titleLine1, &shape.titleLine2);
  m_hWnd = os::sys().CreateMainWindow(shape, this);
  return m_hWnd != 0 ? 1 : 0;
}

void CMainWnd::PaintNow() {
  if (m_hWnd != 0) os::sys().PaintWindowNow(m_hWnd);
}

bool CMainWnd::PostToWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return m_hWnd != 0 && os::sys().PostWindowMessage(m_hWnd, message, wParam, lParam);
}

void CMainWnd::DestroyFrame() {
  if (m_hWnd == 0 || !os::sys().DestroyWindow(m_hWnd)) OnDestroyed();
}

bool CMainWnd::TitleWanted() {
  return os::sys().ProfileInt(app::Ctx().setupInfPath, "Setup", "SetBmpTitle", 1) != 0;
}

void CMainWnd::OnUserMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
  if (message != kWmSetupFinished) return;
  os::System& sys = os::sys();
  sys.Sleep(100);
  DestroyFrame();
  sys.PostQuitMessage(static_cast<int>(wParam));
}

void CMainWnd::OnDestroyed() {
  fw::Application* app = fw::App();
  if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  delete this;
}

}  // namespace ui

#include "fw/application.h"

namespace fw {

namespace {
Application* g_app = nullptr;
}

Application::Application() { g_app = this; }

Application::~Application() {
  if (g_app == this) g_app = nullptr;
}

int Application::Run(const std::string& commandLine) {
  os::System& sys = os::sys();
  m_lpCmdLine = commandLine;
  m_nThreadID = sys.CurrentThreadId();
  if (InitInstance()) sys.RunMessageLoop();
  if (m_pMainWnd != nullptr) {
    FrameWindow* window = m_pMainWnd;
    m_pMainWnd = nullptr;
    window->DestroyFrame();
  }
  return ExitInstance();
}

Application* App() { return g_app; }

int AppMessageBox(const std::string& text, std::uint32_t flags) {
  Application* app = App();
  os::Handle owner = (app && app->m_pMainWnd) ? app->m_pMainWnd->WindowHandle() : 0;
  return os::sys().MessageBox(owner, text, app ? app->m_pszAppName : std::string(), flags);
}

os::Handle BeginThread(std::function<std::uint32_t()> body, int priority) {
  return os::sys().StartThread(std::move(body), priority);
}

}  // namespace fw

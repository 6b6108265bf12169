// The application object, the message loop and thread start: the least framework that a
// dialog-based launcher needs. One Application exists per process.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "os/system.h"

namespace fw {

// A top-level window owned by the application; the launcher's main window derives from it.
class FrameWindow {
 public:
  virtual ~FrameWindow() = default;
  virtual os::Handle WindowHandle() const { return 0; }
  // Posts a message to the window; false when there is no window to post to.
  virtual bool PostToWindow(std::uint32_t /*message*/, std::uintptr_t /*wParam*/,
                            std::intptr_t /*lParam*/) {
    return false;
  }
  // Destroys the window; the object deletes itself once its window is gone.
  virtual void DestroyFrame() { delete this; }
};

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up: non-zero when the message loop is to run.
  virtual int InitInstance() = 0;
  // Answers the process exit code.
  virtual int ExitInstance() { return 0; }
  // Result of a window message whose handler failed; the failure is swallowed.
  virtual long ProcessWndProcException() { return 0; }

  // Start-up, then the message loop when start-up succeeded, then the exit step.
  int Run(const std::string& commandLine);

  std::string m_pszAppName;  // caption of the application's message boxes
  std::string m_lpCmdLine;   // the program's arguments
  FrameWindow* m_pMainWnd = nullptr;
  std::uint32_t m_nThreadID = 0;  // the thread that runs the message loop
};

// The one application object (null before it is constructed).
Application* App();

// A message box captioned with the application's name, owned by its main window.
int AppMessageBox(const std::string& text, std::uint32_t flags);

// Starts a thread at the given priority; 0 when it cannot be started.
os::Handle BeginThread(std::function<std::uint32_t()> body, int priority);

}  // namespace fw

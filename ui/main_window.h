// The application's main window: created minimized and hidden, it carries the medium's
// picture and the product title, and closes the program when the install worker says it
// has finished.
#pragma once

#include <string>

#include "fw/application.h"
#include "os/system.h"

namespace ui {

// The private message with which the install worker ends the program.
constexpr std::uint32_t kWmSetupFinished = 0x0400 + 100;

// The product title over the picture: setup.inf's ProductName, looked up like the
// product's display name ("NULL" for an unknown key, the raw value when it is too short
// to hold a key).
std::string ReadTitle();
// The picture: setup.inf's Bitmap, relative to the program's folder.
std::string ReadBitmapPath();
// The title's first line (before the first line feed) and second line, each as a
// 128-byte buffer holds it.
void SplitTitle(const std::string& title, std::string* line1, std::string* line2);

class CMainWnd : public fw::FrameWindow, private os::MainWindowEvents {
 public:
  CMainWnd() = default;
  ~CMainWnd() override = default;

  int CreateMainWindow();
  // Paints once right after creation.
  void PaintNow();

  os::Handle WindowHandle() const override { return m_hWnd; }
  bool PostToWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void DestroyFrame() override;

  std::string m_strTitle;

 private:
  bool TitleWanted() override;
  void OnUserMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void OnDestroyed() override;

  os::Handle m_hWnd = 0;
};

}  // namespace ui

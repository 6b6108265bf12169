// The application's main window: created minimized and hidden; it closes the program when
// the install worker says it has finished.
#pragma once

#include "fw/application.h"

namespace ui {

// The private message with which the install worker ends the program.
constexpr unsigned kWmSetupFinished = 0x0400 + 100;

class CMainWnd : public fw::FrameWindow {
 public:
  int CreateMainWindow();
  // Paints once right after creation.
  void PaintNow();
};

}  // namespace ui

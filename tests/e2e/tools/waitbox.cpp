// Shows the launcher's wait box (template 105 of the same resources as setup.exe, in the
// dialog font that setup.exe makes) through the Win32 port, so that an end-to-end case
// can look at it:
//
//   waitbox.exe MESSAGE [MILLISECONDS]
//
// Prints "shown <width>x<height> at <left>,<top>" once the box is up (and "failed" when
// it cannot be made), keeps serving it for MILLISECONDS (default 5000) and removes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "os/win32/win32_system.h"
#include "ui/dialog_font.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: waitbox MESSAGE [MILLISECONDS]\n");
    return 1;
  }
  os::SetSystem(&os::Win32());
  os::System& sys = os::sys();
  bool doubleByte = sys.SystemMetric(os::kSmDbcsEnabled) != 0;
  os::Handle font = sys.CreateFontIndirect(ui::DialogFontSpec(doubleByte));
  if (font == 0) font = sys.StockFont(ui::DialogFontFallback(doubleByte));
  os::Handle box = sys.ShowWaitBox(argv[1], font);
  if (box == 0) {
    std::printf("failed\n");
    return 2;
  }
  RECT r;
  ::GetWindowRect(reinterpret_cast<HWND>(box), &r);
  std::printf("shown %ldx%ld at %ld,%ld\n", static_cast<long>(r.right - r.left),
              static_cast<long>(r.bottom - r.top), static_cast<long>(r.left),
              static_cast<long>(r.top));
  std::fflush(stdout);
  DWORD until = ::GetTickCount() + (argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 5000);
  while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    sys.PumpPendingMessages();
  }
  sys.DestroyWindow(box);
  ui::DeleteDialogFont(font);
  return 0;
}

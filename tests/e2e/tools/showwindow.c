/* Shows a window that its program keeps hidden, so that a test can look at what it paints.
 *
 *   showwindow.exe CLASSNAME [WAIT_MS]
 *
 * Waits up to WAIT_MS (default 10000) for a top-level window of that class, then restores
 * and maximizes it and brings it to the front. Exit code: 0 shown, 1 not found. */
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  DWORD waitMs = argc > 2 ? (DWORD)strtoul(argv[2], NULL, 10) : 10000;
  HWND window = NULL;
  for (DWORD waited = 0; window == NULL && waited <= waitMs; waited += 100) {
    window = FindWindowA(argv[1], NULL);
    if (window == NULL) Sleep(100);
  }
  if (window == NULL) return 1;
  ShowWindow(window, SW_RESTORE);
  ShowWindow(window, SW_SHOWMAXIMIZED);
  SetForegroundWindow(window);
  UpdateWindow(window);
  return 0;
}

/* A library without any of the plug-in's exports: the launcher loads it, finds nothing to
 * call and goes on. The cases also use it as the plug-in's resource library. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}

__declspec(dllexport) LONG WINAPI SomethingElse(LONG value) { return value; }

// The Windows program entry point of setup.exe: installs the Win32 port and runs the
// launcher.
#include <windows.h>

#include "main/launcher_main.h"
#include "os/win32/win32_system.h"

namespace {

// setup.exe is started from download folders and shares, where anyone may put a DLL beside
// it: DLLs loaded by name are looked for in the system folder only. The plug-in and its
// resource library are loaded by full path and are not affected. The call is looked up at
// run time, since Windows before 7 with KB2533623 lacks it.
void HardenDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr) setDefault(kSearchSystem32);
  // Without it, at least the current folder (often the medium itself) leaves the search.
  SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  HardenDllSearch();
  os::SetSystem(&os::Win32());
  return LauncherMain(commandLine != nullptr ? commandLine : "");
}

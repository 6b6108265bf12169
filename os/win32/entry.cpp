// The Windows program entry point of setup.exe: installs the Win32 port and runs the
// launcher.
#include <windows.h>

#include "main/launcher_main.h"
#include "os/win32/win32_system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  os::SetSystem(&os::Win32());
  return LauncherMain(commandLine != nullptr ? commandLine : "");
}

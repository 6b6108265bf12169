/* A stand-in for a planted system DLL: built under the names of system DLLs and put beside
 * a program, it writes "<its own path>.loaded" when a process loads it, so the cases can
 * tell whether the copy beside the program was taken instead of the system's own. */
#include <windows.h>

static void WriteMarker(HINSTANCE self) {
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  lstrcatA(path, ".loaded");
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  char process[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, process, sizeof process);
  DWORD written;
  WriteFile(file, process, length < sizeof process ? length : 0, &written, NULL);
  CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) WriteMarker(self);
  return TRUE;
}

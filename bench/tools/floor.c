/* The floor of the hand-off benchmark: the least any launcher with a window pays to hand
 * over to an installer. Creates one hidden window, starts the command line given as its
 * arguments the way setup.exe starts the installer (detached, handles inherited), waits for
 * it and exits with its exit code.
 *
 *   floor.exe PROGRAM [ARGS...]
 */
#include <string.h>
#include <windows.h>

/* The text after the first word of a command line, honouring double quotes. */
static char* SkipWord(char* text) {
  int quoted = 0;
  while (*text == ' ' || *text == '\t') ++text;
  for (; *text != '\0'; ++text) {
    if (*text == '"')
      quoted = !quoted;
    else if (!quoted && (*text == ' ' || *text == '\t'))
      break;
  }
  while (*text == ' ' || *text == '\t') ++text;
  return text;
}

static HWND CreateHiddenWindow(HINSTANCE instance) {
  WNDCLASSA windowClass;
  memset(&windowClass, 0, sizeof windowClass);
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "BenchFloor";
  if (!RegisterClassA(&windowClass)) return NULL;
  return CreateWindowA("BenchFloor", "Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)previous;
  (void)commandLine;
  (void)show;
  HWND window = CreateHiddenWindow(instance);
  if (window == NULL) return 2;

  char* program = SkipWord(GetCommandLineA());
  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  if (!CreateProcessA(NULL, program, NULL, NULL, TRUE, DETACHED_PROCESS, NULL, NULL, &startup,
                      &process))
    return 3;
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  DestroyWindow(window);
  return (int)code;
}

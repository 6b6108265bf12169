/* A pre- or post-install command of the sample medium: appends its argument and the time to
 * %TEMP%\sample-steps.log, so the demo can show that the launcher ran it. It waits a second
 * so that the wait box of its Message text is seen. */
#include <stdio.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR args, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  char path[MAX_PATH];
  DWORD n = GetTempPathA(sizeof path - 20, path);
  if (n == 0 || n >= sizeof path - 20) return 1;
  lstrcatA(path, "sample-steps.log");
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILE* f = fopen(path, "ab");
  if (f == NULL) return 1;
  fprintf(f, "%02u:%02u:%02u steplog %s\r\n", now.wHour, now.wMinute, now.wSecond, args);
  fclose(f);
  Sleep(1000);
  return 0;
}

/* The sample medium's upgrade plug-in: every export answers 0 (go on; reinstall a minor
 * update) and appends its call to %TEMP%\sample-steps.log for the demo. */
#include <stdio.h>
#include <windows.h>

static void Record(const char* exportName, LONG arg) {
  char path[MAX_PATH];
  DWORD n = GetTempPathA(sizeof path - 20, path);
  if (n == 0 || n >= sizeof path - 20) return;
  lstrcatA(path, "sample-steps.log");
  FILE* f = fopen(path, "ab");
  if (f == NULL) return;
  fprintf(f, "upgrade.dll %s(%ld) = 0\r\n", exportName, arg);
  fclose(f);
}

__declspec(dllexport) LONG WINAPI BeforeUpgrade(LONG quiet) {
  Record("BeforeUpgrade", quiet);
  return 0;
}

__declspec(dllexport) LONG WINAPI AfterUpgrade(LONG quiet) {
  Record("AfterUpgrade", quiet);
  return 0;
}

__declspec(dllexport) LONG WINAPI CheckBuildNumberForBrisal(LONG value) {
  Record("CheckBuildNumberForBrisal", value);
  return 0;
}

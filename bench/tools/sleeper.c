/* A pre-install command for the benchmark: sleeps, so that the launcher waits for it.
 * Writes started.txt beside itself first, so the benchmark knows the wait has begun.
 *
 * Sleeps BENCH_SLEEP_MS milliseconds, 20000 when unset.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static void MarkStarted(void) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  char* slash = strrchr(path, '\\');
  if (slash == NULL || (size_t)(slash + 1 - path) + sizeof "started.txt" > sizeof path) return;
  strcpy(slash + 1, "started.txt");
  FILE* marker = fopen(path, "wb");
  if (marker != NULL) fclose(marker);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  DWORD sleepMs = 20000;
  char text[32];
  DWORD n = GetEnvironmentVariableA("BENCH_SLEEP_MS", text, sizeof text);
  if (n > 0 && n < sizeof text) sleepMs = (DWORD)strtoul(text, NULL, 10);
  MarkStarted();
  Sleep(sleepMs);
  return 0;
}

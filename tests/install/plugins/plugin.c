/* A test upgrade plug-in for the end-to-end cases: the five exports the launcher knows,
 * undecorated, in the Windows API calling convention.
 *
 * Answers come from "answers.ini" beside the DLL, section [Answers], one key per export
 * (missing: 0), so one DLL serves every case:
 *   [Answers]
 *   BeforeUpgrade=3010
 * Each call appends a line to "calls.txt" beside the DLL (or the file named by the
 * environment variable PLUGIN_CALLS):
 *   <export> arg=<first> [second=<text>] cwd=<current directory> answer=<result>
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

/* `name` in the folder of this DLL. */
static void BesideSelf(const char* name, char* out, DWORD size) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(self, path, sizeof path);
  if (n == 0 || n >= sizeof path) path[0] = '\0';
  char* slash = strrchr(path, '\\');
  if (slash != NULL)
    slash[1] = '\0';
  else
    path[0] = '\0';
  _snprintf(out, size, "%s%s", path, name);
  out[size - 1] = '\0';
}

static LONG Answer(const char* exportName) {
  char answers[MAX_PATH];
  BesideSelf("answers.ini", answers, sizeof answers);
  return (LONG)GetPrivateProfileIntA("Answers", exportName, 0, answers);
}

static void Record(const char* exportName, const char* first, const char* second, LONG answer) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("PLUGIN_CALLS", path, sizeof path);
  if (n == 0 || n >= sizeof path) BesideSelf("calls.txt", path, sizeof path);
  char cwd[MAX_PATH];
  if (GetCurrentDirectoryA(sizeof cwd, cwd) == 0) cwd[0] = '\0';
  FILE* f = fopen(path, "ab");
  if (f == NULL) return;
  fprintf(f, "%s arg=%s", exportName, first);
  if (second != NULL) fprintf(f, " second=%s", second);
  fprintf(f, " cwd=%s answer=%ld\r\n", cwd, answer);
  fclose(f);
}

static LONG Call(const char* exportName, LONG first, const char* second) {
  char text[16];
  _snprintf(text, sizeof text, "%ld", first);
  text[sizeof text - 1] = '\0';
  LONG answer = Answer(exportName);
  Record(exportName, text, second, answer);
  return answer;
}

__declspec(dllexport) LONG WINAPI InitRes(HMODULE resources) {
  Record("InitRes", resources != NULL ? "module" : "null", NULL, 0);
  return 0;
}

__declspec(dllexport) LONG WINAPI BeforeUpgrade(LONG quiet) {
  return Call("BeforeUpgrade", quiet, NULL);
}

__declspec(dllexport) LONG WINAPI BeforeUpgradeEx(LONG flag, const char* icfPath) {
  return Call("BeforeUpgradeEx", flag, icfPath != NULL ? icfPath : "(null)");
}

__declspec(dllexport) LONG WINAPI AfterUpgrade(LONG quiet) {
  return Call("AfterUpgrade", quiet, NULL);
}

__declspec(dllexport) LONG WINAPI CheckBuildNumberForBrisal(LONG value) {
  return Call("CheckBuildNumberForBrisal", value, NULL);
}

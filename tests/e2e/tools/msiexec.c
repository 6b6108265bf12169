/* A recording stand-in for the Windows Installer, copied beside setup.exe by the
 * end-to-end cases; the launcher finds it before the system's own msiexec.exe.
 *
 * Each run appends one block to the record file:
 *   cmdline=<the command line as the process received it>
 *   cwd=<current directory>
 *   env.NAME=<value>       for each NAME in SETUP_RECORD_ENV (comma list); "env.NAME" when unset
 *   exit=<the code this run answers>
 *   --
 * Environment:
 *   SETUP_RECORD          record file (default: record.txt beside this program)
 *   SETUP_RECORD_ENV      variables to record
 *   SETUP_EXITCODE_FILE   exit codes, one per line (default: exitcode.txt beside this program);
 *                         run N uses line N, later runs the last line; missing file: 0
 *   SETUP_RECORD_SLEEP_MS time to wait after recording, before exiting
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static void BesideSelf(const char* fileName, char* out, DWORD size) {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
  if (n == 0 || n >= sizeof self) self[0] = '\0';
  char* slash = strrchr(self, '\\');
  if (slash != NULL)
    slash[1] = '\0';
  else
    self[0] = '\0';
  _snprintf(out, size, "%s%s", self, fileName);
  out[size - 1] = '\0';
}

/* The value of an environment variable or, when unset, the file beside this program. */
static void PathFromEnv(const char* variable, const char* defaultFile, char* out, DWORD size) {
  DWORD n = GetEnvironmentVariableA(variable, out, size);
  if (n == 0 || n >= size) BesideSelf(defaultFile, out, size);
}

/* Runs recorded so far: the number of "cmdline=" lines in the record. */
static int CountRuns(const char* recordPath) {
  FILE* f = fopen(recordPath, "rb");
  if (f == NULL) return 0;
  char line[8192];
  int runs = 0;
  while (fgets(line, sizeof line, f) != NULL)
    if (strncmp(line, "cmdline=", 8) == 0) ++runs;
  fclose(f);
  return runs;
}

static DWORD ExitCodeForRun(int run) {
  char path[MAX_PATH];
  PathFromEnv("SETUP_EXITCODE_FILE", "exitcode.txt", path, sizeof path);
  FILE* f = fopen(path, "rb");
  if (f == NULL) return 0;
  DWORD code = 0;
  char line[64];
  for (int i = 0; i <= run && fgets(line, sizeof line, f) != NULL; ++i)
    if (strspn(line, " \t\r\n") < strlen(line)) code = (DWORD)strtoul(line, NULL, 0);
  fclose(f);
  return code;
}

static void RecordEnvironment(FILE* record) {
  char names[4096];
  DWORD n = GetEnvironmentVariableA("SETUP_RECORD_ENV", names, sizeof names);
  if (n == 0 || n >= sizeof names) return;
  for (char* name = strtok(names, ","); name != NULL; name = strtok(NULL, ",")) {
    char value[32767];
    SetLastError(ERROR_SUCCESS);
    DWORD len = GetEnvironmentVariableA(name, value, sizeof value);
    if (len == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
      fprintf(record, "env.%s\n", name);
    else
      fprintf(record, "env.%s=%s\n", name, len < sizeof value ? value : "");
  }
}

int main(void) {
  char recordPath[MAX_PATH];
  PathFromEnv("SETUP_RECORD", "record.txt", recordPath, sizeof recordPath);
  DWORD code = ExitCodeForRun(CountRuns(recordPath));

  char cwd[MAX_PATH];
  if (GetCurrentDirectoryA(sizeof cwd, cwd) == 0) cwd[0] = '\0';

  FILE* record = fopen(recordPath, "ab");
  if (record == NULL) {
    fprintf(stderr, "msiexec stand-in: cannot open %s\n", recordPath);
    return 1;
  }
  fprintf(record, "cmdline=%s\ncwd=%s\n", GetCommandLineA(), cwd);
  RecordEnvironment(record);
  fprintf(record, "exit=%lu\n--\n", (unsigned long)code);
  fclose(record);

  char sleepMs[32];
  DWORD n = GetEnvironmentVariableA("SETUP_RECORD_SLEEP_MS", sleepMs, sizeof sleepMs);
  if (n > 0 && n < sizeof sleepMs) Sleep((DWORD)strtoul(sleepMs, NULL, 10));
  ExitProcess(code);
}

/* A recording stand-in for the shared components' programs, copied under three names by
 * the shared-components case; its role comes from its own file name:
 *   kdbsetup.exe   the database installer: sets the system's II_SYSTEM to the value of
 *                  E2E_KDB_II_SYSTEM (when set), then waits E2E_KDB_SLEEP_MS
 *   eksmsetup.exe  the identity installer: records the response file it was given (the
 *                  last quoted argument) and writes the component's marker
 *   netutil.exe    Ingres's netutil: records the script named after "-file"
 * Each run appends one block to components.txt beside this program (E2E_COMPONENTS_RECORD
 * overrides):
 *   program=<file name> / cmdline=<command line> / cwd=<current directory>
 *   file=<path>, then the file's lines as "| <line>" (missing: "file-missing=<path>")
 *   --
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static const char* kEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
static const char* kMarkerKey = "SOFTWARE\\Quorvane\\Embedded KSM";

static void SetMachineString(const char* key, const char* name, const char* value) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
  RegCloseKey(handle);
}

static void RecordFile(FILE* record, const char* path) {
  FILE* f = fopen(path, "rb");
  if (f == NULL) {
    fprintf(record, "file-missing=%s\n", path);
    return;
  }
  fprintf(record, "file=%s\n", path);
  char line[4096];
  while (fgets(line, sizeof line, f) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    fprintf(record, "| %s\n", line);
  }
  fclose(f);
}

/* The last double-quoted text of the command line. */
static int LastQuoted(const char* commandLine, char* out, size_t size) {
  const char* close = strrchr(commandLine, '"');
  if (close == NULL || close == commandLine) return 0;
  const char* open = close - 1;
  while (open > commandLine && *open != '"') --open;
  if (*open != '"') return 0;
  size_t n = (size_t)(close - open - 1);
  if (n >= size) n = size - 1;
  memcpy(out, open + 1, n);
  out[n] = '\0';
  return 1;
}

int main(void) {
  char self[MAX_PATH], recordPath[MAX_PATH], cwd[MAX_PATH], value[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
  if (n == 0 || n >= sizeof self) return 1;
  const char* name = strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self;
  n = GetEnvironmentVariableA("E2E_COMPONENTS_RECORD", recordPath, sizeof recordPath);
  if (n == 0 || n >= sizeof recordPath) {
    strcpy(recordPath, self);
    strcpy(strrchr(recordPath, '\\') + 1, "components.txt");
  }
  if (GetCurrentDirectoryA(sizeof cwd, cwd) == 0) cwd[0] = '\0';
  const char* commandLine = GetCommandLineA();

  FILE* record = fopen(recordPath, "ab");
  if (record == NULL) return 1;
  fprintf(record, "program=%s\ncmdline=%s\ncwd=%s\n", name, commandLine, cwd);
  if (_stricmp(name, "kdbsetup.exe") == 0) {
    n = GetEnvironmentVariableA("E2E_KDB_II_SYSTEM", value, sizeof value);
    if (n > 0 && n < sizeof value) SetMachineString(kEnvironmentKey, "II_SYSTEM", value);
  } else if (_stricmp(name, "eksmsetup.exe") == 0) {
    if (LastQuoted(commandLine, value, sizeof value)) RecordFile(record, value);
    SetMachineString(kMarkerKey, "LocationPath", "C:\\Program Files\\QV\\SharedComponents");
  } else if (_stricmp(name, "netutil.exe") == 0) {
    const char* file = strstr(commandLine, "-file ");
    if (file != NULL) {
      snprintf(value, sizeof value, "%s", file + 6);
      value[strcspn(value, " \"")] = '\0';
      RecordFile(record, value);
    }
  }
  fprintf(record, "--\n");
  fclose(record);

  if (_stricmp(name, "kdbsetup.exe") == 0) {
    n = GetEnvironmentVariableA("E2E_KDB_SLEEP_MS", value, sizeof value);
    if (n > 0 && n < sizeof value) Sleep((DWORD)strtoul(value, NULL, 10));
  }
  return 0;
}

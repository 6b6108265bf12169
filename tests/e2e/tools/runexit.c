/* Starts the command line given as its arguments, waits for it and prints its full 32-bit
 * exit code as "exit=<code>" (Wine hands Linux only the low 8 bits of a Windows exit code).
 *
 *   runexit.exe [--timeout MS] PROGRAM [ARGS...]
 *
 * With --timeout, a program still running after MS is terminated and "timeout" printed.
 * Exit code: 0 when the program ran to its end, 2 when it could not be started, 3 on time-out.
 */
#include <stdio.h>
#include <stdlib.h>
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

int main(void) {
  char* rest = SkipWord(GetCommandLineA());
  DWORD timeoutMs = INFINITE;
  if (strncmp(rest, "--timeout ", 10) == 0) {
    timeoutMs = (DWORD)strtoul(rest + 10, NULL, 10);
    rest = SkipWord(rest + 10);
  }
  if (*rest == '\0') {
    fprintf(stderr, "usage: runexit [--timeout MS] PROGRAM [ARGS...]\n");
    return 2;
  }

  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  if (!CreateProcessA(NULL, rest, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
    fprintf(stderr, "runexit: cannot start %s: error %lu\n", rest, (unsigned long)GetLastError());
    return 2;
  }
  CloseHandle(process.hThread);

  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    printf("timeout\n");
    fflush(stdout);
    return 3;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  printf("exit=%lu\n", (unsigned long)code);
  fflush(stdout);
  return 0;
}

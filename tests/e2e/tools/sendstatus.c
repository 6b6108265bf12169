/* Writes one status message to a mailslot, in the layout that setup.exe sends
 * (cls/remote_mailslot.h), so that the cases can check statusmon.exe on its own.
 *
 *   sendstatus.exe [--slot PATH] CODE LEVEL [TEXT]   form S, or T with a text
 *   sendstatus.exe [--slot PATH] --raw DATA          DATA as it is
 *
 * PATH defaults to \\.\mailslot\SetupStatus. Exit code 0 when written, 1 when not.
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static void AppendEscaped(char* out, size_t size, const char* text) {
  size_t n = strlen(out);
  for (; *text != '\0' && n + 2 < size; ++text) {
    const char* escape = *text == '\\'   ? "\\\\"
                         : *text == '\t' ? "\\t"
                         : *text == '\r' ? "\\r"
                         : *text == '\n' ? "\\n"
                                         : NULL;
    if (escape != NULL) {
      memcpy(out + n, escape, 2);
      n += 2;
    } else {
      out[n++] = *text;
    }
  }
  out[n] = '\0';
}

static int Usage(void) {
  fprintf(stderr,
          "usage: sendstatus [--slot PATH] CODE LEVEL [TEXT]\n"
          "       sendstatus [--slot PATH] --raw DATA\n");
  return 1;
}

int main(int argc, char** argv) {
  const char* slot = "\\\\.\\mailslot\\SetupStatus";
  int arg = 1;
  if (arg + 1 < argc && strcmp(argv[arg], "--slot") == 0) {
    slot = argv[arg + 1];
    arg += 2;
  }

  char message[4096];
  if (arg + 1 < argc && strcmp(argv[arg], "--raw") == 0) {
    _snprintf(message, sizeof message, "%s", argv[arg + 1]);
    message[sizeof message - 1] = '\0';
  } else if (argc - arg == 2 || argc - arg == 3) {
    int withText = argc - arg == 3;
    char sender[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD senderSize = sizeof sender;
    if (!GetComputerNameA(sender, &senderSize)) sender[0] = '\0';
    _snprintf(message, sizeof message, "SETUPSTATUS\t1\t%c\t%s\t%s\t\t\t", withText ? 'T' : 'S',
              argv[arg], argv[arg + 1]);
    message[sizeof message - 1] = '\0';
    if (withText) AppendEscaped(message, sizeof message, argv[arg + 2]);
    strncat(message, "\t0\t0\t", sizeof message - strlen(message) - 1);
    AppendEscaped(message, sizeof message, sender);
  } else {
    return Usage();
  }

  HANDLE file = CreateFileA(slot, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "sendstatus: cannot open %s: error %lu\n", slot, (unsigned long)GetLastError());
    return 1;
  }
  DWORD written = 0;
  BOOL ok = WriteFile(file, message, (DWORD)strlen(message), &written, NULL);
  CloseHandle(file);
  if (!ok) {
    fprintf(stderr, "sendstatus: cannot write to %s: error %lu\n", slot,
            (unsigned long)GetLastError());
    return 1;
  }
  return 0;
}

/* Finds a dialog of another program by its caption and reads or works its controls, for
 * the end-to-end cases of the launcher's dialogs:
 *
 *   dlgpick.exe CAPTION [--timeout MS] ACTION...
 *
 * Waits up to MS milliseconds (default 20000) for a visible dialog (class #32770) captioned
 * CAPTION, prints "found", then runs the actions in order:
 *   --list            prints "item=<text>" for each item of combo box 1109, then
 *                     "selected=<index>"
 *   --checked         prints "checked=<id>" for the checked one of radio buttons 1113, 1114
 *                     (0: neither)
 *   --rect ID         prints "rect ID=<left> <top> <right> <bottom>": the control's screen
 *                     rectangle, so that xdotool can click it as a user would
 *   --item-rect N     the screen rectangle of item N of combo box 1109's list while it is
 *                     dropped down below the box ("rect item N=...")
 *   --select N        selects item N of combo box 1109 (CB_SETCURSEL)
 *   --click ID        clicks button ID (BM_CLICK): a radio button is checked, a push button
 *                     pressed
 *   --press ID        tells the dialog that button ID was pressed (WM_COMMAND BN_CLICKED)
 *   --wait-gone MS    waits until the dialog has closed
 *   --sleep MS        waits
 * Exits 0, or 2 when the dialog is not found or does not close in time, 1 on bad usage.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static HWND FindDialog(const char* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND dialog = FindWindowA("#32770", caption);
    if (dialog != NULL && IsWindowVisible(dialog)) return dialog;
    if (GetTickCount() - start >= timeoutMs) return NULL;
    Sleep(100);
  }
}

static void PrintRect(const char* what, RECT r) {
  printf("rect %s=%ld %ld %ld %ld\n", what, (long)r.left, (long)r.top, (long)r.right,
         (long)r.bottom);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: dlgpick CAPTION [--timeout MS] ACTION...\n");
    return 1;
  }
  const char* caption = argv[1];
  int i = 2;
  DWORD timeout = 20000;
  if (i + 1 < argc && strcmp(argv[i], "--timeout") == 0) {
    timeout = (DWORD)strtoul(argv[i + 1], NULL, 10);
    i += 2;
  }
  HWND dialog = FindDialog(caption, timeout);
  if (dialog == NULL) {
    printf("not found\n");
    return 2;
  }
  printf("found\n");
  fflush(stdout);
  for (; i < argc; ++i) {
    const char* action = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : NULL;
    HWND list = GetDlgItem(dialog, 1109);
    if (strcmp(action, "--list") == 0) {
      LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
      for (LRESULT k = 0; k < count; ++k) {
        /* Asked in UTF-16: the text then crosses between the processes whole. */
        WCHAR wide[256] = L"";
        char text[512] = "";
        LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, (WPARAM)k, 0);
        if (length >= 0 && length < (LRESULT)(sizeof wide / sizeof wide[0]))
          SendMessageW(list, CB_GETLBTEXT, (WPARAM)k, (LPARAM)wide);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
        printf("item=%s\n", text);
      }
      printf("selected=%d\n", (int)SendMessageA(list, CB_GETCURSEL, 0, 0));
    } else if (strcmp(action, "--checked") == 0) {
      int checked = 0;
      if (IsDlgButtonChecked(dialog, 1113) == BST_CHECKED) checked = 1113;
      else if (IsDlgButtonChecked(dialog, 1114) == BST_CHECKED) checked = 1114;
      printf("checked=%d\n", checked);
    } else if (value == NULL) {
      fprintf(stderr, "dlgpick: %s needs a value\n", action);
      return 1;
    } else if (strcmp(action, "--rect") == 0) {
      RECT r = {0, 0, 0, 0};
      GetWindowRect(GetDlgItem(dialog, atoi(value)), &r);
      PrintRect(value, r);
      ++i;
    } else if (strcmp(action, "--item-rect") == 0) {
      RECT box = {0, 0, 0, 0};
      GetWindowRect(list, &box);
      int item = atoi(value);
      int height = (int)SendMessageA(list, CB_GETITEMHEIGHT, 0, 0);
      RECT r = box;
      r.top = box.bottom + 1 + item * height;
      r.bottom = r.top + height;
      char what[32];
      _snprintf(what, sizeof what, "item %d", item);
      what[sizeof what - 1] = '\0';
      PrintRect(what, r);
      ++i;
    } else if (strcmp(action, "--select") == 0) {
      SendMessageA(list, CB_SETCURSEL, (WPARAM)atoi(value), 0);
      ++i;
    } else if (strcmp(action, "--click") == 0) {
      SendMessageA(GetDlgItem(dialog, atoi(value)), BM_CLICK, 0, 0);
      ++i;
    } else if (strcmp(action, "--press") == 0) {
      int id = atoi(value);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   (LPARAM)GetDlgItem(dialog, id));
      ++i;
    } else if (strcmp(action, "--wait-gone") == 0) {
      DWORD start = GetTickCount(), limit = (DWORD)strtoul(value, NULL, 10);
      while (IsWindow(dialog)) {
        if (GetTickCount() - start >= limit) {
          printf("still open\n");
          return 2;
        }
        Sleep(100);
      }
      printf("gone\n");
      ++i;
    } else if (strcmp(action, "--sleep") == 0) {
      Sleep((DWORD)strtoul(value, NULL, 10));
      ++i;
    } else {
      fprintf(stderr, "dlgpick: unknown action %s\n", action);
      return 1;
    }
    fflush(stdout);
  }
  return 0;
}

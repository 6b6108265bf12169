/* A stand-in program for the contract suite: writes "program-ran.txt" into its current
 * folder and exits with the number written in "<its own path>.code" (255 without one),
 * so that copies of it under different names exit with different codes.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(void) {
  char path[MAX_PATH + 8];
  DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) ExitProcess(255);
  strcat(path, ".code");

  UINT code = 255;
  FILE* codeFile = fopen(path, "r");
  if (codeFile != NULL) {
    char number[32] = {0};
    if (fgets(number, sizeof number, codeFile) != NULL) code = (UINT)strtoul(number, NULL, 10);
    fclose(codeFile);
  }

  FILE* marker = fopen("program-ran.txt", "w");
  if (marker != NULL) {
    fputs("ran", marker);
    fclose(marker);
  }
  ExitProcess(code);
}

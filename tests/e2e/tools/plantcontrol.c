/* The control for the DLL planting case: a program without any hardening that loads the
 * DLL named on its command line by name, as a careless program would.
 * Exit code: 0 when LoadLibraryA succeeded, 1 when it failed, 2 without an argument. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: plantcontrol <dll name>\n");
    return 2;
  }
  HMODULE module = LoadLibraryA(argv[1]);
  printf("%s: %s\n", argv[1], module != NULL ? "loaded" : "not loaded");
  return module != NULL ? 0 : 1;
}

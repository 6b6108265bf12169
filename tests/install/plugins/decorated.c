/* A plug-in whose BeforeUpgrade is exported only under its decorated name
 * ("BeforeUpgrade@4", see decorated.def): the launcher looks for the plain name, does not
 * find it and goes on, although the function would stop the setup. */
#include <windows.h>

LONG WINAPI BeforeUpgrade(LONG quiet) {
  (void)quiet;
  return 1603;
}

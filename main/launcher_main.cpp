#include "main/launcher_main.h"

#include <cstdlib>

#include "app/setup_app.h"

// The library's default handler of an uncaught exception prints the exception's type name,
// demangled, on a console that a windowed setup.exe does not have. Its demangler alone is
// about 45 KB of every medium's launcher; ending at once loses nothing.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int LauncherMain(const std::string& commandLine) {
  app::CSetupApp theApp;
  return theApp.Run(commandLine);
}

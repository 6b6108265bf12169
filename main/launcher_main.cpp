#include "main/launcher_main.h"

#include "app/setup_app.h"

int LauncherMain(const std::string& commandLine) {
  app::CSetupApp theApp;
  return theApp.Run(commandLine);
}

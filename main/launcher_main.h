// The launcher's own entry, called by the system's program entry point with the
// program's arguments once the port is in place; answers the process exit code.
#pragma once

#include <string>

int LauncherMain(const std::string& commandLine);

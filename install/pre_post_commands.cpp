#include "install/pre_post_commands.h"

namespace install {

int RunPreInstallCommands() { return 1; }

int RunPostInstallCommands() { return 1; }

}  // namespace install

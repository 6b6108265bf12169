// The medium's own programs, run before and after the product's install.
#pragma once

namespace install {

int RunPreInstallCommands();
int RunPostInstallCommands();

}  // namespace install

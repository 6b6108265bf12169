// What the install worker looks at or changes around the Windows Installer run.
#pragma once

#include <string>

namespace install {

// 1 when setup.inf's ProductDescriptor names a value under the product's Products key.
int IsProductInstalled();
// The launcher's own PATH becomes the system PATH, ";" and the product folder.
void AddProductPathToPath(const std::string& productPath);
// Waits for another running installation to end, then looks for this product's success
// in the installer log's tail; 1 for "ok".
int WaitCheckInstallStatus(std::string logPath);
// Grants the built-in backup operators access on the product's root key; 1 when the
// permission is in place afterwards.
int AddPermissionToNTBRootReg();
// Registers the Windows Installer service again when its class key is missing.
void RegisterMsiServerIfMissing();

// The tail of an installer log (UTF-16, as Windows writes it) as ANSI text.
std::string ConvertLogTail(const std::string& bytes);

}  // namespace install

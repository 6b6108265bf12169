// Whether the installed Windows Installer is recent enough for the product's packages:
// msi.dll in the system folder must be version 3.1 or later.
#pragma once

namespace cls {

constexpr unsigned kMinimumMsiMajor = 3;
constexpr unsigned kMinimumMsiMinor = 1;

// Non-zero when the installed Windows Installer is recent enough. `reserved` is 0.
int IsMsiVersionOK(int reserved);

}  // namespace cls

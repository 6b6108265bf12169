// The thread that runs the Windows Installer.
#pragma once

#include <cstdint>

namespace install {

std::uint32_t InstallWorker(void* parameter);

}  // namespace install

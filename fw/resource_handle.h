// The module that the launcher's dialogs, icons and strings are loaded from: the
// program itself, unless a plug-in call has lent it to the plug-in's resource library.
#pragma once

#include "os/system.h"

namespace fw {

// The current resource module; the program's own module until one is set.
os::Handle ResourceHandle();
// Makes `module` the resource module; 0 returns to the program's own.
void SetResourceHandle(os::Handle module);

}  // namespace fw

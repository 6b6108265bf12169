// The wait box of the external commands (template 105): shown while a program
// of the medium runs, with the medium's message in the application's dialog font.
#pragma once

#include <string>

#include "os/system.h"

namespace ui {

// Shows the box on the calling thread with `message` in the dialog font (CSetupApp's
// m_hDialogFont, when there is an application object and it has one). Answers the box's
// window handle, 0 when it could not be shown; os::sys().DestroyWindow removes it.
os::Handle ShowWaitBox(const std::string& message);

}  // namespace ui

#pragma once

#include "os/system.h"

namespace ui {

void DeleteDialogFont(os::Handle font);

}  // namespace ui

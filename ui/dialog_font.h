// The application's dialog font: the logical font that CreateDialogFont makes,
// with a stock font when it cannot be made. The wait box's text shows in it.
#pragma once

#include "os/system.h"

namespace ui {

// The logical font: MS Gothic (by its Japanese name) on a system
// with double-byte support, MS Sans Serif on the others.
os::LogFontSpec DialogFontSpec(bool doubleByteSystem);
// The stock font used when the logical font cannot be created.
int DialogFontFallback(bool doubleByteSystem);
// Deletes the font made by CreateDialogFont (none: nothing to do).
void DeleteDialogFont(os::Handle font);

}  // namespace ui

// Loads the 3-D controls library on Windows versions before 4.0, where dialogs need it
// for their 3-D look; later versions draw 3-D controls themselves and load nothing.
#pragma once

#include "os/system.h"

namespace app {

class CCtl3dLoader {
 public:
  explicit CCtl3dLoader(bool autoSubclass);
  ~CCtl3dLoader();
  CCtl3dLoader(const CCtl3dLoader&) = delete;
  CCtl3dLoader& operator=(const CCtl3dLoader&) = delete;

  // 1 when the library was registered (and subclassing, if asked for, succeeded).
  int Load(bool autoSubclass);
  // 1 when a loaded library was unregistered and freed, 0 when nothing was loaded.
  int Unload();
  int LoadResult() const { return loadResult_; }

 private:
  os::Handle library_ = 0;
  int loadResult_ = 0;
};

}  // namespace app

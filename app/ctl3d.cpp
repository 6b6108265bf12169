#include "app/ctl3d.h"

#include <cstdint>

namespace app {

namespace {
using Ctl3dEntry = int(OS_WINAPI*)(void*);

void* Instance() { return reinterpret_cast<void*>(os::sys().ModuleHandle()); }
}  // namespace

CCtl3dLoader::CCtl3dLoader(bool autoSubclass) { loadResult_ = Load(autoSubclass); }

CCtl3dLoader::~CCtl3dLoader() { Unload(); }

int CCtl3dLoader::Load(bool autoSubclass) {
  os::System& sys = os::sys();
  if (sys.Version().major > 3) return 0;
  std::uint32_t previous = sys.SetErrorMode(os::kSemNoOpenFileErrorBox);
  os::Handle library = sys.LoadLibrary("ctl3d32.dll");
  sys.SetErrorMode(previous);
  if (library <= 32) return 0;
  library_ = library;
  auto reg = reinterpret_cast<Ctl3dEntry>(sys.GetProcAddress(library_, "Ctl3dRegister"));
  if (reg == nullptr || reg(Instance()) == 0) return 0;
  if (!autoSubclass) return 1;
  auto sub = reinterpret_cast<Ctl3dEntry>(sys.GetProcAddress(library_, "Ctl3dAutoSubclass"));
  return sub ? sub(Instance()) : 0;
}

int CCtl3dLoader::Unload() {
  if (library_ == 0) return 0;
  os::System& sys = os::sys();
  if (auto unreg = reinterpret_cast<Ctl3dEntry>(sys.GetProcAddress(library_, "Ctl3dUnregister")))
    unreg(Instance());
  sys.FreeLibrary(library_);
  library_ = 0;
  return 1;
}

}  // namespace app

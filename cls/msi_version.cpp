#include "cls/msi_version.h"

#include "os/system.h"

namespace cls {

int IsMsiVersionOK(int) {
  os::System& sys = os::sys();
  std::optional<os::FileVersion> v = sys.FileVersionOf(sys.SystemDirectory() + "\\msi.dll");
  if (!v) return 0;
  if (v->major != kMinimumMsiMajor) return v->major > kMinimumMsiMajor ? 1 : 0;
  return v->minor >= kMinimumMsiMinor ? 1 : 0;
}

}  // namespace cls

#include "cls/log.h"

#include <cstdio>

#include "fw/text.h"
#include "os/system.h"

namespace cls {

namespace {

std::string TimeStamp() {
  os::LocalTime t = os::sys().LocalTimeNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", t.year % 10000u,
                t.month % 100u, t.day % 100u, t.hour % 100u, t.minute % 100u, t.second % 100u);
  return stamp;
}

}  // namespace

int CLog::Write(const std::string& file, const std::string& format,
                std::initializer_list<std::string> args) {
  os::System& sys = os::sys();
  os::Handle h = sys.OpenFile(file, os::kGenericWrite, os::kFileShareRead | os::kFileShareWrite,
                              os::kOpenAlways);
  if (h == 0) return 0;
  sys.SeekFile(h, 0, 2);
  bool written = sys.WriteFile(h, TimeStamp() + "  " + fw::FormatText(format, args) + "\r\n");
  sys.CloseHandle(h);
  return written ? 1 : 0;
}

}  // namespace cls

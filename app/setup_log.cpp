#include "app/setup_log.h"

#include "app/setup_context.h"
#include "cls/log.h"
#include "fw/text.h"
#include "os/system.h"

namespace app {

namespace {
constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kLineBuffer = 520;
}  // namespace

std::size_t StripTrailingBackslashes(std::string& path) {
  os::System& sys = os::sys();
  auto lead = [&sys](char c) { return sys.IsDbcsLeadByte(static_cast<std::uint8_t>(c)); };
  while (!path.empty() && path.back() == '\\') {
    std::size_t n = path.size();
    if (n == 1) {
      path.pop_back();
      continue;
    }
    if (!lead(path[n - 2])) {
      path.pop_back();
      continue;
    }
    if (n == 2) break;
    // Count the unbroken run of lead-byte values before the byte ahead of the backslash:
    // an odd count makes that byte a trail byte, so the backslash stands alone.
    std::size_t run = 0;
    for (std::size_t i = n - 2; i-- > 0 && lead(path[i]);) ++run;
    if (run % 2 == 1)
      path.pop_back();
    else
      break;
  }
  return path.size();
}

std::size_t AddTrailingBackslash(std::string& path) {
  if (StripTrailingBackslashes(path) != 0) path += '\\';
  return path.size();
}

std::string SetupLogPath() {
  std::string temp = fw::CutToBuffer(os::sys().TempPath(), kPathBuffer);
  AddTrailingBackslash(temp);
  return fw::CutToBuffer(temp + "_SETUP.LOG", kPathBuffer);
}

void WriteSetupLog(const std::string& format, const std::string& argument) {
  cls::CLog::Write(SetupLogPath(), format, {argument});
}

void WriteMsiLogLine(std::string text) {
  const std::string& log = Ctx().msiLogPath;
  if (log.empty()) return;
  os::System& sys = os::sys();
  os::Handle file = sys.OpenFile(log, os::kGenericWrite, os::kFileShareWrite, os::kOpenAlways);
  if (file == 0) return;
  sys.SeekFile(file, 0, 2);
  // The line must fit the line buffer with its terminating zero; an over-long text is cut
  // so that the line still ends with its line feed.
  const std::string prefix = "Parameter: ";
  std::size_t room = kLineBuffer - 1 - prefix.size() - 1;
  sys.WriteFile(file, prefix + fw::CutToBuffer(text, room + 1) + "\n");
  sys.CloseHandle(file);
}

void DeleteStaleSetupExeLog() {
  os::System& sys = os::sys();
  std::string stale = fw::CutToBuffer(sys.TempPath(), kPathBuffer) + "setupexe.log";
  if (sys.FileAttributes(stale) != os::kInvalidFileAttributes) sys.DeleteFile(stale);
}

}  // namespace app

#include "install/process_runner.h"

namespace install {

// The runners start nothing yet; their callers go on as after a program that could not
// be started.
int RunCommandAndWait(std::string, std::string) { return 0; }

int RunCommandInDirAndWait(std::string, const std::string*, std::string) { return 0; }

std::uint32_t WaitWithMessagePump(os::Handle object, std::uint32_t timeoutMs) {
  os::System& sys = os::sys();
  std::uint32_t result;
  while ((result = sys.MsgWaitForSingleObject(object, timeoutMs)) == os::kWaitObject0 + 1)
    sys.PumpPendingMessages();
  return result;
}

}  // namespace install

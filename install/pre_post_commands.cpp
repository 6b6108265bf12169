#include "install/pre_post_commands.h"

#include "app/setup_context.h"
#include "fw/text.h"
#include "install/process_runner.h"
#include "os/system.h"

namespace install {

namespace {

constexpr std::size_t kValueBuffer = 260;

// Runs Command1, Command2, ... of the section, each with its message, up to the first
// index whose command is missing or empty.
int RunCommandList(const std::string& section) {
  os::System& sys = os::sys();
  const std::string& inf = app::Ctx().setupInfPath;
  for (int n = 1;; ++n) {
    std::string index = fw::ToDecimal(n);
    std::string command = sys.ProfileString(inf, section, "Command" + index, "", kValueBuffer);
    if (command.empty()) break;
    std::string message = sys.ProfileString(inf, section, "Message" + index, "", kValueBuffer);
    RunCommandAndWait(command, message);
  }
  return 1;
}

}  // namespace

int RunPreInstallCommands() { return RunCommandList("PreInstall"); }

int RunPostInstallCommands() { return RunCommandList("PostInstall"); }

}  // namespace install

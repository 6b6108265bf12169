#include "install/process_runner.h"

#include "app/setup_app.h"
#include "app/setup_log.h"
#include "fw/text.h"
#include "os/constants.h"

namespace install {

namespace {

constexpr std::size_t kPathBuffer = 260;

// The launcher's own drive and folder, ending with a backslash.
std::string LauncherFolder() {
  fw::PathParts parts = fw::SplitPath(fw::CutToBuffer(os::sys().ModuleFileName(), 261));
  return parts.drive + parts.dir;
}

struct ResolvedCommand {
  std::string program;      // full path
  std::string commandLine;  // the program, or "program arguments"; nothing quoted
  std::string programFolder;
};

// The program is the text up to the first "/", the arguments the rest from that "/" on.
// A text that is no full path name is taken relative to the launcher's folder.
bool ResolveCommand(const std::string& command, ResolvedCommand* out) {
  std::string text = fw::IsFullPathName(command) ? command : LauncherFolder() + command;
  std::size_t slash = text.find('/');
  std::string program = text.substr(0, slash);
  std::string arguments = slash == std::string::npos ? std::string() : text.substr(slash);
  std::string full;
  if (!os::sys().FullPathName(program, kPathBuffer, &full)) return false;
  fw::PathParts parts = fw::SplitPath(full);
  out->program = full;
  out->programFolder = parts.drive + parts.dir;
  out->commandLine = arguments.empty() ? full : full + " " + arguments;
  return true;
}

// The wait box with the message, in the application's dialog font; none for no message.
os::Handle OpenWaitBox(const std::string& message) {
  if (message.empty()) return 0;
  const app::CSetupApp* app = app::TheApp();
  return os::sys().ShowWaitBox(message, app != nullptr ? app->m_hDialogFont : 0);
}

void CloseWaitBox(os::Handle box) {
  if (box != 0) os::sys().DestroyWindow(box);
}

// Reads the exit code once the process is signalled. A program that really ended with
// STILL_ACTIVE is told apart from a running one by its handle being signalled.
void AwaitExit(os::Handle process) {
  os::System& sys = os::sys();
  WaitWithMessagePump(process, os::kInfinite);
  std::uint32_t code = 0;
  if (!sys.GetExitCodeProcess(process, &code)) return;
  while (code == os::kStillActive && sys.WaitForSingleObject(process, 0) != os::kWaitObject0) {
    sys.Sleep(1000);
    if (!sys.GetExitCodeProcess(process, &code)) return;
  }
}

int Run(const std::string& command, const std::optional<std::string>& directory,
        bool useProgramFolder, bool inherit, std::uint32_t flags, const std::string& message,
        const char* caller) {
  os::System& sys = os::sys();
  ResolvedCommand resolved;
  os::ProcessInfo info;
  bool started = false;
  if (ResolveCommand(command, &resolved)) {
    os::ProcessStart start;
    start.commandLine = resolved.commandLine;
    start.workDir =
        useProgramFolder ? std::optional<std::string>(resolved.programFolder) : directory;
    start.inheritHandles = inherit;
    start.creationFlags = flags;
    started = sys.CreateProcess(start, &info);
  }
  if (!started) {
    app::WriteSetupLog(std::string(caller) + " - Failed to launch %s", command);
    return 0;
  }
  os::Handle box = OpenWaitBox(message);
  sys.CloseHandle(info.thread);
  AwaitExit(info.process);
  sys.CloseHandle(info.process);
  CloseWaitBox(box);
  return 1;
}

}  // namespace

int RunCommandAndWait(std::string command, std::string message) {
  return Run(command, std::nullopt, true, true, os::kDetachedProcess, message, "RunCommandAndWait");
}

int RunCommandInDirAndWait(std::string command, const std::string* directory, std::string message) {
  std::optional<std::string> dir;
  if (directory != nullptr) dir = *directory;
  return Run(command, dir, false, false, os::kNormalPriorityClass | os::kDetachedProcess, message,
             "RunCommandInDirAndWait");
}

std::uint32_t WaitWithMessagePump(os::Handle object, std::uint32_t timeoutMs) {
  os::System& sys = os::sys();
  std::uint32_t result;
  while ((result = sys.MsgWaitForSingleObject(object, timeoutMs)) == os::kWaitObject0 + 1)
    sys.PumpPendingMessages();
  return result;
}

}  // namespace install

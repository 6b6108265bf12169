// Starting programs and reading their exit codes.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

using win32::FromWin;
using win32::ToWin;

bool Win32System::CreateProcess(const ProcessStart& start, ProcessInfo* info) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // CreateProcessA may write to the command line, so it gets a copy of its own.
  std::vector<char> commandLine(start.commandLine.begin(), start.commandLine.end());
  commandLine.push_back('\0');
  BOOL started = ::CreateProcessA(
      start.applicationName.empty() ? nullptr : start.applicationName.c_str(), commandLine.data(),
      nullptr, nullptr, start.inheritHandles ? TRUE : FALSE, start.creationFlags, nullptr,
      start.workDir ? start.workDir->c_str() : nullptr, &startup, &process);
  if (!started) return false;
  if (info != nullptr) {
    info->process = FromWin(process.hProcess);
    info->thread = FromWin(process.hThread);
    info->processId = process.dwProcessId;
  } else {
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
  }
  return true;
}

bool Win32System::ShellExecute(const std::string& file, const std::string& parameters,
                               const std::string& directory, int show, Handle* process) {
  SHELLEXECUTEINFOA execute = {};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NO_CONSOLE;
  execute.lpVerb = "open";
  execute.lpFile = file.c_str();
  execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  execute.lpDirectory = directory.empty() ? nullptr : directory.c_str();
  execute.nShow = show;
  using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
  auto shellExecuteEx = win32::SystemFunction<ShellExecuteExFn>("shell32.dll", "ShellExecuteExA");
  if (shellExecuteEx == nullptr || !shellExecuteEx(&execute)) return false;
  if (process != nullptr) {
    *process = FromWin(execute.hProcess);
  } else if (execute.hProcess != nullptr) {
    ::CloseHandle(execute.hProcess);
  }
  return true;
}

bool Win32System::GetExitCodeProcess(Handle process, std::uint32_t* code) {
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(ToWin(process), &exitCode)) return false;
  if (code != nullptr) *code = exitCode;
  return true;
}

void Win32System::ExitProcess(std::uint32_t code) { ::ExitProcess(code); }

}  // namespace os

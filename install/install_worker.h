// The thread that runs the Windows Installer: it composes the msiexec.exe command line
// from the setup context, runs it, waits, and then handles the result and closes the
// program (install_result.cpp).
#pragma once

#include <cstdint>
#include <string>

namespace install {

std::uint32_t InstallWorker(void* parameter);

// Rewrites a mapped network drive in setupDir to its \\server\share form.
void ResolveNetworkSetupDir();
std::string PackagePath();
std::string CopyPath();
// 1 to 8, by run mode, multi-language, package kind and the reinstall test.
int ChooseCommandFormat();
// The full msiexec.exe command line, appended arguments included; never cut.
std::string ComposeCommandLine(int format, const std::string& packagePath,
                               const std::string& copyPath);

// The longest command line Windows starts a process with.
constexpr std::size_t kMaxCommandLine = 32767;

// What the worker carries from the installer run to the result handling.
struct WorkerRun {
  std::string failureText;
  std::uint32_t resultCode = 0;
  std::string packagePath;
};

// The result handling after the installer ran, after its start failed, and the close.
void HandleInstallResult(WorkerRun& run);
void HandleStartFailure(WorkerRun& run);
void CompleteInstall(WorkerRun& run);

}  // namespace install

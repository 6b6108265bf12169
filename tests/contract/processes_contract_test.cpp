// Starting programs: exit codes, the folder they start in and where a bare name is found.
#include <string>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

class ProcessesContract : public PortContract {
 protected:
  // Starts `commandLine` in `workDir` (none: the current folder), waits for it and answers
  // its exit code (or ~0 when it can't).
  std::uint32_t Run(const std::string& commandLine, const std::optional<std::string>& workDir) {
    os::ProcessStart start;
    start.commandLine = commandLine;
    start.workDir = workDir;
    os::ProcessInfo info;
    if (!port().CreateProcess(start, &info)) return ~0u;
    std::uint32_t code = ~0u;
    if (port().WaitForSingleObject(info.process, 30000) == os::kWaitObject0) {
      port().GetExitCodeProcess(info.process, &code);
    }
    port().CloseHandle(info.thread);
    port().CloseHandle(info.process);
    return code;
  }
};

TEST_F(ProcessesContract, ExitCodesArriveWhole) {
  for (std::uint32_t code : {0u, 1u, 1603u, 3010u, 0xC0000005u}) {
    SCOPED_TRACE(code);
    std::string program = InScratch("prog" + std::to_string(code) + ".exe");
    side().MakeProgram(program, code);
    EXPECT_EQ(Run("\"" + program + "\" arg", scratch()), code);
  }
}

TEST_F(ProcessesContract, ProgramStartsInTheGivenFolder) {
  std::string folder = InScratch("work");
  ASSERT_TRUE(port().CreateDirectory(folder));
  side().MakeProgram(InScratch("prog.exe"), 0);
  ASSERT_EQ(Run("\"" + InScratch("prog.exe") + "\"", folder), 0u);
  EXPECT_NE(port().FileAttributes(folder + "\\" + kProgramMarker), os::kInvalidFileAttributes);
  EXPECT_EQ(port().FileAttributes(InScratch(kProgramMarker)), os::kInvalidFileAttributes);
}

TEST_F(ProcessesContract, BareNameIsFoundInTheLaunchersFolderFirst) {
  std::string module = port().ModuleFileName();
  std::string ownFolder = module.substr(0, module.find_last_of('\\'));
  side().MakeProgram(ownFolder + "\\contractprog.exe", 7);
  side().MakeProgram(InScratch("contractprog.exe"), 8);
  ASSERT_TRUE(port().SetCurrentDirectory(scratch()));
  EXPECT_EQ(Run("contractprog.exe", std::nullopt), 7u);
}

TEST_F(ProcessesContract, MissingProgramFails) {
  os::ProcessStart start;
  start.commandLine = "\"" + InScratch("absent.exe") + "\"";
  os::ProcessInfo info;
  EXPECT_FALSE(port().CreateProcess(start, &info));
  EXPECT_EQ(port().LastError(), os::kErrorFileNotFound);
}

}  // namespace
}  // namespace contract

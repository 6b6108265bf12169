// Starting simulated programs: the search for the program, the launch record, exit codes
// and run times on the virtual clock.
#include <gtest/gtest.h>

#include <string>

#include "os/sim/sim_machine.h"

namespace {

using os::SimLaunch;
using os::SimMachine;

// Starts the command line; answers the program that ran ("" when nothing started).
std::string Started(SimMachine& m, const std::string& commandLine) {
  os::ProcessStart start;
  start.commandLine = commandLine;
  os::ProcessInfo info;
  std::size_t before = m.Launches().size();
  if (!m.CreateProcess(start, &info)) return "";
  m.CloseHandle(info.process);
  m.CloseHandle(info.thread);
  return m.Launches().size() > before ? m.Launches().back().programPath : "?";
}

TEST(SimProcesses, BareNamesAreSearchedInWindowsOrder) {
  SimMachine m;
  m.MakeDirectory("C:\\Work");
  m.MakeDirectory("C:\\Tools");
  ASSERT_TRUE(m.SetCurrentDirectory("C:\\Work"));
  ASSERT_TRUE(m.SetEnvironmentVariable("PATH", std::string("C:\\Tools")));
  const char* places[] = {"C:\\Tools\\prog.exe", "C:\\WINDOWS\\prog.exe",
                          "C:\\WINDOWS\\system32\\prog.exe", "C:\\Work\\prog.exe",
                          "D:\\prog.exe"};  // the program's own folder comes first
  for (const char* place : places) {
    m.RegisterProgramExitCode(place, 0);
    EXPECT_EQ(Started(m, "prog -x"), place);
  }
  EXPECT_EQ(Started(m, "PROG.EXE"), "D:\\prog.exe");  // found whatever the case
  EXPECT_EQ(Started(m, "nothere"), "");
  EXPECT_EQ(m.LastError(), os::kErrorFileNotFound);
}

TEST(SimProcesses, UnquotedNamesWithBlanksAreTriedAtEachBlank) {
  SimMachine m;
  m.RegisterProgramExitCode("C:\\Program Files\\My App\\run.exe", 0);
  EXPECT_EQ(Started(m, "C:\\Program Files\\My App\\run.exe /x"),
            "C:\\Program Files\\My App\\run.exe");
  m.RegisterProgramExitCode("C:\\Program.exe", 0);  // the classic trap
  EXPECT_EQ(Started(m, "C:\\Program Files\\My App\\run.exe /x"), "C:\\Program.exe");
  EXPECT_EQ(Started(m, "\"C:\\Program Files\\My App\\run\" /x"),
            "C:\\Program Files\\My App\\run.exe");  // quoted: that name, .exe added
}

TEST(SimProcesses, OnlyRegisteredProgramsStart) {
  SimMachine m;
  m.WriteFileText("C:\\TEMP\\text.exe", "not a program");
  EXPECT_EQ(Started(m, "C:\\TEMP\\text.exe"), "");
  EXPECT_EQ(m.LastError(), 193u);  // ERROR_BAD_EXE_FORMAT
  EXPECT_EQ(Started(m, "\"C:\\nodir\\x.exe\""), "");
  EXPECT_EQ(m.LastError(), os::kErrorPathNotFound);
  m.RegisterProgramExitCode("C:\\TEMP\\real.exe", 4);
  ASSERT_TRUE(m.CopyFile("C:\\TEMP\\real.exe", "C:\\TEMP\\copy.exe", true));  // a copy runs too
  EXPECT_EQ(Started(m, "C:\\TEMP\\copy.exe"), "C:\\TEMP\\copy.exe");
}

TEST(SimProcesses, LaunchIsRecordedAndTheProgramActs) {
  SimMachine m;
  m.MakeDirectory("C:\\Work");
  ASSERT_TRUE(m.SetEnvironmentVariable("MARK", std::string("1")));
  m.RegisterProgram("C:\\TEMP\\tool.exe", [](SimMachine& machine, const SimLaunch& run) {
    machine.WriteFileText(run.workDir + "\\out.txt", run.commandLine);
    return 7u;
  });
  os::ProcessStart start;
  start.commandLine = "tool.exe a b";
  start.applicationName = "C:\\TEMP\\tool.exe";
  start.workDir = "c:\\work\\";
  start.inheritHandles = true;
  start.creationFlags = os::kDetachedProcess;
  os::ProcessInfo info;
  ASSERT_TRUE(m.CreateProcess(start, &info));
  ASSERT_EQ(m.Launches().size(), 1u);
  const SimLaunch& run = m.Launches()[0];
  EXPECT_EQ(run.programPath, "C:\\TEMP\\tool.exe");
  EXPECT_EQ(run.workDir, "c:\\work");
  EXPECT_EQ(run.environment.at("MARK"), "1");
  EXPECT_TRUE(run.inheritHandles);
  EXPECT_EQ(run.creationFlags, os::kDetachedProcess);
  EXPECT_EQ(m.ReadFileText("C:\\Work\\out.txt"), "tool.exe a b");
  std::uint32_t code = 0;
  ASSERT_TRUE(m.GetExitCodeProcess(info.process, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_FALSE(m.GetExitCodeProcess(info.thread, &code));  // a thread handle is no process
  m.CloseHandle(info.process);
  m.CloseHandle(info.thread);

  start.workDir = "C:\\no such folder";
  EXPECT_FALSE(m.CreateProcess(start, &info));
  EXPECT_EQ(m.LastError(), 267u);  // ERROR_DIRECTORY
}

TEST(SimProcesses, RunTimeIsVirtual) {
  SimMachine m;
  m.RegisterProgramExitCode("C:\\TEMP\\slow.exe", os::kStillActive, 5000);  // 259 is a real code
  os::ProcessStart start;
  start.commandLine = "C:\\TEMP\\slow.exe";
  os::ProcessInfo info;
  ASSERT_TRUE(m.CreateProcess(start, &info));
  std::uint32_t code = 0;
  ASSERT_TRUE(m.GetExitCodeProcess(info.process, &code));
  EXPECT_EQ(code, os::kStillActive);
  EXPECT_EQ(m.WaitForSingleObject(info.process, 1000), os::kWaitTimeout);
  EXPECT_EQ(m.NowMs(), 1000u);
  EXPECT_EQ(m.WaitForSingleObject(info.thread, os::kInfinite), os::kWaitObject0);
  EXPECT_EQ(m.NowMs(), 5000u);  // to the program's end, not further
  EXPECT_EQ(m.WaitForSingleObject(info.process, 0), os::kWaitObject0);
  ASSERT_TRUE(m.GetExitCodeProcess(info.process, &code));
  EXPECT_EQ(code, os::kStillActive);  // ended, with 259
  m.CloseHandle(info.process);
  m.CloseHandle(info.thread);
}

TEST(SimProcesses, ShellExecuteRecordsItsParameters) {
  SimMachine m;
  m.RegisterProgramExitCode("C:\\TEMP\\setup2.exe", 3010);
  m.WriteFileText("C:\\TEMP\\readme.txt", "text");
  os::Handle process = 0;
  ASSERT_TRUE(m.ShellExecute("C:\\TEMP\\setup2.exe", "/q /l", "", os::kSwHide, &process));
  const SimLaunch& run = m.Launches().back();
  EXPECT_TRUE(run.viaShellExecute);
  EXPECT_EQ(run.parameters, "/q /l");
  EXPECT_EQ(run.commandLine, "\"C:\\TEMP\\setup2.exe\" /q /l");
  EXPECT_EQ(run.workDir, "C:\\");
  EXPECT_EQ(run.show, os::kSwHide);
  std::uint32_t code = 0;
  ASSERT_TRUE(m.GetExitCodeProcess(process, &code));
  EXPECT_EQ(code, 3010u);
  m.CloseHandle(process);
  EXPECT_FALSE(m.ShellExecute("C:\\TEMP\\missing.exe", "", "", os::kSwHide, &process));
  EXPECT_EQ(m.LastError(), os::kErrorFileNotFound);
  EXPECT_FALSE(m.ShellExecute("C:\\TEMP\\readme.txt", "", "", os::kSwHide, &process));
  EXPECT_EQ(m.LastError(), 1155u);  // no program for the document
}

}  // namespace

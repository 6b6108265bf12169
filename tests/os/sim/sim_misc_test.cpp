// Message boxes, mailslots, libraries, the environment and the machine's facts.
#include <gtest/gtest.h>

#include <string>

#include "os/sim/sim_machine.h"

namespace {

using os::SimMachine;

TEST(SimMessageBoxes, AnsweredFromTheQueueThenByDefault) {
  SimMachine m;
  m.QueueMessageBoxAnswer(os::kIdYes);
  EXPECT_EQ(m.MessageBox(0x10, "Continue?", "Setup", os::kMbYesNo), os::kIdYes);
  EXPECT_EQ(m.MessageBox(0, "Continue?", "Setup", os::kMbYesNo | os::kMbIconQuestion), os::kIdNo);
  EXPECT_EQ(m.MessageBox(0, "Done", "Setup", os::kMbOk), os::kIdOk);
  EXPECT_EQ(m.MessageBox(0, "Go on?", "Setup", os::kMbOkCancel), os::kIdCancel);
  ASSERT_EQ(m.MessageBoxes().size(), 4u);
  EXPECT_EQ(m.MessageBoxes()[0].text, "Continue?");
  EXPECT_EQ(m.MessageBoxes()[0].caption, "Setup");
  EXPECT_EQ(m.MessageBoxes()[0].owner, 0x10u);
  EXPECT_EQ(m.MessageBoxes()[1].flags, os::kMbYesNo | os::kMbIconQuestion);
  EXPECT_EQ(m.MessageBoxes()[1].answer, os::kIdNo);
}

TEST(SimMailslots, EveryWriteIsRecordedButOnlyALocalSlotReceives) {
  SimMachine m;
  m.Sleep(20);
  EXPECT_FALSE(m.WriteMailslot("\\\\.\\mailslot\\Status", "nobody"));
  os::Handle slot = m.CreateMailslot("\\\\.\\mailslot\\Status", 0);
  ASSERT_NE(slot, 0u);
  EXPECT_EQ(m.CreateMailslot("\\\\.\\MAILSLOT\\status", 0), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorAlreadyExists);
  EXPECT_TRUE(m.WriteMailslot("\\\\SIMPC\\mailslot\\STATUS", "by name"));
  EXPECT_FALSE(m.WriteMailslot("\\\\OTHER\\mailslot\\Status", "remote"));
  EXPECT_TRUE(m.WriteMailslot("\\\\*\\mailslot\\Status", "broadcast"));
  ASSERT_EQ(m.MailslotMessages().size(), 4u);
  EXPECT_EQ(m.MailslotMessages()[0].path, "\\\\.\\mailslot\\Status");
  EXPECT_EQ(m.MailslotMessages()[0].data, "nobody");
  EXPECT_EQ(m.MailslotMessages()[0].atMs, 20u);
  std::string message;
  EXPECT_TRUE(m.ReadMailslot(slot, 0, &message));
  EXPECT_EQ(message, "by name");
  EXPECT_TRUE(m.ReadMailslot(slot, 0, &message));
  EXPECT_EQ(message, "broadcast");
  EXPECT_FALSE(m.ReadMailslot(slot, 500, &message));  // waits its time-out, virtually
  EXPECT_EQ(m.NowMs(), 520u);
  m.CloseHandle(slot);
}

int OS_WINAPI Answer() { return 42; }

TEST(SimLibraries, LoadFindFreeInOrder) {
  SimMachine m;
  m.RegisterLibrary("D:\\plugin.dll", {{"Answer", reinterpret_cast<void*>(&Answer)}});
  os::Handle lib = m.LoadLibrary("PLUGIN");  // bare name: the program's folder, ".dll" added
  ASSERT_NE(lib, 0u);
  EXPECT_EQ(m.LoadLibraryAlteredSearchPath("d:\\plugin.dll"), lib);
  EXPECT_EQ(m.GetProcAddress(lib, "Answer"), reinterpret_cast<void*>(&Answer));
  EXPECT_EQ(m.GetProcAddress(lib, "answer"), nullptr);  // exact names
  EXPECT_EQ(m.LastError(), os::kErrorProcNotFound);
  EXPECT_TRUE(m.FreeLibrary(lib));
  EXPECT_TRUE(m.FreeLibrary(lib));
  EXPECT_FALSE(m.FreeLibrary(lib));
  EXPECT_EQ(m.LibraryEvents(),
            (std::vector<std::string>{"load D:\\plugin.dll", "load D:\\plugin.dll",
                                      "free D:\\plugin.dll", "free D:\\plugin.dll"}));
  EXPECT_EQ(m.LoadLibrary("C:\\none.dll"), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorModNotFound);
  m.SetLibraryLoadError("D:\\plugin.dll", os::kErrorBadFormat);
  EXPECT_EQ(m.LoadLibrary("D:\\plugin.dll"), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorBadFormat);
}

TEST(SimEnvironment, NamesIgnoreCaseAndExpansion) {
  SimMachine m;
  EXPECT_EQ(m.GetEnvironmentVariable("systemroot"), "C:\\WINDOWS");
  ASSERT_TRUE(m.SetEnvironmentVariable("MyVar", std::string("v")));
  EXPECT_EQ(m.GetEnvironmentVariable("MYVAR"), "v");
  EXPECT_EQ(m.ExpandEnvironmentStrings("%SystemRoot%\\system32;%myvar%", 260),
            "C:\\WINDOWS\\system32;v");
  EXPECT_EQ(m.ExpandEnvironmentStrings("%none%x%myvar%", 260), "%none%xv");
  EXPECT_EQ(m.ExpandEnvironmentStrings("50%%", 260), "50%%");
  EXPECT_EQ(m.ExpandEnvironmentStrings("%myvar", 260), "%myvar");
  EXPECT_EQ(m.ExpandEnvironmentStrings("%SystemRoot%", 4), "C:\\");
  EXPECT_FALSE(m.SetEnvironmentVariable("A=B", std::string("x")));
  ASSERT_TRUE(m.SetEnvironmentVariable("myvar", std::nullopt));
  EXPECT_EQ(m.GetEnvironmentVariable("MyVar"), std::nullopt);
  m.SetWindowsDirectory("D:\\WINNT");
  EXPECT_EQ(m.ExpandEnvironmentStrings("%windir%", 260), "D:\\WINNT");
  m.BroadcastEnvironmentChange(1000);
  EXPECT_EQ(m.EnvironmentBroadcasts(), 1);
}

TEST(SimMachineFacts, SystemMessages) {
  SimMachine m;
  for (std::uint32_t code : {2u, 3u, 5u, 87u, 1603u, 1618u, 3010u}) {
    std::optional<std::string> text = m.SystemMessage(code, 512);
    ASSERT_TRUE(text) << code;
    EXPECT_EQ(text->substr(text->size() - 2), "\r\n") << code;
  }
  EXPECT_EQ(m.SystemMessage(2, 4), "The ");
  EXPECT_EQ(m.SystemMessage(123456, 512), std::nullopt);
  m.SetSystemMessage(123456, std::string("Mine.\r\n"));
  m.SetSystemMessage(2, std::nullopt);
  EXPECT_EQ(m.SystemMessage(123456, 512), "Mine.\r\n");
  EXPECT_EQ(m.SystemMessage(2, 512), std::nullopt);
}

TEST(SimMachineFacts, CodePagesAndMetrics) {
  SimMachine m;
  EXPECT_FALSE(m.IsDbcsLeadByte(0x81));
  EXPECT_EQ(m.SystemMetric(os::kSmDbcsEnabled), 0);
  m.SetCodePage(932);
  EXPECT_TRUE(m.IsDbcsLeadByte(0x81));
  EXPECT_TRUE(m.IsDbcsLeadByte(0x9F));
  EXPECT_FALSE(m.IsDbcsLeadByte(0xA0));
  EXPECT_TRUE(m.IsDbcsLeadByte(0xE0));
  EXPECT_TRUE(m.IsDbcsLeadByte(0xFC));
  EXPECT_FALSE(m.IsDbcsLeadByte(0xFD));
  EXPECT_EQ(m.SystemMetric(os::kSmDbcsEnabled), 1);
  m.SetSystemMetric(os::kSmDbcsEnabled, 0);
  EXPECT_EQ(m.SystemMetric(os::kSmDbcsEnabled), 0);
  EXPECT_EQ(m.AnsiCodePage(), 932u);
}

TEST(SimMachineFacts, NamesVersionPrivilegesShutdown) {
  SimMachine m;
  EXPECT_EQ(m.ComputerName(6), "SIMPC");
  EXPECT_EQ(m.ComputerName(5), std::nullopt);  // no room for the zero
  EXPECT_EQ(m.HostName(64), "simpc");
  m.SetComputerName(std::nullopt);
  EXPECT_EQ(m.ComputerName(64), std::nullopt);
  os::OsVersion v = m.Version();
  EXPECT_EQ(v.major, 5u);
  EXPECT_EQ(v.minor, 1u);
  EXPECT_EQ(v.servicePackMajor, 2);
  EXPECT_EQ(m.AdjustPrivilege("SeShutdownPrivilege", true), 0u);
  EXPECT_EQ(m.AdjustPrivilege("SeShutdownPrivilege", false), 0u);
  EXPECT_EQ(m.AdjustPrivilege("SeNoSuchPrivilege", true), os::kErrorNoSuchPrivilege);
  m.SetPrivilegeAvailable("SeDebugPrivilege", false);
  EXPECT_EQ(m.AdjustPrivilege("SeDebugPrivilege", true), os::kErrorNotAllAssigned);
  EXPECT_EQ(m.PrivilegeChanges(),
            (std::vector<std::string>{"+SeShutdownPrivilege", "-SeShutdownPrivilege"}));
  EXPECT_TRUE(m.ExitWindows(os::kEwxReboot | os::kEwxForce));
  EXPECT_EQ(m.ExitWindowsRequests(), std::vector<std::uint32_t>{os::kEwxReboot | os::kEwxForce});
}

TEST(SimMachineFacts, NetConnectionsAndLocalTime) {
  SimMachine m;
  os::NetConnection drive;
  drive.localName = std::string("X:");
  drive.remoteName = std::string("\\\\srv\\share");
  m.SetNetConnections({drive, drive});
  std::vector<os::NetConnection> out;
  ASSERT_TRUE(m.EnumDiskConnections(16384, &out));
  EXPECT_EQ(out.size(), 2u);
  ASSERT_TRUE(m.EnumDiskConnections(100, &out));  // room for one record
  EXPECT_EQ(out.size(), 1u);
  EXPECT_FALSE(m.EnumDiskConnections(10, &out));
  m.SetNetConnections({}, false);
  EXPECT_FALSE(m.EnumDiskConnections(16384, &out));

  os::LocalTime base;
  base.year = 2024;
  base.month = 2;
  base.day = 28;
  base.hour = 23;
  base.minute = 59;
  base.second = 30;
  m.SetLocalTime(base);
  m.AdvanceClock(24 * 3600 * 1000ull + 45000);
  os::LocalTime t = m.LocalTimeNow();
  EXPECT_EQ(t.month, 3u);  // 2024 is a leap year: Feb 29, then Mar 1
  EXPECT_EQ(t.day, 1u);
  EXPECT_EQ(t.hour, 0u);
  EXPECT_EQ(t.minute, 0u);
  EXPECT_EQ(t.second, 15u);
}

}  // namespace

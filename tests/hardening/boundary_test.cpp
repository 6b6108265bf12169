// Every buffer of the launcher fed a value one below, at and one above its limit, and every
// text of the medium fed printf conversions: each row states the defined result. The
// native build runs these under ASan and UBSan, so an overflow or a read past the input
// fails the row even where the result would look right.
#include <gtest/gtest.h>

#include <string>

#include "app/catalogue.h"
#include "app/cmdline.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "components/shared_components.h"
#include "fw/text.h"
#include "install/after_install.h"
#include "install/install_worker.h"
#include "install/pre_post_commands.h"
#include "install/upgrade_plugin.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

struct LengthRow {
  std::size_t given;
  std::size_t expected;
};

std::string Text(std::size_t n, char c = 'a') { return std::string(n, c); }

std::string Utf16(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

class BoundaryTest : public LauncherTest {
 protected:
  BoundaryTest() {
    UseMediumPaths();
    sim->SetTempPath("C:\\TEMP\\");
    sim->MakeDirectory("C:\\TEMP");
  }
  std::string ReadFile(const std::string& path) {
    os::Handle file = sim->OpenFile(path, os::kGenericRead, os::kFileShareRead, os::kOpenExisting);
    std::string data;
    if (file != 0) {
      sim->ReadFile(file, 1 << 20, &data);
      sim->CloseHandle(file);
    }
    return data;
  }
};

// 260-byte buffers: values read from setup.inf hold at most 259 bytes.
TEST_F(BoundaryTest, PathBuffersHold259Bytes) {
  const LengthRow rows[] = {{258, 258}, {259, 259}, {260, 259}, {1000, 259}};
  for (const LengthRow& row : rows) {
    SCOPED_TRACE(row.given);
    SetupInf("[Upgrade]\nGUIDLL=" + Text(row.given) + "\n[Setup]\nLogFile=C:\\" +
             Text(row.given - 3) + "\n");
    EXPECT_EQ(install::PluginLibraryName(kMedium + "setup.inf", "1033").size(), row.expected);
    app::CSetupApp app;
    app::Ctx().msiLogPath.clear();
    app.ReadMsiLogSetting();
    EXPECT_EQ(app::Ctx().msiLogPath.size(), row.expected);
  }
}

// A switch item is assembled in 260 bytes: "/r" and at most 257 bytes of host name.
TEST_F(BoundaryTest, CommandLineItemsHold259Bytes) {
  const LengthRow rows[] = {{256, 256}, {257, 257}, {258, 257}, {5000, 257}};
  for (const LengthRow& row : rows) {
    SCOPED_TRACE(row.given);
    app::CCmdLineArgs args("/r" + Text(row.given) + " /q", '/');
    std::string host;
    ASSERT_TRUE(args.GetOption("r", &host, nullptr));
    EXPECT_EQ(host.size(), row.expected);
    EXPECT_TRUE(args.HasOption('q'));
  }
}

// The setup log's path is made in 260 bytes, whatever the TEMP folder's length.
TEST_F(BoundaryTest, SetupLogPathHolds259Bytes) {
  const LengthRow rows[] = {{247, 259}, {248, 259}, {258, 259}, {259, 259}, {260, 259}};
  for (const LengthRow& row : rows) {
    SCOPED_TRACE(row.given);
    std::string temp = "C:\\" + Text(row.given - 3);
    sim->SetTempPath(temp);
    std::string path = app::SetupLogPath();
    EXPECT_LE(path.size(), row.expected);
    EXPECT_EQ(path.compare(0, 3, "C:\\"), 0);
  }
  // Short enough, the path is whole.
  sim->SetTempPath("C:\\" + Text(245) + "\\");
  EXPECT_EQ(app::SetupLogPath(), "C:\\" + Text(245) + "\\_SETUP.LOG");
}

// 520-byte buffers: catalogue texts hold 519 bytes; an installer-log line is 519 bytes
// with its line feed.
TEST_F(BoundaryTest, LineBuffersHold519Bytes) {
  const LengthRow texts[] = {{518, 518}, {519, 519}, {520, 519}, {4000, 519}};
  for (const LengthRow& row : texts) {
    SCOPED_TRACE(row.given);
    SetupRes("[1033]\n9011=" + Text(row.given) + "\n");
    app::Ctx().language = "1033";
    EXPECT_EQ(app::GetMessageText(9011).size(), row.expected);
  }
  const LengthRow lines[] = {{506, 518}, {507, 519}, {508, 519}, {2000, 519}};
  for (const LengthRow& row : lines) {
    SCOPED_TRACE(row.given);
    std::string log = "C:\\TEMP\\msi" + std::to_string(row.given) + ".log";
    app::Ctx().msiLogPath = log;
    app::WriteMsiLogLine(Text(row.given));
    std::string written = ReadFile(log);
    EXPECT_EQ(written.size(), row.expected);
    EXPECT_EQ(written.compare(0, 11, "Parameter: "), 0);
    EXPECT_EQ(written.back(), '\n');
  }
}

// 1024-byte line buffer of the install configuration file: the marker is found in a line
// of up to 1023 bytes; a longer line is read on in pieces of 1023, never overflowed, so a
// marker across the cut is not seen and one in a later piece is.
TEST_F(BoundaryTest, IcfLinesHold1023Bytes) {
  const struct {
    std::size_t padding;
    bool found;
  } rows[] = {{1017, true}, {1018, true}, {1019, false}, {3000, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.padding);
    // The marker ends at byte padding + 5 of the line.
    sim->WriteFileText("C:\\TEMP\\setup.icf", Text(row.padding) + "[SCC]\r\n[Install]\r\n");
    EXPECT_EQ(app::IcfAsksForSharedComponents("C:\\TEMP\\setup.icf"), row.found);
  }
}

// 2048-byte PATH: the system PATH is read in 2048 bytes; a longer one is not used.
TEST_F(BoundaryTest, SystemPathHolds2048Bytes) {
  const std::string key = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
  const struct {
    std::size_t given;
    bool kept;
  } rows[] = {{2046, true}, {2047, true}, {2048, false}, {9000, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given);
    sim->SetRegString(key, "PATH", Text(row.given));
    install::AddProductPathToPath("C:\\P");
    std::string path = sim->GetEnvironmentVariable("PATH").value_or("");
    EXPECT_EQ(path, row.kept ? Text(row.given) + ";C:\\P" : ";C:\\P");
  }
}

// 4000 bytes of the installer log's tail: at most 4000 characters come out.
TEST_F(BoundaryTest, LogTailHolds4000Characters) {
  const LengthRow rows[] = {{3999, 3999}, {4000, 4000}, {4001, 4000}, {20000, 4000}};
  for (const LengthRow& row : rows) {
    SCOPED_TRACE(row.given);
    EXPECT_EQ(install::ConvertLogTail(Utf16(Text(row.given))).size(), row.expected);
  }
  // An odd last byte is no character.
  EXPECT_EQ(install::ConvertLogTail(Utf16("ab") + "c"), "ab");
}

// 16384 bytes of network connections: the connection that fits resolves the medium's
// drive; a list larger than the buffer is not read at all.
TEST_F(BoundaryTest, NetworkConnectionsHold16384Bytes) {
  // One entry takes 32 bytes, the provider name and both names with their zeros.
  const std::size_t fixed = 32 + sizeof("Microsoft Windows Network") + sizeof("D:");
  const struct {
    std::size_t total;
    bool resolved;
  } rows[] = {{16383, true}, {16384, true}, {16385, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.total);
    std::string remote = "\\\\srv\\" + Text(row.total - fixed - 1 - 6);
    sim->SetNetConnections({{std::string("D:"), remote}});
    app::Ctx().setupDir = "D:\\medium\\";
    install::ResolveNetworkSetupDir();
    EXPECT_EQ(app::Ctx().setupDir, row.resolved ? remote + "\\medium\\" : "D:\\medium\\");
  }
}

// --- Texts of the medium with printf conversions -------------------------------------------

struct PercentRow {
  const char* text;
  const char* expected;
};

const PercentRow kLiteral[] = {
    {"%n", "%n"}, {"%x", "%x"}, {"%%", "%%"}, {"%", "%"}, {"a%s%n%x%%%", "aAgent%n%x%%%"}};

// Catalogue messages (9011 and the like) and block-rule messages are formats of "%s" only.
TEST_F(BoundaryTest, CatalogueAndBlockMessagesCopyOtherConversions) {
  for (const PercentRow& row : kLiteral) {
    SCOPED_TRACE(row.text);
    SetupRes(std::string("[1033]\n9011=") + row.text + "\nBLOCK1=" + row.text + "\n");
    app::Ctx().language = "1033";
    EXPECT_EQ(fw::FormatText(app::GetMessageText(9011), {"Agent"}), row.expected);
    EXPECT_EQ(fw::FormatText(app::GetMessageTextByKey("BLOCK1"), {"Agent", "P", "Agent"}),
              row.expected);
  }
}

// ProductName names a catalogue key between two characters; shorter values are the name.
TEST_F(BoundaryTest, ProductNameWithConversions) {
  SetupRes("[1033]\nx=Looked up\n");
  app::Ctx().language = "1033";
  const PercentRow rows[] = {
      {"%n", "%n"}, {"%%", "%%"}, {"%", "%"}, {"%x%", "Looked up"}, {"%n%", "NULL"}};
  for (const PercentRow& row : rows) {
    SCOPED_TRACE(row.text);
    SetupInf(std::string("[Setup]\nProductName=") + row.text + "\n");
    EXPECT_EQ(app::ResolveProductName().name, row.expected);
  }
}

// GUIDLL: "%s" takes the language, everything else stays.
TEST_F(BoundaryTest, PluginNameWithConversions) {
  for (const PercentRow& row : kLiteral) {
    SCOPED_TRACE(row.text);
    SetupInf(std::string("[Upgrade]\nGUIDLL=") + row.text + "\n");
    std::string expected = fw::ReplaceAll(row.expected, "Agent", "1033");
    EXPECT_EQ(install::PluginLibraryName(kMedium + "setup.inf", "1033"), expected);
  }
}

// Command_KDB: any conversion but "%s" makes the value no command at all.
TEST_F(BoundaryTest, KdbCommandRejectsOtherConversions) {
  for (const char* text : {"%n", "%x", "%%", "%", "a %s %s %s %s"})
    EXPECT_FALSE(components::KdbCommandLine(text, "F", "I", "R").has_value()) << text;
  EXPECT_EQ(components::KdbCommandLine("x %s %s %s", "F", "I", "R").value_or("?"), "x F I R");
  EXPECT_EQ(components::KdbCommandLine("plain", "F", "I", "R").value_or("?"), "plain");
}

// LogFile and the command line reach the installer log and the installer's command line
// as they stand; CmdLine is an argument of the command format, never a format itself.
TEST_F(BoundaryTest, LogFileCmdLineAndArgumentsWithConversions) {
  for (const char* text : {"%n", "%x", "%%", "%", "%s"}) {
    SCOPED_TRACE(text);
    SetupInf(std::string("[Setup]\nLogFile=") + text + ".log\n");
    app::CSetupApp app;
    app.m_lpCmdLine = std::string("/q ") + text;
    app::Ctx().msiLogPath.clear();
    ASSERT_EQ(app.ReadMsiLogSetting(), 1);
    EXPECT_EQ(app::Ctx().msiLogPath, std::string("C:\\TEMP\\") + text + ".log");
    EXPECT_EQ(ReadFile(app::Ctx().msiLogPath), std::string("Parameter: /q ") + text + "\n");

    app::Ctx().commandLine = text;
    app::Ctx().extraMsiArgs = text;
    app::Ctx().quiet = 0;
    app::Ctx().msiLogRequested = 0;
    EXPECT_EQ(install::ComposeCommandLine(1, "P.msi", "C"),
              std::string("msiexec.exe /i \"P.msi\" SETUPDIR=\"D:\\\" ") + text + " " + text +
                  " LANGUAGEID=1033 COPYPATH=\"C\"");
  }
}

// Message<n> of the command lists is shown as it stands (the wait box takes no format).
TEST_F(BoundaryTest, CommandListMessagesAreShownAsTheyStand) {
  for (const char* text : {"%n", "%x", "%%", "%"}) {
    SCOPED_TRACE(text);
    SetupInf(std::string("[PreInstall]\nCommand1=C:\\tool.exe\nMessage1=") + text + "\n");
    sim->RegisterProgramExitCode("C:\\tool.exe", 0);
    std::size_t before = sim->WaitBoxes().size();
    install::RunPreInstallCommands();
    ASSERT_EQ(sim->WaitBoxes().size(), before + 1);
    EXPECT_EQ(sim->WaitBoxes().back().message, text);
  }
}

}  // namespace

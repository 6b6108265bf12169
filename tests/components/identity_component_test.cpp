#include "components/identity_component.h"

#include <gtest/gtest.h>

#include "tests/components/components_fixture.h"

namespace {

using testing_support::ComponentsTest;

constexpr const char* kInstaller = "C:\\eksm\\install.exe";
constexpr const char* kKsmDir = "C:\\Program Files\\QV\\SharedComponents\\Embedded KSM";

class IdentityComponentTest : public ComponentsTest {
 protected:
  // Runs InstallIdentityComponent; answers the exit code when it ended the process.
  std::optional<std::uint32_t> Install(int* result = nullptr) {
    try {
      int r = components::InstallIdentityComponent();
      if (result != nullptr) *result = r;
    } catch (const os::SimProcessExit& exit) {
      return exit.code;
    }
    return std::nullopt;
  }

  // An installer that notes the response file it was given and, when asked, writes the
  // component's marker.
  void RegisterInstaller(bool writesMarker) {
    sim->RegisterProgram(
        kInstaller, [this, writesMarker](os::SimMachine& m, const os::SimLaunch& launch) {
          std::size_t quote = launch.commandLine.find('"');
          std::string path = quote == std::string::npos ? "" : launch.commandLine.substr(quote + 1);
          if (!path.empty() && path.back() == '"') path.pop_back();
          seenResponse = m.ReadFileText(path).value_or("<missing>");
          if (writesMarker) m.SetRegString(kMarkerKey, "LocationPath", kKsmDir);
          return 0u;
        });
  }

  std::string seenResponse;
};

TEST_F(IdentityComponentTest, ResponseFileNames) {
  struct Case {
    const char* icf;
    const char* workingCopy;
    const char* responseFile;
  } cases[] = {
      {"C:\\TEMP\\SETUP.ICF", "c:\\temp\\eksmresp.tmp", "c:\\temp\\eksmresp.iss"},
      {"\\\\srv\\share\\Setup.icf", "\\\\srv\\share\\eksmresp.tmp", "\\\\srv\\share\\eksmresp.iss"},
      // Another name: the plain replacement would be the configuration file itself.
      {"C:\\push\\agent.cfg", "C:\\push\\agent.cfg.eksmresp.tmp",
       "C:\\push\\agent.cfg.eksmresp.iss"},
      {"C:\\push\\EKSMRESP.ISS", "C:\\push\\EKSMRESP.ISS.eksmresp.tmp",
       "C:\\push\\EKSMRESP.ISS.eksmresp.iss"},
      // Names that lead back to the configuration file or onto the medium's template.
      {"C:\\setup.icf\\..\\eksmresp.iss", "C:\\setup.icf\\..\\eksmresp.iss.eksmresp.tmp",
       "C:\\setup.icf\\..\\eksmresp.iss.eksmresp.iss"},
      {"D:\\eKSM\\setup.icf", "D:\\eKSM\\setup.icf.eksmresp.tmp",
       "D:\\eKSM\\setup.icf.eksmresp.iss"},
  };
  for (const Case& t : cases) {
    components::ResponseFileNames names = components::IdentityResponseFileNames(t.icf, kTemplate);
    EXPECT_EQ(names.workingCopy, t.workingCopy) << t.icf;
    EXPECT_EQ(names.responseFile, t.responseFile) << t.icf;
  }
}

TEST_F(IdentityComponentTest, TemplatePlaceholdersAreFilledInOrder) {
  struct Case {
    const char* templateText;
    const char* password;
    std::string expected;
  } cases[] = {
      {"[Admin]\nPass=<EKSMADMINPASS>\r\nDir=<EKSMINSTALLDIR>\n", "s3cret",
       "[Admin]\r\nPass=s3cret\r\nDir=" + std::string(kKsmDir) + "\r\n"},
      {"<EKSMADMINPASS>,<EKSMINSTALLDIR>,<EKSMADMINPASS>,<EKSMINSTALLDIR>\n", "pw",
       "pw," + std::string(kKsmDir) + ",pw," + kKsmDir + "\r\n"},
      // The password goes in first, so a placeholder inside it is filled too.
      {"Pass=<EKSMADMINPASS>\n", "a<EKSMINSTALLDIR>b", "Pass=a" + std::string(kKsmDir) + "b\r\n"},
      {"no placeholders, 100% kept", "pw", "no placeholders, 100% kept"},
  };
  for (const Case& t : cases) {
    sim->WriteFileText(kTemplate, t.templateText);
    Icf(std::string("eKSMPass=") + t.password + "\n");
    std::string response = components::PrepareIdentityResponseFile();
    EXPECT_EQ(response, "c:\\temp\\eksmresp.iss");
    EXPECT_EQ(sim->ReadFileText(response).value_or("<missing>"), t.expected) << t.templateText;
    EXPECT_FALSE(sim->Exists("c:\\temp\\eksmresp.tmp"));  // the working copy is gone
    EXPECT_EQ(sim->ReadFileText(kTemplate), t.templateText);
  }
}

TEST_F(IdentityComponentTest, Outcomes) {
  struct Case {
    const char* name;
    const char* command;
    bool markerBefore;
    bool installerWritesMarker;
    std::optional<std::uint32_t> exitCode;
    const char* lastLine;
  } cases[] = {
      {"already installed, nothing to run", "", true, false, std::nullopt,
       "Setup.exe: Install eKSM completed!"},
      {"nothing to run and not installed", "", false, false, 1u, "Setup.exe: Install eKSM failed!"},
      {"installer leaves no marker", "C:\\eksm\\install.exe /s /f1", false, false, 1u,
       "Setup.exe: Install eKSM failed!"},
  };
  for (const Case& t : cases) {
    app::ResetContext();
    UseMediumPaths();
    app::Ctx().setupIcfPath = kIcf;
    app::Ctx().msiLogPath = std::string("C:\\logs\\") + std::to_string(&t - cases) + ".log";
    sim->DeleteRegKeyTree(kMarkerKey);
    if (t.markerBefore) sim->SetRegString(kMarkerKey, "LocationPath", kKsmDir);
    PreInstallScc(std::string("Command_EKSM=") + t.command + "\n");
    Icf("eKSMPass=pw\n");
    sim->WriteFileText(kTemplate, "Pass=<EKSMADMINPASS>\n");
    RegisterInstaller(t.installerWritesMarker);
    int result = 0;
    EXPECT_EQ(Install(&result), t.exitCode) << t.name;
    if (!t.exitCode) {
      EXPECT_EQ(result, 1) << t.name;
    }
    std::string log = sim->ReadFileText(app::Ctx().msiLogPath).value_or("");
    EXPECT_TRUE(fw::Contains(log, std::string("Parameter: ") + t.lastLine + "\n")) << t.name;
    EXPECT_FALSE(sim->Exists("c:\\temp\\eksmresp.iss")) << t.name;
  }
}

TEST_F(IdentityComponentTest, InstallerGetsTheQuotedResponseFileWhichIsThenRemoved) {
  PreInstallScc("Command_EKSM=C:\\eksm\\install.exe /s /f1\nMessage_EKSM=Installing eKSM\n");
  Icf("eKSMPass=s3cret\n");
  sim->WriteFileText(kTemplate, "Pass=<EKSMADMINPASS>\n");
  SystemIngres("C:\\Ingres");
  RegisterInstaller(true);
  int result = 0;
  ASSERT_EQ(Install(&result), std::nullopt);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(
      Logged("Setup.exe: Install eKSM command: C:\\eksm\\install.exe /s "
             "/f1\"c:\\temp\\eksmresp.iss\""));
  EXPECT_TRUE(Logged("Setup.exe: Install eKSM completed!"));
  // The launcher's environment names the system's Ingres for the installers it starts.
  EXPECT_EQ(sim->GetEnvironmentVariable("II_SYSTEM"), "C:\\Ingres");
  EXPECT_EQ(sim->EnvironmentBroadcasts(), 1);
  // No password stays on disk once the installer has read it.
  EXPECT_FALSE(sim->Exists("c:\\temp\\eksmresp.iss"));
  EXPECT_FALSE(sim->Exists("c:\\temp\\eksmresp.tmp"));
  EXPECT_TRUE(sim->Exists(kIcf));
  ASSERT_EQ(sim->Launches().size(), 1u);
  EXPECT_EQ(sim->Launches()[0].commandLine,
            "C:\\eksm\\install.exe /s /f1\"c:\\temp\\eksmresp.iss\"");
  EXPECT_EQ(seenResponse, "Pass=s3cret\r\n");
}

TEST_F(IdentityComponentTest, ConfigurationFileOfAnotherNameIsNeitherOverwrittenNorDeleted) {
  app::Ctx().setupIcfPath = "C:\\push\\answers.ini";
  sim->WriteFileText("C:\\push\\answers.ini", "[SCC]\neKSMPass=pw\n");
  PreInstallScc("Command_EKSM=C:\\eksm\\install.exe /s /f1\n");
  sim->WriteFileText(kTemplate, "Pass=<EKSMADMINPASS>\n");
  RegisterInstaller(true);
  ASSERT_EQ(Install(), std::nullopt);
  EXPECT_EQ(sim->ReadFileText("C:\\push\\answers.ini"), "[SCC]\neKSMPass=pw\n");
  EXPECT_TRUE(
      Logged("Setup.exe: Install eKSM command: C:\\eksm\\install.exe /s "
             "/f1\"C:\\push\\answers.ini.eksmresp.iss\""));
  EXPECT_FALSE(sim->Exists("C:\\push\\answers.ini.eksmresp.iss"));
  EXPECT_FALSE(sim->Exists("C:\\push\\answers.ini.eksmresp.tmp"));
}

TEST_F(IdentityComponentTest, WithoutProgramFilesTheSetupEnds) {
  PreInstallScc("Command_EKSM=C:\\eksm\\install.exe /s /f1\n");
  sim->SetRegAccessDenied(kCurrentVersionKey, true);
  RegisterInstaller(true);
  EXPECT_EQ(Install(), 1u);
  EXPECT_TRUE(Logged("Setup.exe: Can not get ProgramFiles Dir."));
  EXPECT_TRUE(sim->Launches().empty());
}

TEST_F(IdentityComponentTest, WithoutTemplateTheInstallerIsNotRunAndTheMarkerDecides) {
  PreInstallScc("Command_EKSM=C:\\eksm\\install.exe /s /f1\n");
  Icf("eKSMPass=pw\n");
  sim->WriteFileText("c:\\temp\\eksmresp.tmp", "Pass=old\n");  // not ours to read or delete
  RegisterInstaller(true);
  EXPECT_EQ(Install(), 1u);
  EXPECT_TRUE(Logged("Setup.exe: Can not read the eKSM response file template."));
  EXPECT_TRUE(sim->Launches().empty());
  EXPECT_EQ(sim->ReadFileText("c:\\temp\\eksmresp.tmp"), "Pass=old\n");
}

}  // namespace

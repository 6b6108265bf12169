#include "install/upgrade_plugin.h"

#include <gtest/gtest.h>

#include "app/setup_app.h"
#include "fw/resource_handle.h"
#include "os/constants.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

// What the simulated plug-in saw in its last call.
struct PluginCall {
  std::string entry;
  std::int32_t first = -1;
  std::string second;
  std::string currentDir;
  os::Handle resources = 0;
  os::Handle initRes = 0;
};
PluginCall g_call;
std::int32_t g_answer = 0;

void Record(const char* entry, std::int32_t first, const char* second) {
  g_call.entry = entry;
  g_call.first = first;
  g_call.second = second != nullptr ? second : "";
  g_call.currentDir = os::sys().CurrentDirectory();
  g_call.resources = fw::ResourceHandle();
}
std::int32_t InitRes(os::Handle module) {
  g_call.initRes = module;
  return 0;
}
std::int32_t BeforeUpgrade(std::int32_t flag) {
  Record("BeforeUpgrade", flag, nullptr);
  return g_answer;
}
std::int32_t BeforeUpgradeEx(std::int32_t flag, const char* icf) {
  Record("BeforeUpgradeEx", flag, icf);
  return g_answer;
}
std::int32_t AfterUpgrade(std::int32_t flag) {
  Record("AfterUpgrade", flag, nullptr);
  return g_answer;
}
std::int32_t CheckBuild(std::int32_t value) {
  Record("CheckBuildNumberForBrisal", value, nullptr);
  return g_answer;
}

const std::map<std::string, void*> kExports = {
    {"InitRes", reinterpret_cast<void*>(&InitRes)},
    {"BeforeUpgrade", reinterpret_cast<void*>(&BeforeUpgrade)},
    {"BeforeUpgradeEx", reinterpret_cast<void*>(&BeforeUpgradeEx)},
    {"AfterUpgrade", reinterpret_cast<void*>(&AfterUpgrade)},
    {"CheckBuildNumberForBrisal", reinterpret_cast<void*>(&CheckBuild)},
};

class UpgradePluginTest : public LauncherTest {
 protected:
  UpgradePluginTest() {
    UseMediumPaths();
    app::Ctx().language = "1031";
    g_call = PluginCall();
    g_answer = 0;
  }
  int BeforeUpgrade(int flag, const std::string* icf = nullptr) {
    return theApp.CallBeforeUpgrade(flag, icf);
  }
  app::CSetupApp theApp;
};

TEST_F(UpgradePluginTest, WithoutPluginTheSetupGoesOn) {
  for (const char* inf : {"[Setup]\n", "[Upgrade]\nGUIDLL=   \n"}) {
    SetupInf(inf);
    EXPECT_EQ(BeforeUpgrade(0), 0);
    EXPECT_EQ(install::CallAfterUpgrade(app::Ctx().setupInfPath, "1031", 0), 0);
    EXPECT_EQ(install::CallCheckBuildNumber(1), 1);
  }
  EXPECT_TRUE(sim->LibraryEvents().empty());
  EXPECT_TRUE(sim->MessageBoxes().empty());
}

TEST_F(UpgradePluginTest, LibraryIsFoundAndCalledFromItsFolder) {
  struct FolderCase {
    const char* guidll;
    const char* dbResFolder;
    const char* library;
    const char* dirDuringCall;
  };
  const FolderCase cases[] = {
      {"plug.dll  ", "", "D:\\plug.dll", "D:\\"},
      {"%s\\plug.dll", "", "D:\\1031\\plug.dll", "D:\\1031"},
      {"C:\\p\\plug.dll", "", "C:\\p\\plug.dll", "C:\\p"},
      // The database folder and the name are joined without a separator.
      {"plug.dll", "SQL", "D:\\SQLplug.dll", "D:\\SQL\\1040"},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.guidll);
    app::Ctx().dbResFolder = c.dbResFolder;
    app::Ctx().chosenLanguage = "1040";
    sim->MakeDirectory("D:\\SQL\\1040");
    sim->RegisterLibrary(c.library, kExports);
    SetupInf(std::string("[Upgrade]\nGUIDLL=") + c.guidll + "\n");
    sim->SetCurrentDirectory("C:\\");
    g_answer = 3010;
    EXPECT_EQ(BeforeUpgrade(0), 3010);
    EXPECT_EQ(g_call.entry, "BeforeUpgrade");
    EXPECT_EQ(g_call.first, 0);
    EXPECT_EQ(g_call.currentDir, c.dirDuringCall);
    EXPECT_EQ(sim->CurrentDirectory(), "D:\\");  // the launcher's folder afterwards
    EXPECT_EQ(sim->LibraryEvents().back(), std::string("free ") + c.library);
  }
}

TEST_F(UpgradePluginTest, EachCallReachesItsExportWithItsArguments) {
  sim->RegisterLibrary("D:\\plug.dll", kExports);
  SetupInf("[Upgrade]\nGUIDLL=plug.dll\n");
  const std::string icf = "C:\\m\\setup.icf";
  g_answer = 1603;
  EXPECT_EQ(BeforeUpgrade(1, &icf), 1603);
  EXPECT_EQ(g_call.entry, "BeforeUpgradeEx");
  EXPECT_EQ(g_call.first, 1);
  EXPECT_EQ(g_call.second, icf);
  g_answer = 7;
  EXPECT_EQ(install::CallAfterUpgrade(app::Ctx().setupInfPath, "1031", 1), 7);
  EXPECT_EQ(g_call.entry, "AfterUpgrade");
  EXPECT_EQ(g_call.first, 1);
  struct BuildCase {
    std::int32_t answer;
    int reinstall;
  };
  for (BuildCase c : {BuildCase{0, 1}, BuildCase{1, 0}, BuildCase{-5, 0}}) {
    g_answer = c.answer;
    EXPECT_EQ(install::CallCheckBuildNumber(1), c.reinstall) << c.answer;
    EXPECT_EQ(g_call.entry, "CheckBuildNumberForBrisal");
    EXPECT_EQ(g_call.first, 1);
  }
}

TEST_F(UpgradePluginTest, MissingExportOrDecoratedNameGivesZero) {
  sim->RegisterLibrary("D:\\plug.dll", {{"_BeforeUpgrade@4", kExports.at("BeforeUpgrade")}});
  SetupInf("[Upgrade]\nGUIDLL=plug.dll\n");
  g_answer = 1603;
  EXPECT_EQ(BeforeUpgrade(0), 0);
  EXPECT_EQ(install::CallCheckBuildNumber(1), 1);
  EXPECT_TRUE(g_call.entry.empty());
  EXPECT_TRUE(sim->MessageBoxes().empty());
}

TEST_F(UpgradePluginTest, LibraryThatCannotLoadIsShownOnlyToAnInteractiveCaller) {
  SetupInf("[Upgrade]\nGUIDLL=missing.dll\n");
  sim->SetSystemMessage(os::kErrorModNotFound, "The module was not found.");
  const std::string icf = "C:\\setup.icf";
  EXPECT_EQ(BeforeUpgrade(1), 0);        // quiet
  EXPECT_EQ(BeforeUpgrade(1, &icf), 0);  // master setup
  EXPECT_EQ(install::CallCheckBuildNumber(1), 1);
  EXPECT_TRUE(sim->MessageBoxes().empty());
  EXPECT_EQ(BeforeUpgrade(0), 0);
  EXPECT_EQ(install::CallAfterUpgrade(app::Ctx().setupInfPath, "1031", 0), 0);
  ASSERT_EQ(sim->MessageBoxes().size(), 2u);
  for (const os::SimMessageBox& box : sim->MessageBoxes()) {
    EXPECT_EQ(box.text, "The module was not found.\r\nD:\\missing.dll\r\n");
    EXPECT_EQ(box.flags & os::kMbIconError, os::kMbIconError);
  }
  EXPECT_EQ(sim->CurrentDirectory(), "D:\\");
}

TEST_F(UpgradePluginTest, ResourceLibraryIsLentForTheCallAndGivenBack) {
  sim->RegisterLibrary("D:\\plug.dll", kExports);
  sim->RegisterLibrary("D:\\1031\\res.dll", {});
  SetupInf("[Upgrade]\nGUIDLL=plug.dll\n[ProductInfo]\nSetupResDll=res.dll\n");
  os::Handle own = fw::ResourceHandle();

  // Not beside the launcher: the start-up call looks in the language folder...
  BeforeUpgrade(0);
  EXPECT_NE(g_call.initRes, 0u);
  EXPECT_EQ(g_call.resources, g_call.initRes);
  EXPECT_EQ(fw::ResourceHandle(), own);
  EXPECT_EQ(sim->LibraryEvents(),
            (std::vector<std::string>{"load D:\\plug.dll", "load D:\\1031\\res.dll",
                                      "free D:\\plug.dll", "free D:\\1031\\res.dll"}));
  // ... the after-install call does not.
  g_call = PluginCall();
  install::CallAfterUpgrade(app::Ctx().setupInfPath, "1031", 0);
  EXPECT_EQ(g_call.entry, "AfterUpgrade");
  EXPECT_EQ(g_call.initRes, 0u);
  EXPECT_EQ(g_call.resources, own);
}

}  // namespace

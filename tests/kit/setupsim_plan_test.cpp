// setupsim's dry run: the launcher's own logic on a medium folder, told as a plan.
#include <gtest/gtest.h>

#include <filesystem>

#include "tools/setupsim/plan.h"

namespace {

setupsim::Scenario On(const std::string& medium) {
  setupsim::Scenario s;
  s.mediumFolder = (std::filesystem::path(__FILE__).parent_path() / "media" / medium).string();
  return s;
}

setupsim::PlanReport Plan(const setupsim::Scenario& scenario) {
  setupsim::PlanReport report;
  std::string error;
  EXPECT_TRUE(setupsim::RunPlan(scenario, &report, &error)) << error;
  return report;
}

TEST(SetupSimPlanTest, MsiexecLineOfEachRunMode) {
  struct Case {
    const char* args;
    const char* line;
  } cases[] = {
      {"",
       "msiexec.exe /i \"D:\\agent.msi\" SETUPDIR=\"D:\\\"   LANGUAGEID=1033 "
       "COPYPATH=\"D:\\1033\""},
      {"/q",
       "msiexec.exe /i \"D:\\agent.msi\" SETUPDIR=\"D:\\\" /q  LANGUAGEID=1033 "
       "COPYPATH=\"D:\\1033\" ALLUSERS=\"AllUsers\""},
      {"MASTERSETUP=1 PRODNAME=KIT",
       "msiexec.exe /i \"D:\\agent.msi\" SETUPDIR=\"D:\\\" TRANSFORMS=1033.mst MASTERSETUP=1 "
       "PRODNAME=KIT  LANGUAGEID=1033 COPYPATH=\"D:\\1033\" ALLUSERS=\"AllUsers\""},
  };
  for (const Case& c : cases) {
    setupsim::Scenario s = On("good");
    s.commandLine = c.args;
    setupsim::PlanReport r = Plan(s);
    ASSERT_TRUE(r.msiexecCommandLine) << c.args;
    EXPECT_EQ(*r.msiexecCommandLine, c.line) << c.args;
    EXPECT_EQ(r.exitCode, 0u);
  }
}

TEST(SetupSimPlanTest, InstallersExitCodeIsTheLaunchersAndReachesTheStatusHost) {
  setupsim::Scenario s = On("good");
  s.commandLine = "/q /r";
  s.exitCodes["msiexec.exe"] = 1603;
  setupsim::PlanReport r = Plan(s);
  EXPECT_EQ(r.exitCode, 1603u);
  ASSERT_EQ(r.statuses.size(), 2u);
  EXPECT_NE(r.statuses[0].find("code=5 level=1"), std::string::npos) << r.statuses[0];
  EXPECT_NE(r.statuses[1].find("code=26 level=3"), std::string::npos) << r.statuses[1];
}

TEST(SetupSimPlanTest, RefusalShowsTheChecksOutcomeAndStartsNothing) {
  setupsim::Scenario s = On("good");
  s.otherSetupRunning = true;
  setupsim::PlanReport r = Plan(s);
  EXPECT_FALSE(r.msiexecCommandLine);
  ASSERT_FALSE(r.checks.empty());
  EXPECT_EQ(r.checks[0],
            "single-instance guard: REFUSED, another setup of \"Kit Agent\" is running");
  ASSERT_EQ(r.steps.size(), 1u);
  EXPECT_NE(r.steps[0].find("Another Kit Agent setup is running."), std::string::npos)
      << r.steps[0];
}

TEST(SetupSimPlanTest, PlatformRefusalTellsTheUserWhy) {
  setupsim::Scenario s = On("winnt_only");  // SystemVersion=Winnt
  s.processor = "x64";
  setupsim::PlanReport r = Plan(s);
  EXPECT_EQ(r.checks[1], "platform check: REFUSED (SystemVersion \"Winnt\")");
  EXPECT_FALSE(r.msiexecCommandLine);
  ASSERT_EQ(r.steps.size(), 1u);
  EXPECT_NE(r.steps[0].find("(error, OK): \"Setup does not support AMD64\""), std::string::npos)
      << r.steps[0];
}

}  // namespace

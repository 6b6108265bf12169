#include "tests/support/launcher_fixture.h"

#include "app/setup_app.h"

namespace testing_support {

const std::string LauncherTest::kMedium = "D:\\";

LauncherTest::LauncherTest() {
  app::ResetContext();
  sim->SetModuleFileName(kMedium + "setup.exe");
}

LauncherTest::~LauncherTest() { app::ResetContext(); }

void LauncherTest::UseMediumPaths() {
  app::SetupContext& c = app::Ctx();
  c.setupDir = kMedium;
  c.setupInfPath = kMedium + "setup.inf";
  c.setupResPath = kMedium + "setupres.ini";
}

int LauncherTest::RunLauncher(const std::string& commandLine) {
  app::CSetupApp theApp;
  return theApp.Run(commandLine);
}

std::vector<cls::StatusMessage> LauncherTest::Statuses() {
  std::vector<cls::StatusMessage> out;
  for (const os::SimMailslotMessage& m : sim->MailslotMessages())
    if (auto decoded = cls::DecodeStatus(m.data)) out.push_back(*decoded);
  return out;
}

}  // namespace testing_support

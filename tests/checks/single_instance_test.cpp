#include <gtest/gtest.h>

#include <string>

#include "app/setup_app.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kCatalogue =
    "[1033]\n"
    "AGENT=Backup Agent\n"
    "BAD=Backup\\Agent\n"
    "9014=Setup detects another %s setup program is already running!\n"
    "[1031]\n"
    "AGENT=Backup Agent\n";
constexpr const char* kAlreadyRunning =
    "Setup detects another Backup Agent setup program is already running!";

using SingleInstanceTest = LauncherTest;

TEST_F(SingleInstanceTest, SecondSetupOfAProductIsRefused) {
  struct Case {
    const char* what;
    const char* productName;  // setup.inf's ProductName
    const char* heldElsewhere;
    const char* language;
    int quiet;
    int refused;
    const char* box;  // null: no box
  } cases[] = {
      {"free", "%AGENT%", nullptr, "1033", 0, 0, nullptr},
      {"held: message 9014", "%AGENT%", "Backup Agent", "1033", 0, 1, kAlreadyRunning},
      {"held, quiet: silent", "%AGENT%", "Backup Agent", "1033", 1, 1, nullptr},
      {"held, no 9014 in the language's own section: silent", "%AGENT%", "Backup Agent", "1031", 0,
       1, nullptr},
      {"unknown key: the guard is named NULL", "%NOSUCH%", "NULL", "1033", 1, 1, nullptr},
      {"short value: the raw name", "XY", "XY", "1033", 1, 1, nullptr},
      {"another product's setup does not matter", "%AGENT%", "Other Agent", "1033", 0, 0, nullptr},
      {"no product name: no guard", "", "", "1033", 0, 0, nullptr},
      {"a name that cannot name a mutex counts as running", "%BAD%", nullptr, "1033", 1, 1,
       nullptr},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    os::ScopedSimMachine machine;  // a machine of its own: held mutexes stay behind
    machine->SetModuleFileName(kMedium + "setup.exe");
    machine->WriteFileText(kMedium + "setup.inf",
                           std::string("[Setup]\nProductName=") + t.productName + "\n");
    machine->WriteFileText(kMedium + "setupres.ini", kCatalogue);
    if (t.heldElsewhere) machine->HoldMutexElsewhere(t.heldElsewhere);
    app::ResetContext();
    UseMediumPaths();
    app::Ctx().language = t.language;
    app::Ctx().quiet = t.quiet;
    app::Ctx().remoteStatus = 1;  // the refusal is never sent anywhere
    app::CSetupApp theApp;
    theApp.m_pszAppName = "Install Backup Agent";

    EXPECT_EQ(theApp.CheckSingleInstance(), t.refused);
    EXPECT_EQ(theApp.m_hInstanceMutex != 0, !t.refused && *t.productName != '\0');
    if (t.box) {
      ASSERT_EQ(machine->MessageBoxes().size(), 1u);
      EXPECT_EQ(machine->MessageBoxes()[0].text, t.box);
      EXPECT_EQ(machine->MessageBoxes()[0].caption, "Install Backup Agent");
      EXPECT_EQ(machine->MessageBoxes()[0].flags, os::kMbOk);
    } else {
      EXPECT_TRUE(machine->MessageBoxes().empty());
    }
    EXPECT_TRUE(machine->MailslotMessages().empty());
  }
}

}  // namespace

// The dialog font and the wait box's port call, against the simulated machine.
#include <gtest/gtest.h>

#include <thread>

#include "app/setup_app.h"
#include "tests/support/launcher_fixture.h"
#include "ui/dialog_font.h"
#include "ui/resource.h"
#include "ui/strings.h"
#include "ui/wait_box.h"

namespace {

using testing_support::LauncherTest;

class DialogFontTest : public LauncherTest {
 protected:
  app::CSetupApp theApp;
};

TEST_F(DialogFontTest, OtherSystemsGetMsSansSerif) {
  theApp.CreateDialogFont();
  std::vector<os::SimFont> fonts = sim->Fonts();
  ASSERT_EQ(fonts.size(), 1u);
  ASSERT_TRUE(fonts[0].logical.has_value());
  EXPECT_EQ(theApp.m_hDialogFont, fonts[0].handle);
  const os::LogFontSpec& f = *fonts[0].logical;
  EXPECT_EQ(f.height, -12);
  EXPECT_EQ(f.width, 0);
  EXPECT_EQ(f.escapement, 0);
  EXPECT_EQ(f.orientation, 0);
  EXPECT_EQ(f.weight, 400);
  EXPECT_FALSE(f.italic);
  EXPECT_FALSE(f.underline);
  EXPECT_FALSE(f.strikeOut);
  EXPECT_EQ(f.charSet, 0);
  EXPECT_EQ(f.outPrecision, 1);
  EXPECT_EQ(f.clipPrecision, 2);
  EXPECT_EQ(f.quality, 1);
  EXPECT_EQ(f.pitchAndFamily, 0x22);
  EXPECT_EQ(f.faceName, "MS Sans Serif");
}

TEST_F(DialogFontTest, DoubleByteSystemsGetMsGothic) {
  sim->SetSystemMetric(os::kSmDbcsEnabled, 1);
  theApp.CreateDialogFont();
  std::vector<os::SimFont> fonts = sim->Fonts();
  ASSERT_EQ(fonts.size(), 1u);
  ASSERT_TRUE(fonts[0].logical.has_value());
  const os::LogFontSpec& f = *fonts[0].logical;
  EXPECT_EQ(f.height, -13);
  EXPECT_EQ(f.weight, 400);
  EXPECT_EQ(f.charSet, 128);
  EXPECT_EQ(f.outPrecision, 3);
  EXPECT_EQ(f.clipPrecision, 2);
  EXPECT_EQ(f.quality, 1);
  EXPECT_EQ(f.pitchAndFamily, 0x11);
  const unsigned char gothic[] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53,
                                  0x83, 0x56, 0x83, 0x62, 0x83, 0x4E};
  EXPECT_EQ(f.faceName, std::string(reinterpret_cast<const char*>(gothic), sizeof gothic));
}

TEST_F(DialogFontTest, StockFontWhenTheFontCannotBeCreated) {
  sim->SetFontCreationFails(true);
  theApp.CreateDialogFont();
  std::vector<os::SimFont> fonts = sim->Fonts();
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].stockIndex, os::kAnsiVarFont);
  EXPECT_EQ(theApp.m_hDialogFont, fonts[0].handle);

  sim->SetSystemMetric(os::kSmDbcsEnabled, 1);
  theApp.CreateDialogFont();
  fonts = sim->Fonts();
  ASSERT_EQ(fonts.size(), 2u);
  EXPECT_EQ(fonts[1].stockIndex, os::kSystemFont);
  EXPECT_EQ(theApp.m_hDialogFont, fonts[1].handle);
}

TEST_F(DialogFontTest, ExitDeletesTheFont) {
  theApp.CreateDialogFont();
  theApp.ExitInstance();
  EXPECT_EQ(theApp.m_hDialogFont, 0u);
  EXPECT_TRUE(sim->Fonts().at(0).deleted);
  ui::DeleteDialogFont(0);  // none: nothing to do
}

TEST_F(DialogFontTest, StartUpMakesTheFontBeforeTheChecks) {
  SetupInf("[Setup]\nMSIPKG=a.msi\n");
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  EXPECT_EQ(theApp.Run("/q"), 0);
  std::vector<os::SimFont> fonts = sim->Fonts();
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_TRUE(fonts[0].deleted);  // made at start, deleted by ExitInstance
}

TEST_F(DialogFontTest, WaitBoxShowsTheMessageInTheDialogFont) {
  theApp.CreateDialogFont();
  os::Handle box = ui::ShowWaitBox("Installing the agent's drivers...");
  ASSERT_NE(box, 0u);
  std::vector<os::SimWaitBox> boxes = sim->WaitBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].message, "Installing the agent's drivers...");
  EXPECT_EQ(boxes[0].font, theApp.m_hDialogFont);
  EXPECT_FALSE(boxes[0].destroyed);

  // Only the thread that showed it may remove it.
  bool elsewhere = true;
  std::thread other([&] { elsewhere = sim->DestroyWindow(box); });
  other.join();
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(sim->DestroyWindow(box));
  EXPECT_TRUE(sim->WaitBoxes()[0].destroyed);
  EXPECT_FALSE(sim->DestroyWindow(box));  // gone
}

TEST_F(DialogFontTest, WaitBoxThatCannotBeShownAnswersZero) {
  sim->SetWaitBoxFails(true);
  EXPECT_EQ(ui::ShowWaitBox("x"), 0u);
  EXPECT_TRUE(sim->WaitBoxes().empty());
}

TEST(ResourceIdsTest, StringTableAndCodeAgree) {
  EXPECT_EQ(IDS_SETUP_CANNOT_CONTINUE, ui::kIdsSetupCannotContinue);
  EXPECT_EQ(IDD_LANGUAGE, 100);
  EXPECT_EQ(IDD_WAITBOX, 105);
  EXPECT_EQ(IDD_DATABASE, 107);
}

}  // namespace

// The database choice of a SAP agent medium against the simulated machine.
#include <gtest/gtest.h>

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "tests/support/launcher_fixture.h"
#include "ui/database_dialog.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kSapInf =
    "[Setup]\nProductName=%SAPAGENT%\n[SAP]\nSQL=SQL\\sapsql.msi\nOracle=Oracle\\sapora.msi\n";
constexpr const char* kSapCatalogue =
    "[1033]\nSAPAGENT=Install %s for SAP\nSAPSELECTSQL=SAP on SQL Server\n"
    "SAPSELECTORACLE=SAP on Oracle\nDESCRIPTION=Select\n";

class DatabaseDialogTest : public LauncherTest {
 protected:
  DatabaseDialogTest() {
    UseMediumPaths();
    app::Ctx().language = "1033";
  }
  app::CSetupApp theApp;
};

TEST_F(DatabaseDialogTest, ChoiceNeedsBothPackages) {
  struct Case {
    const char* inf;
    int expected;
  } cases[] = {
      {kSapInf, 1},
      {"[SAP]\nSQL=SQL\\sapsql.msi\n", 0},
      {"[SAP]\nOracle=Oracle\\sapora.msi\n", 0},
      {"[SAP]\nSQL=\nOracle=Oracle\\sapora.msi\n", 0},
      {"[Setup]\nMSIPKG=a.msi\n", 0},
  };
  for (const Case& t : cases) {
    SetupInf(t.inf);
    app::Ctx().dbFolder = "stale";
    EXPECT_EQ(ui::HasDatabaseChoice(), t.expected) << t.inf;
    EXPECT_EQ(app::Ctx().dbFolder, "") << t.inf;
  }
}

TEST_F(DatabaseDialogTest, WithoutTheTwoPackagesNothingIsShown) {
  SetupInf("[Setup]\n[SAP]\nSQL=SQL\\sapsql.msi\n");
  app::Ctx().packageFile = "keep.msi";
  app::Ctx().dbFolder = "stale";
  EXPECT_EQ(theApp.ChooseDatabase(), 1);
  EXPECT_TRUE(sim->Dialogs().empty());
  EXPECT_EQ(app::Ctx().dbFolder, "");
  EXPECT_EQ(app::Ctx().packageFile, "keep.msi");
}

TEST_F(DatabaseDialogTest, SqlServerIsPreselectedAndTextsComeFromTheCatalogue) {
  SetupInf(kSapInf);
  SetupRes(kSapCatalogue);
  EXPECT_EQ(theApp.ChooseDatabase(), 1);  // OK with the preselected button
  std::vector<os::SimDialog> dialogs = sim->Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].templateId, 107);
  EXPECT_EQ(dialogs[0].database.sqlText, "SAP on SQL Server");
  EXPECT_EQ(dialogs[0].database.oracleText, "SAP on Oracle");
  EXPECT_EQ(dialogs[0].database.checkedRadio, 1113);
  EXPECT_EQ(dialogs[0].database.caption, "Install ");  // cut before "%s"
  const app::SetupContext& c = app::Ctx();
  EXPECT_EQ(c.packageFile, "SQL\\sapsql.msi");
  EXPECT_EQ(c.dbFolder, "SQL");
  EXPECT_EQ(c.dbResFolder, "SQL");
}

TEST_F(DatabaseDialogTest, OracleChosen) {
  SetupInf(kSapInf);
  SetupRes(kSapCatalogue);
  sim->QueueDialogAnswer(os::kIdOk, 1114);
  EXPECT_EQ(theApp.ChooseDatabase(), 1);
  const app::SetupContext& c = app::Ctx();
  EXPECT_EQ(c.packageFile, "Oracle\\sapora.msi");
  EXPECT_EQ(c.dbFolder, "Oracle");
  EXPECT_EQ(c.dbResFolder, "Oracle");
}

TEST_F(DatabaseDialogTest, NoButtonCheckedTakesOracle) {
  SetupInf(kSapInf);
  sim->QueueDialogAnswer(os::kIdOk, 0);
  EXPECT_EQ(theApp.ChooseDatabase(), 1);
  EXPECT_EQ(app::Ctx().dbFolder, "Oracle");
}

TEST_F(DatabaseDialogTest, CatalogueWithoutTheKeysShowsNull) {
  SetupInf(kSapInf);
  SetupRes("[1033]\nSAPAGENT=Backup Agent\n");
  EXPECT_EQ(theApp.ChooseDatabase(), 1);
  std::vector<os::SimDialog> dialogs = sim->Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].database.sqlText, "NULL");
  EXPECT_EQ(dialogs[0].database.oracleText, "NULL");
  EXPECT_EQ(dialogs[0].database.caption, "Backup Agent");
}

TEST_F(DatabaseDialogTest, CaptionFollowsTheProductNameRule) {
  SetupRes("[1033]\nAGENT=%s Agent\nPLAIN=Plain Agent\n");
  struct Case {
    const char* productName;
    const char* caption;
  } cases[] = {
      {"%AGENT%", ""},               // cut before the placeholder at its start
      {"%PLAIN%", "Plain Agent"},    // a catalogue key
      {"%MISSING%", "NULL"},         // an unknown key
      {"XY", "XY"},                  // too short to hold a key: the value as read
      {"X", "X"},
      {"", ""},
  };
  for (const Case& t : cases) {
    SetupInf(std::string("[Setup]\nProductName=") + t.productName +
             "\n[SAP]\nSQL=a.msi\nOracle=b.msi\n[1033]\n");
    EXPECT_EQ(theApp.ChooseDatabase(), 1);
    EXPECT_EQ(sim->Dialogs().back().database.caption, t.caption) << t.productName;
  }
}

TEST_F(DatabaseDialogTest, CancelStopsTheChoice) {
  SetupInf(kSapInf);
  SetupRes(kSapCatalogue);
  sim->QueueDialogAnswer(os::kIdCancel);
  EXPECT_EQ(theApp.ChooseDatabase(), 0);
  EXPECT_EQ(app::Ctx().packageFile, "");
  EXPECT_EQ(app::Ctx().dbFolder, "");
}

TEST_F(DatabaseDialogTest, DatabaseDialogComesBeforeTheLanguageDialog) {
  SetupInf(kSapInf);
  SetupRes(std::string(kSapCatalogue) +
           "[LANGUAGE]\nLANGUAGENUMBER=2\n[1033]\nLANGUAGE0=English 1033\nLANGUAGE1=Deutsch 1031\n");
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1031");
  EXPECT_EQ(theApp.ChooseLanguage(), 1);
  std::vector<os::SimDialog> dialogs = sim->Dialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].templateId, 107);
  EXPECT_EQ(dialogs[1].templateId, 100);
}

TEST_F(DatabaseDialogTest, CancelledDatabaseDialogShowsNoLanguageDialog) {
  SetupInf(kSapInf);
  SetupRes(kSapCatalogue);
  sim->QueueDialogAnswer(os::kIdCancel);
  EXPECT_EQ(theApp.ChooseLanguage(), 0);
  std::vector<os::SimDialog> dialogs = sim->Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].templateId, 107);
}

TEST_F(DatabaseDialogTest, CheckRadioChecksOneAndClearsTheOther) {
  SetupInf(kSapInf);
  struct Probe : ui::CDatabaseDlg {
    int Checked() const { return m_spec.checkedRadio; }
  } dialog;
  dialog.CheckRadio(1114);
  EXPECT_EQ(dialog.Checked(), 1114);
  dialog.CheckRadio(1113);
  EXPECT_EQ(dialog.Checked(), 1113);
  dialog.CheckRadio(1200);  // no such button: both are cleared
  EXPECT_EQ(dialog.Checked(), 0);
}

// The whole launcher on a SAP medium: the chosen package is installed with the language
// files copied from its folder.
class DatabaseChoiceRunTest : public LauncherTest {};

TEST_F(DatabaseChoiceRunTest, OracleIsInstalledWithItsCopyPath) {
  SetupInf(std::string(kSapInf) + "MSIPKG=ignored.msi\n");
  SetupInf(
      "[Setup]\nProductName=%SAPAGENT%\nMSIPKG=other.msi\n"
      "[SAP]\nSQL=SQL\\sapsql.msi\nOracle=Oracle\\sapora.msi\n");
  SetupRes(std::string(kSapCatalogue) +
           "[LANGUAGE]\nLANGUAGENUMBER=1\n[1033]\nLANGUAGE0=English 1033\n");
  sim->MakeDirectory(kMedium + "1033");
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  sim->QueueDialogAnswer(os::kIdOk, 1114);
  EXPECT_EQ(RunLauncher(""), 0);
  ASSERT_EQ(sim->Launches().size(), 1u);
  const std::string& line = sim->Launches()[0].commandLine;
  EXPECT_NE(line.find("/i \"D:\\Oracle\\sapora.msi\""), std::string::npos) << line;
  EXPECT_NE(line.find("COPYPATH=\"D:\\Oracle\\1033\""), std::string::npos) << line;
  EXPECT_EQ(app::Ctx().minorPackage, 0);
}

}  // namespace

// The language choice against the simulated machine: the dialog's texts, its
// list and its answer, with scripted answers.
#include <gtest/gtest.h>

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "tests/support/launcher_fixture.h"
#include "ui/language_dialog.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kThreeLanguages =
    "[LANGUAGE]\nLANGUAGENUMBER=3\n"
    "[1033]\nTITLE=Choose Setup Language\nDESCRIPTION=Select the language\nOK=OK\nCancel=Cancel\n"
    "LANGUAGE0=English 1033\nLANGUAGE1=Deutsch 1031\nLANGUAGE2=Francais 1036\n";

class LanguageDialogTest : public LauncherTest {
 protected:
  LanguageDialogTest() {
    UseMediumPaths();
    app::Ctx().language = app::Ctx().systemLanguage;
  }
  // Runs the choice as start-up does (without a SAP medium, no database dialog).
  int Choose() { return theApp.ChooseLanguage(); }
  const os::SimDialog& OnlyDialog() {
    dialogs = sim->Dialogs();
    EXPECT_EQ(dialogs.size(), 1u);
    if (dialogs.empty()) dialogs.emplace_back();
    return dialogs[0];
  }
  app::CSetupApp theApp;
  std::vector<os::SimDialog> dialogs;
};

TEST_F(LanguageDialogTest, ListsTheLanguagesWhoseFoldersExistInCatalogueOrder) {
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1036");
  sim->MakeDirectory(kMedium + "1033");
  sim->QueueDialogAnswer(os::kIdOk, 1);
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_EQ(d.templateId, 100);
  EXPECT_EQ(d.language.items, (std::vector<std::string>{"English", "Francais"}));
  EXPECT_FALSE(d.language.acceptAtOnce);
  EXPECT_TRUE(d.waited);
  EXPECT_EQ(app::Ctx().language, "1036");
  EXPECT_EQ(app::Ctx().chosenLanguage, "1036");
}

TEST_F(LanguageDialogTest, TextsComeFromTheCatalogue) {
  SetupRes(
      "[LANGUAGE]\nLANGUAGENUMBER=2\n"
      "[1033]\nTITLE=Pick one\nDESCRIPTION=Which language?\nOK=Go\nCancel=Stop\n"
      "LANGUAGE0=English 1033\nLANGUAGE1=Deutsch 1031\n");
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1031");
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_EQ(d.language.caption, "Pick one");
  EXPECT_EQ(d.language.prompt, "Which language?");
  EXPECT_EQ(d.language.okText, "Go");
  EXPECT_EQ(d.language.cancelText, "Stop");
}

TEST_F(LanguageDialogTest, MissingTextsShowNull) {
  SetupRes(
      "[LANGUAGE]\nLANGUAGENUMBER=2\n"
      "[1033]\nDESCRIPTION=Which language?\nLANGUAGE0=English 1033\nLANGUAGE1=Deutsch 1031\n");
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1031");
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_EQ(d.language.caption, "NULL");
  EXPECT_EQ(d.language.okText, "NULL");
  EXPECT_EQ(d.language.cancelText, "NULL");
}

TEST_F(LanguageDialogTest, ModernSpanishReadsTheTraditionalSpanishSection) {
  sim->SetSystemLanguage(3082);
  SetupRes(
      "[LANGUAGE]\nLANGUAGENUMBER=2\n"
      "[1033]\nTITLE=Choose\nDESCRIPTION=Select\nLANGUAGE0=English 1033\nLANGUAGE1=Deutsch 1031\n"
      "[1034]\nTITLE=Elija el idioma\nDESCRIPTION=Seleccione el idioma\nOK=Aceptar\n"
      "Cancel=Cancelar\nLANGUAGE0=Ingles 1033\nLANGUAGE1=Espanol 1034\n");
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1034");
  EXPECT_EQ(ui::LanguageUiSection(kMedium + "setupres.ini"), "1034");
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_EQ(d.language.caption, "Elija el idioma");
  EXPECT_EQ(d.language.prompt, "Seleccione el idioma");
  EXPECT_EQ(d.language.okText, "Aceptar");
  EXPECT_EQ(d.language.cancelText, "Cancelar");
  // The entries come from the UI section too; the system's language is preselected.
  EXPECT_EQ(d.language.items, (std::vector<std::string>{"Ingles", "Espanol"}));
  EXPECT_EQ(d.language.initialSelection, 1);
  EXPECT_EQ(app::Ctx().language, "1034");
}

TEST_F(LanguageDialogTest, UiSectionFallsBackToEnglish) {
  const std::string ini = kMedium + "setupres.ini";
  SetupRes("[1033]\nDESCRIPTION=Select\n[1031]\nDESCRIPTION=NULL\nTITLE=Sprache\n");
  sim->SetSystemLanguage(1041);  // no section 1041
  EXPECT_EQ(ui::LanguageUiSection(ini), "1033");
  sim->SetSystemLanguage(1031);  // a section whose DESCRIPTION is "NULL"
  EXPECT_EQ(ui::LanguageUiSection(ini), "1033");
  SetupRes("[1031]\nDESCRIPTION=Sprache waehlen\n");
  EXPECT_EQ(ui::LanguageUiSection(ini), "1031");
  sim->SetSystemLanguage(2058);  // Spanish (Mexico) is not in 0x0C00..0x0FFF: its own section
  SetupRes("[2058]\nDESCRIPTION=Seleccione\n[1034]\nDESCRIPTION=Elija\n");
  EXPECT_EQ(ui::LanguageUiSection(ini), "2058");
}

TEST_F(LanguageDialogTest, InitialSelectionIsTheSystemLanguageWhenListedElseTheFirst) {
  SetupRes(kThreeLanguages);
  for (const char* folder : {"1033", "1031", "1036"}) sim->MakeDirectory(kMedium + folder);
  sim->SetSystemLanguage(1031);
  EXPECT_EQ(Choose(), 1);  // the default answer keeps the initial selection
  sim->SetSystemLanguage(1041);
  EXPECT_EQ(Choose(), 1);
  dialogs = sim->Dialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].language.initialSelection, 1);
  EXPECT_EQ(dialogs[1].language.initialSelection, 0);
  EXPECT_EQ(app::Ctx().language, "1033");
}

TEST_F(LanguageDialogTest, EntriesLoseTrailingBlanksAndShortOnesAreNotListed) {
  SetupRes(
      "[LANGUAGE]\nLANGUAGENUMBER=5\n"
      "[1033]\nDESCRIPTION=Select\nLANGUAGE0=English 1033 \t\nLANGUAGE1=1031\n"
      "LANGUAGE3=Francais 1036\nLANGUAGE4=Italiano 1040\n");  // LANGUAGE2 missing: "0"
  for (const char* folder : {"1033", "1031", "1036", "0"}) sim->MakeDirectory(kMedium + folder);
  sim->QueueDialogAnswer(os::kIdOk, 0);
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_EQ(d.language.items, (std::vector<std::string>{"English", "Francais"}));
  EXPECT_EQ(app::Ctx().language, "1033");
}

TEST_F(LanguageDialogTest, OneListedLanguageIsAcceptedAtOnce) {
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1036");
  sim->QueueDialogAnswer(os::kIdCancel);  // never asked: the dialog does not wait
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_TRUE(d.language.acceptAtOnce);
  EXPECT_FALSE(d.waited);
  EXPECT_EQ(d.language.items, (std::vector<std::string>{"Francais"}));
  EXPECT_EQ(app::Ctx().language, "1036");
  EXPECT_EQ(app::Ctx().chosenLanguage, "1036");
}

TEST_F(LanguageDialogTest, NoListedLanguageKeepsTheSystemLanguage) {
  sim->SetSystemLanguage(1031);
  app::Ctx().systemLanguage = "1031";
  app::Ctx().language = "1031";
  SetupRes(kThreeLanguages);  // no language folder on the medium
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_TRUE(d.language.acceptAtOnce);
  EXPECT_TRUE(d.language.items.empty());
  EXPECT_EQ(d.language.initialSelection, -1);
  EXPECT_EQ(app::Ctx().language, "1031");
  EXPECT_EQ(app::Ctx().chosenLanguage, "1031");
}

TEST_F(LanguageDialogTest, MissingCatalogueShowsNullTextsAndAcceptsAtOnce) {
  sim->MakeDirectory(kMedium + "1033");
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  EXPECT_EQ(d.language.caption, "NULL");
  EXPECT_EQ(d.language.prompt, "NULL");
  EXPECT_TRUE(d.language.items.empty());
  EXPECT_TRUE(d.language.acceptAtOnce);
  EXPECT_EQ(app::Ctx().language, "1033");
}

TEST_F(LanguageDialogTest, MoreThanTenLanguagesAreAllKept) {
  std::string ini = "[LANGUAGE]\nLANGUAGENUMBER=12\n[1033]\nDESCRIPTION=Select\n";
  for (int i = 0; i < 12; ++i) {
    std::string id = std::to_string(2000 + i);
    ini += "LANGUAGE" + std::to_string(i) + "=Language" + std::to_string(i) + " " + id + "\n";
    sim->MakeDirectory(kMedium + id);
  }
  SetupRes(ini);
  sim->QueueDialogAnswer(os::kIdOk, 11);
  EXPECT_EQ(Choose(), 1);
  const os::SimDialog& d = OnlyDialog();
  ASSERT_EQ(d.language.items.size(), 12u);
  EXPECT_EQ(d.language.items[11], "Language11");
  EXPECT_EQ(app::Ctx().language, "2011");
}

TEST_F(LanguageDialogTest, CancelEndsTheChoice) {
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1036");
  sim->QueueDialogAnswer(os::kIdCancel);
  EXPECT_EQ(Choose(), 0);
  EXPECT_EQ(app::Ctx().language, "1033");  // untouched
  EXPECT_EQ(app::Ctx().chosenLanguage, "");
}

TEST_F(LanguageDialogTest, DialogClassKeepsEntriesInListOrder) {
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1031");
  sim->MakeDirectory(kMedium + "1036");
  ui::CLanguageDlg dialog;
  dialog.m_strCatalogPath = kMedium + "setupres.ini";
  EXPECT_EQ(dialog.m_nSelected, -1);
  sim->QueueDialogAnswer(os::kIdOk, 1);
  EXPECT_EQ(dialog.DoModal(), os::kIdOk);
  EXPECT_EQ(dialog.m_aLanguageEntries,
            (std::vector<std::string>{"Deutsch 1031", "Francais 1036"}));
  EXPECT_EQ(dialog.m_nSelected, 1);
}

// The whole launcher: an interactive run chooses the language, then installs with its
// transform; a cancelled choice ends the start-up before the main window.
class LanguageChoiceRunTest : public LauncherTest {};

TEST_F(LanguageChoiceRunTest, ChosenLanguageReachesTheInstallerCommandLine) {
  SetupInf("[Setup]\nMSIPKG=agent.msi\n");
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1036");
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  sim->QueueDialogAnswer(os::kIdOk, 1);
  EXPECT_EQ(RunLauncher(""), 0);
  ASSERT_EQ(sim->Launches().size(), 1u);
  const std::string& line = sim->Launches()[0].commandLine;
  EXPECT_NE(line.find("TRANSFORMS=1036.mst LANGUAGEID=1036"), std::string::npos) << line;
  EXPECT_NE(line.find("COPYPATH=\"D:\\1036\""), std::string::npos) << line;
}

TEST_F(LanguageChoiceRunTest, CancelEndsTheSetupWithoutInstalling) {
  SetupInf("[Setup]\nMSIPKG=agent.msi\n");
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1036");
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  sim->QueueDialogAnswer(os::kIdCancel);
  EXPECT_EQ(RunLauncher("/r"), 0);
  EXPECT_TRUE(sim->Launches().empty());
  EXPECT_TRUE(sim->Windows().empty());  // start-up stopped before the main window
  std::vector<cls::StatusMessage> statuses = Statuses();
  ASSERT_EQ(statuses.size(), 1u);  // the failure report reaches the status host
  EXPECT_EQ(statuses[0].code, 26u);
}

TEST_F(LanguageChoiceRunTest, QuietAndSingleLanguageRunsShowNoChoice) {
  SetupInf("[Setup]\nMSIPKG=agent.msi\nMultiLanguage=0\n");
  SetupRes(kThreeLanguages);
  sim->MakeDirectory(kMedium + "1033");
  sim->MakeDirectory(kMedium + "1036");
  sim->RegisterProgramExitCode(kMedium + "msiexec.exe", 0);
  EXPECT_EQ(RunLauncher(""), 0);
  app::ResetContext();
  SetupInf("[Setup]\nMSIPKG=agent.msi\n");
  EXPECT_EQ(RunLauncher("/q"), 0);
  EXPECT_TRUE(sim->Dialogs().empty());
  EXPECT_EQ(sim->Launches().size(), 2u);
}

}  // namespace

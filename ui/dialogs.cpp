// The user's choices before the install: the database of a SAP agent medium,
// then the language.
#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/text.h"
#include "ui/database_dialog.h"
#include "ui/language_dialog.h"

namespace app {

int CSetupApp::ChooseLanguage() {
  if (!ChooseDatabase()) return 0;

  SetupContext& c = Ctx();
  ui::CLanguageDlg dialog;
  dialog.m_strCatalogPath = c.setupResPath;
  if (dialog.DoModal() != os::kIdOk) return 0;

  int k = dialog.m_nSelected;
  if (k >= 0 && static_cast<std::size_t>(k) < dialog.m_aLanguageEntries.size()) {
    c.language = dialog.m_aLanguageEntries[k];
    c.chosenLanguage = c.language;
    c.language = c.language.substr(c.language.size() - 4);
  }
  // With no language listed the dialog accepted at once without a selection: the
  // language stays the one start-up chose (the system's).
  c.chosenLanguage = c.language;
  return 1;
}

int CSetupApp::ChooseDatabase() {
  if (!ui::HasDatabaseChoice()) return 1;

  SetupContext& c = Ctx();
  ui::CDatabaseDlg dialog;
  dialog.m_strInfPath = c.setupInfPath;
  dialog.m_strSqlCaption = GetMessageTextByKey("SAPSELECTSQL");
  dialog.m_strOracleCaption = GetMessageTextByKey("SAPSELECTORACLE");
  if (dialog.DoModal() != os::kIdOk) return 0;

  c.packageFile = fw::TrimLeft(dialog.m_strPackage);
  c.dbFolder = dialog.m_strFolder;
  c.dbResFolder = c.dbFolder;
  return 1;
}

}  // namespace app

// The language choice: a modal dialog (template 100) with a drop-down list of
// the languages that the medium carries. Its texts come from the catalogue in the
// system's language; the port shows it and answers the user's choice.
#pragma once

#include <string>
#include <vector>

#include "os/system.h"

namespace ui {

// The catalogue section of the dialog's own texts: the system default language (after
// the Spanish rule) when that section has a DESCRIPTION other than "NULL", else "1033".
std::string LanguageUiSection(const std::string& catalogPath);

class CLanguageDlg {
 public:
  CLanguageDlg() = default;  // no parent window: the main window does not exist yet
  virtual ~CLanguageDlg() = default;

  // Shows the dialog; answers kIdOk (m_nSelected then holds the chosen list item) or
  // kIdCancel.
  int DoModal();

  std::string m_strCatalogPath;  // full path of setupres.ini, set before DoModal
  // The listed entries ("Deutsch 1031"), entry k being list item k. Not limited to ten:
  // every listed language is kept.
  std::vector<std::string> m_aLanguageEntries;
  int m_nSelected = -1;  // the list item chosen with OK (-1: none)

 protected:
  // Fills m_spec: caption and texts from the UI section, the list of languages whose
  // folders exist, the initial item, and "accept at once" for a list of at most one item.
  virtual int OnInitDialog();
  // Takes the combo box's index (the data exchange) and ends with IDOK.
  virtual void OnOK(int selectedIndex);

  os::LanguageDialogSpec m_spec;
};

}  // namespace ui

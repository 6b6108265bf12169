// The database choice of a SAP agent medium: a modal dialog (template 107)
// with two radio buttons, SAP on SQL Server or SAP on Oracle. The choice decides the
// package, the medium folder of the language files and the plug-in's resource folder.
#pragma once

#include <string>

#include "os/system.h"

namespace ui {

// Clears dbFolder; 1 when setup.inf's SAP section names both packages (SQL and Oracle
// non-empty), else 0.
int HasDatabaseChoice();

class CDatabaseDlg {
 public:
  CDatabaseDlg() = default;  // no parent window
  virtual ~CDatabaseDlg() = default;

  // Shows the dialog; answers kIdOk (m_strPackage and m_strFolder then hold the choice)
  // or kIdCancel.
  int DoModal();
  // Checks radio button `id` (1113 or 1114) and clears the other.
  void CheckRadio(int id);

  std::string m_strInfPath;        // full path of setup.inf
  std::string m_strPackage;        // output: the chosen package
  std::string m_strFolder;         // output: "SQL" or "Oracle"
  std::string m_strSqlCaption;     // text of radio button 1113
  std::string m_strOracleCaption;  // text of radio button 1114
  std::string m_strSqlPackage;     // SAP/SQL, read when the dialog starts
  std::string m_strOraclePackage;  // SAP/Oracle, read when the dialog starts

 protected:
  // Fills m_spec: the caption from the product name (cut before "%s"), the radio texts,
  // the SQL Server button checked.
  virtual int OnInitDialog();
  // `checkedRadio`: the id of the checked button as the dialog ends (0: neither).
  virtual void OnOK(int checkedRadio);
  virtual void OnCancel() {}

  os::DatabaseDialogSpec m_spec;
};

}  // namespace ui

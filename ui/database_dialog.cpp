#include "ui/database_dialog.h"

#include "app/catalogue.h"
#include "app/setup_context.h"
#include "ui/resource.h"

namespace ui {

namespace {
constexpr std::size_t kValueBuffer = 260;
}

int HasDatabaseChoice() {
  os::System& sys = os::sys();
  app::SetupContext& c = app::Ctx();
  c.dbFolder.clear();
  std::string sql = sys.ProfileString(c.setupInfPath, "SAP", "SQL", "", kValueBuffer);
  std::string oracle = sys.ProfileString(c.setupInfPath, "SAP", "Oracle", "", kValueBuffer);
  return !sql.empty() && !oracle.empty() ? 1 : 0;
}

int CDatabaseDlg::DoModal() {
  m_spec = os::DatabaseDialogSpec();
  OnInitDialog();
  int checked = m_spec.checkedRadio;
  if (os::sys().RunDatabaseDialog(m_spec, &checked) != os::kIdOk) {
    OnCancel();
    return os::kIdCancel;
  }
  OnOK(checked);
  return os::kIdOk;
}

void CDatabaseDlg::CheckRadio(int id) {
  m_spec.checkedRadio = id == IDC_SQLSERVER || id == IDC_ORACLE ? id : 0;
}

int CDatabaseDlg::OnInitDialog() {
  os::System& sys = os::sys();
  std::string caption = sys.ProfileString(m_strInfPath, "Setup", "ProductName", "", kValueBuffer);
  if (!caption.empty()) {
    std::string key = caption.size() > 2 ? caption.substr(1, caption.size() - 2) : std::string();
    if (!key.empty()) caption = app::GetMessageTextByKey(key);
    std::size_t placeholder = caption.find("%s");
    if (placeholder != std::string::npos) caption.erase(placeholder);
  }
  m_spec.caption = caption;

  m_strSqlPackage = sys.ProfileString(m_strInfPath, "SAP", "SQL", "NULL", kValueBuffer);
  m_spec.sqlText = m_strSqlCaption;
  m_strOraclePackage = sys.ProfileString(m_strInfPath, "SAP", "Oracle", "NULL", kValueBuffer);
  m_spec.oracleText = m_strOracleCaption;
  m_strPackage.clear();
  CheckRadio(IDC_SQLSERVER);  // SAP on SQL Server is preselected
  return 1;
}

void CDatabaseDlg::OnOK(int checkedRadio) {
  if (checkedRadio == IDC_SQLSERVER) {
    m_strPackage = m_strSqlPackage;
    m_strFolder = "SQL";
  } else {
    m_strPackage = m_strOraclePackage;
    m_strFolder = "Oracle";
  }
}

}  // namespace ui

#include "ui/language_dialog.h"

#include <cstdlib>

#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fw/text.h"

namespace ui {

namespace {

constexpr std::size_t kValueBuffer = 260;
constexpr const char* kMissing = "NULL";
// An entry is a display name, one blank and a four-digit language id.
constexpr std::size_t kIdLength = 4;
constexpr std::size_t kShortestEntry = kIdLength + 1;

std::string SystemLanguage() { return app::SystemLanguageFromId(os::sys().SystemDefaultLangId()); }

}  // namespace

std::string LanguageUiSection(const std::string& catalogPath) {
  std::string section = SystemLanguage();
  std::string description =
      os::sys().ProfileString(catalogPath, section, "DESCRIPTION", kMissing, kValueBuffer);
  return description != kMissing ? section : "1033";
}

int CLanguageDlg::DoModal() {
  m_spec = os::LanguageDialogSpec();
  m_aLanguageEntries.clear();
  OnInitDialog();
  int selected = m_spec.initialSelection;
  if (os::sys().RunLanguageDialog(m_spec, &selected) != os::kIdOk) return os::kIdCancel;
  OnOK(selected);
  return os::kIdOk;
}

int CLanguageDlg::OnInitDialog() {
  os::System& sys = os::sys();
  const std::string& ini = m_strCatalogPath;
  std::string section = LanguageUiSection(ini);
  m_spec.caption = sys.ProfileString(ini, section, "TITLE", kMissing, kValueBuffer);
  m_spec.prompt = sys.ProfileString(ini, section, "DESCRIPTION", kMissing, kValueBuffer);
  m_spec.okText = sys.ProfileString(ini, section, "OK", kMissing, kValueBuffer);
  m_spec.cancelText = sys.ProfileString(ini, section, "Cancel", kMissing, kValueBuffer);

  const std::string& setupDir = app::Ctx().setupDir;
  long count = std::strtol(
      sys.ProfileString(ini, "LANGUAGE", "LANGUAGENUMBER", "0", kValueBuffer).c_str(), nullptr, 10);
  for (long i = 0; i < count; ++i) {
    std::string entry = fw::TrimRight(
        sys.ProfileString(ini, section, "LANGUAGE" + std::to_string(i), "0", kValueBuffer));
    if (entry.size() < kShortestEntry) continue;  // no id and name: nothing to list
    std::string id = entry.substr(entry.size() - kIdLength);
    if (!app::IsDirectory(setupDir + id)) continue;  // the medium lacks this language
    m_aLanguageEntries.push_back(entry);
    m_spec.items.push_back(entry.substr(0, entry.size() - kShortestEntry));
  }

  // The system's language when it is listed, otherwise the first item.
  std::string system = SystemLanguage();
  m_spec.initialSelection = m_spec.items.empty() ? -1 : 0;
  for (std::size_t k = 0; k < m_aLanguageEntries.size(); ++k) {
    const std::string& entry = m_aLanguageEntries[k];
    if (fw::EqualsNoCase(entry.substr(entry.size() - kIdLength), system)) {
      m_spec.initialSelection = static_cast<int>(k);
      break;
    }
  }
  // A medium with one language (or none) shows no choice.
  m_spec.acceptAtOnce = m_spec.items.size() <= 1;
  return 1;
}

void CLanguageDlg::OnOK(int selectedIndex) {
  bool valid = selectedIndex >= 0 && static_cast<std::size_t>(selectedIndex) < m_aLanguageEntries.size();
  m_nSelected = valid ? selectedIndex : -1;
}

}  // namespace ui

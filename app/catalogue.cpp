#include "app/catalogue.h"

#include "app/setup_context.h"
#include "fw/text.h"
#include "os/system.h"

namespace app {

namespace {
constexpr std::size_t kCatalogueBuffer = 520;
constexpr const char* kMissing = "NULL";
}  // namespace

std::string GetMessageTextByKey(const std::string& key) {
  os::System& sys = os::sys();
  const SetupContext& c = Ctx();
  std::string text = sys.ProfileString(c.setupResPath, c.language, key, kMissing, kCatalogueBuffer);
  if (fw::EqualsNoCase(text, kMissing))
    text = sys.ProfileString(c.setupResPath, "1033", key, kMissing, kCatalogueBuffer);
  return text;
}

std::string GetMessageText(int number) { return GetMessageTextByKey(std::to_string(number)); }

std::string SystemLanguageFromId(unsigned langId) {
  langId &= 0xFFFF;
  if ((langId & 0x3FF) == 0x0A && (langId & 0xFC00) == 0x0C00) langId = 1034;
  return std::to_string(langId);
}

void ApplySystemLanguageRule() {
  Ctx().systemLanguage = SystemLanguageFromId(os::sys().SystemDefaultLangId());
}

void ApplyQuietLanguageRule() {
  SetupContext& c = Ctx();
  std::string id = os::sys().ProfileString(c.setupIcfPath, "Install", "LanguageID", "1033", 260);
  if (id.empty()) id = "1033";
  c.language = id;
  c.chosenLanguage = id;
}

ProductNameResult ResolveProductName() {
  ProductNameResult result;
  result.name = os::sys().ProfileString(Ctx().setupInfPath, "Setup", "ProductName", "", 260);
  if (result.name.size() <= 2) return result;
  result.name = GetMessageTextByKey(result.name.substr(1, result.name.size() - 2));
  result.lookedUp = true;
  return result;
}

}  // namespace app

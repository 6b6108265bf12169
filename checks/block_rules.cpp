#include <cstdint>
#include <cstring>
#include <string>

#include "app/catalogue.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "checks/block_record.h"
#include "cls/remote_mailslot.h"
#include "fw/text.h"
#include "os/system.h"

namespace app {

namespace {

constexpr int kRuleCount = 8;
constexpr std::size_t kProfileBuffer = 260;
constexpr std::uint32_t kValueNameBuffer = 260;
constexpr std::uint32_t kValueDataBuffer = 49;

struct BlockRule {
  std::string keyPath;
  int subtype = -1;
  checks::VersionPattern pattern;
  std::string messageKey;
};

// Rule `index` of setup.inf's Upgrade section; false when it has no key or no subtype.
bool ReadBlockRule(int index, BlockRule* rule) {
  os::System& sys = os::sys();
  const std::string& inf = Ctx().setupInfPath;
  std::string n = std::to_string(index);
  rule->keyPath = sys.ProfileString(inf, "Upgrade", "BlockReg" + n, "", kProfileBuffer);
  if (rule->keyPath.empty()) return false;
  rule->subtype = sys.ProfileInt(inf, "Upgrade", "BlockSubtype" + n, -1);
  if (rule->subtype == -1) return false;
  rule->pattern = checks::ParseVersionPattern(
      sys.ProfileString(inf, "Upgrade", "BlockVer" + n, "", kProfileBuffer));
  rule->messageKey = sys.ProfileString(inf, "Upgrade", "BlockMsgID" + n, "", kProfileBuffer);
  return true;
}

// Looks through the values of the rule's key for a blocking record; its version as "major.minor"
// goes to *found. A value whose name or data does not fit the buffers ends the scan.
bool FindBlockingRecord(const BlockRule& rule, std::string* found) {
  os::System& sys = os::sys();
  os::RegKey key = 0;
  if (sys.RegOpenKey(os::kHkeyLocalMachine, rule.keyPath, os::kKeyRead, &key) != os::kErrorSuccess)
    return false;
  // One buffer for all values of the key: a short value leaves the bytes of longer earlier
  // ones behind it.
  std::uint8_t buffer[kValueDataBuffer] = {};
  bool matched = false;
  for (std::uint32_t index = 0; !matched; ++index) {
    std::string name, data;
    std::uint32_t type = 0;
    if (sys.RegEnumValue(key, index, kValueNameBuffer, kValueDataBuffer, &name, &type, &data) !=
        os::kErrorSuccess)
      break;
    std::memcpy(buffer, data.data(), data.size() < sizeof buffer ? data.size() : sizeof buffer);
    checks::VersionRecord record = checks::ReadVersionRecord(buffer, sizeof buffer);
    if (checks::RecordMatches(record, rule.pattern, rule.subtype)) {
      *found = std::to_string(record.major) + "." + std::to_string(record.minor);
      matched = true;
    }
  }
  sys.RegCloseKey(key);
  return matched;
}

}  // namespace

// Refuses the install when the registry holds a version that one of the medium's rules
// blocks; 0 then, non-zero to go on.
int CSetupApp::CheckBlockRules() {
  const SetupContext& c = Ctx();
  for (int index = 0; index < kRuleCount; ++index) {
    BlockRule rule;
    if (!ReadBlockRule(index, &rule)) continue;
    std::string found;
    if (!FindBlockingRecord(rule, &found)) continue;
    if (!rule.messageKey.empty()) {
      std::string text =
          fw::FormatText(GetMessageTextByKey(rule.messageKey), {found, m_strProductName, found});
      if (c.masterSetup)
        cls::CRemoteMailslot::SendStatus(c.masterHost, 26, 3, c.productCode, text);
      else
        os::sys().MessageBox(0, text, m_strProductName, os::kMbOk | os::kMbIconWarning);
    }
    return 0;
  }
  return 1;
}

}  // namespace app

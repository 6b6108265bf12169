// The simulated registry: an in-memory tree under HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER (HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes), names ignoring case,
// values typed and kept in creation order, a built-in-group ACL per key.
//
// 64-bit Windows (Set64BitWindows): the running program is 32-bit, so an open in the
// 32-bit view of a path at or below HKLM\SOFTWARE (SOFTWARE\Classes included: it is
// redirected too, for simplicity) lands in SOFTWARE\Wow6432Node. Opens from a predefined
// root are in the 32-bit view unless the access has KEY_WOW64_64KEY; opens relative to an
// open key stay in that key's view unless the access names the other one.
#include <stdexcept>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr std::uint32_t kReadControl = 0x20000, kWriteDac = 0x40000;
constexpr std::uint32_t kRidAdministrators = 544, kRidUsers = 545, kRidPowerUsers = 547;

std::uint32_t MapRegAccess(std::uint32_t access) {
  std::uint32_t mapped = access & 0x00FFFFFFu;
  if (access & 0x80000000u) mapped |= kKeyRead;       // GENERIC_READ
  if (access & 0x40000000u) mapped |= kKeyWrite;      // GENERIC_WRITE
  if (access & 0x20000000u) mapped |= kKeyRead;       // GENERIC_EXECUTE
  if (access & 0x12000000u) mapped |= kKeyAllAccess;  // GENERIC_ALL, MAXIMUM_ALLOWED
  return mapped;
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

RegNode* RootNode(SimState& s, int root) { return root == 0 ? &s.hklm : &s.hkcu; }

RegNode* Walk(SimState& s, int root, const std::vector<std::string>& folded) {
  RegNode* node = RootNode(s, root);
  for (const std::string& part : folded) {
    auto it = node->subkeys.find(part);
    if (it == node->subkeys.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

RegNode* Child(RegNode* parent, const std::string& foldedName, const std::string& name) {
  std::unique_ptr<RegNode>& slot = parent->subkeys[foldedName];
  if (!slot) {
    slot = std::make_unique<RegNode>();
    slot->name = name;
    slot->acl = parent->acl;  // inherited entries, copied as Windows copies them
  }
  return slot.get();
}

std::string DeniedKey(int root, const std::vector<std::string>& folded) {
  std::string key = root == 0 ? "0" : "1";
  for (const std::string& part : folded) key += "\\" + part;
  return key;
}

// Inserts Wow6432Node for the 32-bit view of a path at or below SOFTWARE.
void Redirect(std::vector<std::string>* folded, std::vector<std::string>* names) {
  if (folded->empty() || (*folded)[0] != "software") return;
  if (folded->size() > 1 && (*folded)[1] == "wow6432node") return;
  folded->insert(folded->begin() + 1, "wow6432node");
  names->insert(names->begin() + 1, "Wow6432Node");
}

struct Target {
  int root = 0;
  std::vector<std::string> folded, names;  // the whole path from the root
  bool view64 = true;
  std::size_t existing = 0;  // leading components known to exist (the base key's)
};

// Where a call on (root, path, access) goes. 0 or an error code.
std::uint32_t Locate(SimState& s, RegKey root, const std::string& path, std::uint32_t access,
                     Target* t) {
  if (!path.empty() && path[0] == '\\') return kErrorBadPathname;
  bool explicitView = access & (kKeyWow64_32Key | kKeyWow64_64Key);
  if (root == kHkeyLocalMachine || root == kHkeyCurrentUser || root == kHkeyClassesRoot) {
    t->root = root == kHkeyCurrentUser ? 1 : 0;
    if (root == kHkeyClassesRoot) {
      t->folded = {"software", "classes"};
      t->names = {"SOFTWARE", "Classes"};
    }
    t->view64 = !s.is64Bit || (access & kKeyWow64_64Key);
  } else {
    auto it = s.regKeys.find(root);
    if (it == s.regKeys.end()) return kErrorInvalidHandle;
    t->root = it->second.root;
    t->folded = it->second.path;
    t->names = it->second.path;
    bool baseView64 = !(it->second.access & kKeyWow64_32Key);
    t->view64 = !s.is64Bit || (explicitView ? (access & kKeyWow64_64Key) != 0 : baseView64);
    if (!Walk(s, t->root, t->folded)) return kErrKeyDeleted;
    t->existing = t->folded.size();
  }
  for (const std::string& part : SplitKeyPath(path)) {
    t->folded.push_back(Fold(s.codePage, part));
    t->names.push_back(part);
  }
  if (t->root == 0 && !t->view64) Redirect(&t->folded, &t->names);
  return 0;
}

RegKey NewRegKey(SimState& s, const Target& t, std::uint32_t access) {
  RegKey key = s.nextRegKey;
  s.nextRegKey += 4;
  OpenRegKeyRec rec;
  rec.root = t.root;
  rec.path = t.folded;
  // The view travels with the key: a 32-bit-view key is marked as such.
  rec.access = (MapRegAccess(access) & ~(kKeyWow64_32Key | kKeyWow64_64Key)) |
               (t.view64 ? 0u : std::uint32_t{kKeyWow64_32Key});
  s.regKeys[key] = rec;
  return key;
}

std::uint32_t OpenOrCreate(SimState& s, RegKey root, const std::string& path, std::uint32_t access,
                           RegKey* key, bool create) {
  if (key != nullptr) *key = 0;
  Target t;
  if (std::uint32_t error = Locate(s, root, path, access, &t)) return error;
  if (s.regDenied.count(DeniedKey(t.root, t.folded))) return kErrorAccessDenied;
  RegNode* node = Walk(s, t.root, t.folded);
  if (!node) {
    if (!create) return kErrorFileNotFound;
    node = RootNode(s, t.root);
    for (std::size_t i = 0; i < t.folded.size(); ++i) {
      auto it = node->subkeys.find(t.folded[i]);
      if (it == node->subkeys.end()) {
        std::vector<std::string> parent(t.folded.begin(), t.folded.begin() + long(i));
        if (s.regDenied.count(DeniedKey(t.root, parent))) return kErrorAccessDenied;
      }
      node = Child(node, t.folded[i], t.names[i]);
    }
  }
  RegKey made = NewRegKey(s, t, access);
  if (key != nullptr) *key = made;
  return 0;
}

// The node and access of an open key (a predefined root has every right). 0 or an error.
std::uint32_t KeyNode(SimState& s, RegKey key, RegNode** node, std::uint32_t* access) {
  if (key == kHkeyLocalMachine || key == kHkeyCurrentUser || key == kHkeyClassesRoot) {
    *access = kKeyAllAccess;
    *node = key == kHkeyClassesRoot ? Walk(s, 0, {"software", "classes"})
                                    : RootNode(s, key == kHkeyCurrentUser ? 1 : 0);
    return *node ? 0u : std::uint32_t{kErrorFileNotFound};
  }
  auto it = s.regKeys.find(key);
  if (it == s.regKeys.end()) return kErrorInvalidHandle;
  *access = it->second.access;
  *node = Walk(s, it->second.root, it->second.path);
  return *node ? 0u : std::uint32_t{kErrKeyDeleted};
}

RegValueRec* FindValue(SimState& s, RegNode* node, const std::string& name) {
  for (RegValueRec& v : node->values)
    if (SameNoCase(s.codePage, v.name, name)) return &v;
  return nullptr;
}

void SetValueOn(SimState& s, RegNode* node, const std::string& name, std::uint32_t type,
                const std::string& data) {
  if (RegValueRec* v = FindValue(s, node, name)) {
    v->type = type;
    v->data = data;
  } else {
    node->values.push_back(RegValueRec{name, type, data});
  }
}

// A configuration path: "SOFTWARE\X" (HKLM), or with a root named in front
// ("HKLM\", "HKEY_LOCAL_MACHINE\", "HKCU\", "HKEY_CURRENT_USER\").
void ParseConfigPath(SimState& s, const std::string& keyPath, int* root,
                     std::vector<std::string>* folded, std::vector<std::string>* names) {
  *root = 0;
  std::vector<std::string> parts = SplitKeyPath(keyPath);
  if (!parts.empty()) {
    std::string first = Fold(s.codePage, parts[0]);
    if (first == "hklm" || first == "hkey_local_machine" || first == "hkcu" ||
        first == "hkey_current_user") {
      *root = (first == "hkcu" || first == "hkey_current_user") ? 1 : 0;
      parts.erase(parts.begin());
    }
  }
  for (const std::string& part : parts) {
    folded->push_back(Fold(s.codePage, part));
    names->push_back(part);
  }
}

RegNode* ConfigKey(SimState& s, const std::string& keyPath, bool create) {
  int root = 0;
  std::vector<std::string> folded, names;
  ParseConfigPath(s, keyPath, &root, &folded, &names);
  RegNode* node = RootNode(s, root);
  for (std::size_t i = 0; i < folded.size() && node; ++i) {
    if (create) {
      node = Child(node, folded[i], names[i]);
    } else {
      auto it = node->subkeys.find(folded[i]);
      node = it == node->subkeys.end() ? nullptr : it->second.get();
    }
  }
  return node;
}

void ConfigDeleteTree(SimState& s, const std::string& keyPath) {
  int root = 0;
  std::vector<std::string> folded, names;
  ParseConfigPath(s, keyPath, &root, &folded, &names);
  if (folded.empty()) return;
  std::string last = folded.back();
  folded.pop_back();
  if (RegNode* parent = Walk(s, root, folded)) parent->subkeys.erase(last);
}

void ConfigDeleteValue(SimState& s, const std::string& keyPath, const std::string& name) {
  if (RegNode* node = ConfigKey(s, keyPath, false)) {
    for (auto it = node->values.begin(); it != node->values.end(); ++it) {
      if (SameNoCase(s.codePage, it->name, name)) {
        node->values.erase(it);
        return;
      }
    }
  }
}

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

std::string Dword(std::uint32_t value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[std::size_t(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return data;
}

std::string ProductNameOf(const OsVersion& v) {
  if (v.platformId != kPlatformNt)
    return v.minor >= 90   ? "Windows Millennium Edition"
           : v.minor >= 10 ? "Windows 98"
                           : "Windows 95";
  if (v.major == 4) return "Microsoft Windows NT";
  if (v.major == 5)
    return v.minor == 0   ? "Microsoft Windows 2000"
           : v.minor == 1 ? "Microsoft Windows XP"
                          : "Microsoft Windows Server 2003";
  if (v.major == 6)
    return v.minor == 0   ? "Windows Vista (TM) Business"
           : v.minor == 1 ? "Windows 7 Professional"
           : v.minor == 2 ? "Windows 8 Pro"
                          : "Windows 8.1 Pro";
  return "Windows 10 Pro";
}

std::string Hex4(std::uint32_t value) {
  const char* digits = "0123456789ABCDEF";
  std::string text;
  for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
  return text;
}

// Values derived from the configuration (version, language...) follow it, unless the
// test has set them itself since the machine last wrote them: then they stay.
std::string DerivedId(SimState& s, const std::string& keyPath, const std::string& name) {
  return Fold(s.codePage, keyPath) + "|" + Fold(s.codePage, name);
}

std::optional<std::string> CurrentData(SimState& s, const std::string& keyPath,
                                       const std::string& name) {
  RegNode* node = ConfigKey(s, keyPath, false);
  RegValueRec* value = node ? FindValue(s, node, name) : nullptr;
  if (!value) return std::nullopt;
  return value->data;
}

bool StillDerived(SimState& s, const std::string& keyPath, const std::string& name) {
  std::optional<std::string> current = CurrentData(s, keyPath, name);
  if (!current) return true;
  auto it = s.derivedRegistry.find(DerivedId(s, keyPath, name));
  return it != s.derivedRegistry.end() && it->second == *current;
}

void DerivedSet(SimState& s, const std::string& keyPath, const std::string& name,
                std::uint32_t type, const std::string& data) {
  if (!StillDerived(s, keyPath, name)) return;
  SetValueOn(s, ConfigKey(s, keyPath, true), name, type, data);
  s.derivedRegistry[DerivedId(s, keyPath, name)] = data;
}

void DerivedDelete(SimState& s, const std::string& keyPath, const std::string& name) {
  if (!StillDerived(s, keyPath, name)) return;
  ConfigDeleteValue(s, keyPath, name);
  s.derivedRegistry.erase(DerivedId(s, keyPath, name));
}

}  // namespace

namespace sim {

void ConfigSetValue(SimState& s, const std::string& keyPath, const std::string& name,
                    std::uint32_t type, const std::string& data) {
  SetValueOn(s, ConfigKey(s, keyPath, true), name, type, data);
}

void InitRegistry(SimState& s) {
  s.hklm.name = "HKEY_LOCAL_MACHINE";
  s.hkcu.name = "HKEY_CURRENT_USER";
  for (RegNode* root : {&s.hklm, &s.hkcu}) {
    root->acl = {
        {kRidAdministrators, kKeyAllAccess},
        {kRidUsers, kKeyRead},
        {kRidPowerUsers, kKeyRead | kKeySetValue | 0x4 /* create */ | 0x10000 /* delete */}};
  }
  const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  ConfigSetValue(s, cv, "ProgramFilesDir", kRegSz, Sz("C:\\Program Files"));
  ConfigSetValue(s, cv, "CommonFilesDir", kRegSz, Sz("C:\\Program Files\\Common Files"));
  ConfigKey(s, cv + "\\Uninstall", true);
  ConfigKey(s, "SOFTWARE\\Classes", true);
  const std::string env = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
  ConfigSetValue(s, env, "Path", kRegExpandSz, Sz("%SystemRoot%\\system32;%SystemRoot%"));
  ConfigSetValue(s, env, "OS", kRegSz, Sz("Windows_NT"));
  ConfigSetValue(s, env, "PROCESSOR_ARCHITECTURE", kRegSz, Sz("x86"));
  ConfigSetValue(s, env, "windir", kRegExpandSz, Sz("%SystemRoot%"));
  ConfigKey(s, "HKCU\\Software", true);
  ConfigKey(s, "HKCU\\Environment", true);
  ApplyDerivedRegistry(s);
}

void ApplyDerivedRegistry(SimState& s) {
  const OsVersion& v = s.version;
  const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  const std::string nt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  std::vector<std::string> views = {""};
  if (s.is64Bit) views.push_back("SOFTWARE\\Wow6432Node\\");
  for (const std::string& view : views) {
    std::string viewCv = view.empty() ? cv : view + cv.substr(9);
    std::string viewNt = view.empty() ? nt : view + nt.substr(9);
    if (v.platformId == kPlatformNt) {
      DerivedSet(s, viewNt, "CurrentVersion", kRegSz,
                 Sz(std::to_string(v.major) + "." + std::to_string(v.minor)));
      DerivedSet(s, viewNt, "CurrentBuildNumber", kRegSz, Sz(std::to_string(v.build)));
      DerivedSet(s, viewNt, "ProductName", kRegSz, Sz(ProductNameOf(v)));
      DerivedSet(s, viewNt, "SystemRoot", kRegSz, Sz(s.windowsDir));
      if (v.csdVersion.empty())
        DerivedDelete(s, viewNt, "CSDVersion");
      else
        DerivedSet(s, viewNt, "CSDVersion", kRegSz, Sz(v.csdVersion));
      for (const char* name : {"Version", "VersionNumber", "SubVersionNumber"})
        DerivedDelete(s, viewCv, name);
    } else {
      ConfigDeleteTree(
          s, view.empty() ? "SOFTWARE\\Microsoft\\Windows NT" : view + "Microsoft\\Windows NT");
      DerivedSet(s, viewCv, "Version", kRegSz, Sz(ProductNameOf(v)));
      DerivedSet(s, viewCv, "VersionNumber", kRegSz,
                 Sz(std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                    std::to_string(v.build & 0xFFFF)));
      DerivedSet(s, viewCv, "SubVersionNumber", kRegSz, Sz(v.csdVersion));
    }
  }
  const std::string windows = "SYSTEM\\CurrentControlSet\\Control\\Windows";
  if (v.platformId == kPlatformNt)  // the service pack times 256, plus its minor number
    DerivedSet(s, windows, "CSDVersion", kRegDword,
               Dword((std::uint32_t{v.servicePackMajor} << 8) | v.servicePackMinor));
  else
    DerivedDelete(s, windows, "CSDVersion");

  DerivedSet(s, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "Identifier", kRegSz,
             Sz(s.processorIdentifier));
  const std::string nls = "SYSTEM\\CurrentControlSet\\Control\\Nls";
  DerivedSet(s, nls + "\\Language", "Default", kRegSz, Sz(Hex4(s.langId)));
  DerivedSet(s, nls + "\\Language", "InstallLanguage", kRegSz, Sz(Hex4(s.langId)));
  DerivedSet(s, nls + "\\CodePage", "ACP", kRegSz, Sz(std::to_string(s.codePage)));

  if (s.is64Bit) {
    const std::string x86 = "C:\\Program Files (x86)";
    DerivedSet(s, cv, "ProgramFilesDir (x86)", kRegSz, Sz(x86));
    DerivedSet(s, cv, "CommonFilesDir (x86)", kRegSz, Sz(x86 + "\\Common Files"));
    const std::string wowCv = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
    DerivedSet(s, wowCv, "ProgramFilesDir", kRegSz, Sz(x86));
    DerivedSet(s, wowCv, "ProgramFilesDir (x86)", kRegSz, Sz(x86));
    DerivedSet(s, wowCv, "CommonFilesDir", kRegSz, Sz(x86 + "\\Common Files"));
    ConfigKey(s, "SOFTWARE\\Wow6432Node\\Classes", true);
  } else {
    DerivedDelete(s, cv, "ProgramFilesDir (x86)");
    DerivedDelete(s, cv, "CommonFilesDir (x86)");
  }
}

}  // namespace sim

// --- Configuration ----------------------------------------------------------------------

void SimMachine::SetRegString(const std::string& keyPath, const std::string& name,
                              const std::string& value) {
  SetRegValue(keyPath, name, kRegSz, Sz(value));
}

void SimMachine::SetRegDword(const std::string& keyPath, const std::string& name,
                             std::uint32_t value) {
  SetRegValue(keyPath, name, kRegDword, Dword(value));
}

void SimMachine::SetRegValue(const std::string& keyPath, const std::string& name,
                             std::uint32_t type, const std::string& data) {
  std::lock_guard<std::mutex> lock(state_->mu);
  ConfigSetValue(*state_, keyPath, name, type, data);
}

void SimMachine::MakeRegKey(const std::string& keyPath) {
  std::lock_guard<std::mutex> lock(state_->mu);
  ConfigKey(*state_, keyPath, true);
}

void SimMachine::DeleteRegKeyTree(const std::string& keyPath) {
  std::lock_guard<std::mutex> lock(state_->mu);
  ConfigDeleteTree(*state_, keyPath);
}

std::optional<std::string> SimMachine::RegValueData(const std::string& keyPath,
                                                    const std::string& name) const {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = ConfigKey(*state_, keyPath, false);
  if (!node) return std::nullopt;
  RegValueRec* value = FindValue(*state_, node, name);
  if (!value) return std::nullopt;
  return value->data;
}

bool SimMachine::RegKeyExists(const std::string& keyPath) const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return ConfigKey(*state_, keyPath, false) != nullptr;
}

void SimMachine::SetRegAccessDenied(const std::string& keyPath, bool denied) {
  std::lock_guard<std::mutex> lock(state_->mu);
  int root = 0;
  std::vector<std::string> folded, names;
  ParseConfigPath(*state_, keyPath, &root, &folded, &names);
  if (denied)
    state_->regDenied.insert(DeniedKey(root, folded));
  else
    state_->regDenied.erase(DeniedKey(root, folded));
}

void SimMachine::SetRegBuiltinGroupAccess(const std::string& keyPath, std::uint32_t rid,
                                          const std::optional<std::uint32_t>& mask) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = ConfigKey(*state_, keyPath, true);
  if (mask)
    node->acl[rid] = *mask;
  else
    node->acl.erase(rid);
}

std::optional<std::uint32_t> SimMachine::RegBuiltinGroupAccess(const std::string& keyPath,
                                                               std::uint32_t rid) const {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = ConfigKey(*state_, keyPath, false);
  if (!node) return std::nullopt;
  auto it = node->acl.find(rid);
  return it == node->acl.end() ? std::uint32_t{0} : it->second;
}

void SimMachine::SetRegSecurityUnreadable(const std::string& keyPath, bool unreadable) {
  std::lock_guard<std::mutex> lock(state_->mu);
  ConfigKey(*state_, keyPath, true)->aclUnreadable = unreadable;
}

// --- The port ---------------------------------------------------------------------------

std::uint32_t SimMachine::RegOpenKey(RegKey root, const std::string& path, std::uint32_t access,
                                     RegKey* key) {
  std::lock_guard<std::mutex> lock(state_->mu);
  return OpenOrCreate(*state_, root, path, access, key, false);
}

std::uint32_t SimMachine::RegCreateKey(RegKey root, const std::string& path, std::uint32_t access,
                                       RegKey* key) {
  std::lock_guard<std::mutex> lock(state_->mu);
  return OpenOrCreate(*state_, root, path, access, key, true);
}

void SimMachine::RegCloseKey(RegKey key) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->regKeys.erase(key);
}

std::uint32_t SimMachine::RegQueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                        std::string* data, std::uint32_t maxData) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = nullptr;
  std::uint32_t access = 0;
  std::uint32_t error = KeyNode(*state_, key, &node, &access);
  if (!error && !(access & kKeyQueryValue)) error = kErrorAccessDenied;
  RegValueRec* value = error ? nullptr : FindValue(*state_, node, name);
  if (!error && !value) error = kErrorFileNotFound;
  if (value && type != nullptr) *type = value->type;
  if (!error && data != nullptr && value->data.size() > maxData) error = kErrorMoreData;
  if (data != nullptr) *data = error ? std::string() : value->data;
  return error;
}

std::uint32_t SimMachine::RegEnumValue(RegKey key, std::uint32_t index, std::uint32_t maxName,
                                       std::uint32_t maxData, std::string* name,
                                       std::uint32_t* type, std::string* data) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = nullptr;
  std::uint32_t access = 0;
  std::uint32_t error = KeyNode(*state_, key, &node, &access);
  if (!error && !(access & kKeyQueryValue)) error = kErrorAccessDenied;
  if (!error && index >= node->values.size()) error = kErrorNoMoreItems;
  const RegValueRec* value = error ? nullptr : &node->values[index];
  if (value && type != nullptr) *type = value->type;
  if (!error && value->name.size() + 1 > maxName) error = kErrorMoreData;
  if (!error && data != nullptr && value->data.size() > maxData) error = kErrorMoreData;
  if (name != nullptr) *name = error ? std::string() : value->name;
  if (data != nullptr) *data = error ? std::string() : value->data;
  return error;
}

std::uint32_t SimMachine::RegSetValue(RegKey key, const std::string& name, std::uint32_t type,
                                      const std::string& data) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = nullptr;
  std::uint32_t access = 0;
  if (std::uint32_t error = KeyNode(*state_, key, &node, &access)) return error;
  if (!(access & kKeySetValue)) return kErrorAccessDenied;
  // As RegSetValueExA: a string whose terminating zero was not counted (but follows it in
  // memory, as it does every std::string) gets it counted.
  bool isString = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
  if (isString && !data.empty() && data.back() != '\0')
    SetValueOn(*state_, node, name, type, data + std::string(1, '\0'));
  else
    SetValueOn(*state_, node, name, type, data);
  return 0;
}

std::uint32_t SimMachine::RegDeleteValue(RegKey key, const std::string& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = nullptr;
  std::uint32_t access = 0;
  if (std::uint32_t error = KeyNode(*state_, key, &node, &access)) return error;
  if (!(access & kKeySetValue)) return kErrorAccessDenied;
  for (auto it = node->values.begin(); it != node->values.end(); ++it) {
    if (SameNoCase(state_->codePage, it->name, name)) {
      node->values.erase(it);
      return 0;
    }
  }
  return kErrorFileNotFound;
}

std::uint32_t SimMachine::RegDeleteKey(RegKey root, const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  Target t;
  if (std::uint32_t error = Locate(s, root, path, 0, &t)) return error;
  if (t.folded.empty()) return kErrorAccessDenied;  // a predefined root
  RegNode* node = Walk(s, t.root, t.folded);
  if (!node) return kErrorFileNotFound;
  if (s.regDenied.count(DeniedKey(t.root, t.folded)) || !node->subkeys.empty())
    return kErrorAccessDenied;  // RegDeleteKey removes leaf keys only
  std::string last = t.folded.back();
  t.folded.pop_back();
  Walk(s, t.root, t.folded)->subkeys.erase(last);
  return 0;
}

bool SimMachine::RegGetBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t* mask) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = nullptr;
  std::uint32_t access = 0;
  std::uint32_t error = KeyNode(*state_, key, &node, &access);
  if (!error && (!(access & kReadControl) || node->aclUnreadable)) error = kErrorAccessDenied;
  if (error) {
    SetError(*state_, error);
    return false;
  }
  auto it = node->acl.find(rid);
  if (mask != nullptr) *mask = it == node->acl.end() ? 0 : it->second;
  return true;
}

bool SimMachine::RegGrantBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t mask) {
  std::lock_guard<std::mutex> lock(state_->mu);
  RegNode* node = nullptr;
  std::uint32_t access = 0;
  std::uint32_t error = KeyNode(*state_, key, &node, &access);
  if (!error && (!(access & kReadControl) || !(access & kWriteDac) || node->aclUnreadable))
    error = kErrorAccessDenied;
  if (error) {
    SetError(*state_, error);
    return false;
  }
  node->acl[rid] |= mask;  // GRANT_ACCESS adds to what the group had
  return true;
}

}  // namespace os

#include "cls/kelm_registry.h"

#include "fw/text.h"

namespace cls {

const std::string CKelmRegistry::m_sTessmarkKey = "SOFTWARE\\Quorvane\\Norvale Tessmark";

CKelmRegistry::CKelmRegistry(int, const char*) {}

std::string CKelmRegistry::Wow6432Node(const std::string& key) {
  const std::string software = "SOFTWARE\\";
  if (key.size() <= software.size() || !fw::EqualsNoCase(key.substr(0, software.size()), software))
    return key;
  std::string rest = key.substr(software.size());
  if (fw::EqualsNoCase(rest.substr(0, 12), "Wow6432Node\\")) return key;
  return key.substr(0, software.size()) + "Wow6432Node\\" + rest;
}

int CKelmRegistry::GetBuiltinDomainAccessMaskOnKey(os::RegKey key, std::uint32_t rid,
                                                   std::uint32_t* mask) {
  return os::sys().RegGetBuiltinGroupAccess(key, rid, mask) ? 1 : 0;
}

int CKelmRegistry::AddAccessPermissionOnRegistryKey(os::RegKey key, int /*otherView*/) {
  return os::sys().RegGrantBuiltinGroupAccess(key, kBackupOperatorsRid, os::kKeyRead) ? 1 : 0;
}

}  // namespace cls

// The product's registry root key and the access grant on it.
//
// The root key is HKEY_LOCAL_MACHINE\SOFTWARE\Quorvane\Norvale Tessmark. It holds the
// product registrations (subkey Products) and the product's restart request (DWORD
// "reboot"), both written by the product's own package.
#pragma once

#include <cstdint>
#include <string>

#include "os/system.h"

namespace cls {

class CKelmRegistry {
 public:
  // The arguments select the product line and an optional machine; the launcher always
  // uses (1, null), the local machine's key of this product.
  CKelmRegistry(int productLine, const char* machine);

  static const std::string m_sTessmarkKey;

  // The key's path in the 32-bit view of 64-bit Windows ("SOFTWARE\X" gives
  // "SOFTWARE\Wow6432Node\X"); other paths are answered unchanged.
  static std::string Wow6432Node(const std::string& key);

  // 1 when the access mask of the built-in group `rid` on the key could be read.
  static int GetBuiltinDomainAccessMaskOnKey(os::RegKey key, std::uint32_t rid,
                                             std::uint32_t* mask);
  // Grants the built-in backup operators read access on the key; 1 on success.
  // `otherView` tells that the key was opened through the other registry view.
  static int AddAccessPermissionOnRegistryKey(os::RegKey key, int otherView);

  static constexpr std::uint32_t kBackupOperatorsRid = 551;
};

}  // namespace cls

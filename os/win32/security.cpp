// Key security descriptors, token privileges and shutdown.
#include "os/win32/win32_api.h"

namespace os {

using win32::ToHkey;

namespace {

// S-1-5-32-<rid>: a built-in alias such as Administrators (544) or Backup Operators (551).
class BuiltinSid {
 public:
  explicit BuiltinSid(std::uint32_t rid) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0, 0, 0, 0, 0,
                                    &sid_)) {
      sid_ = nullptr;
    }
  }
  ~BuiltinSid() {
    if (sid_ != nullptr) ::FreeSid(sid_);
  }
  BuiltinSid(const BuiltinSid&) = delete;
  BuiltinSid& operator=(const BuiltinSid&) = delete;
  PSID get() const { return sid_; }

 private:
  PSID sid_ = nullptr;
};

// The key's access list; the descriptor that holds it is freed with LocalFree.
bool ReadKeyDacl(RegKey key, PACL* dacl, PSECURITY_DESCRIPTOR* descriptor) {
  DWORD result = ::GetSecurityInfo(ToHkey(key), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                   nullptr, dacl, nullptr, descriptor);
  if (result == ERROR_SUCCESS) return true;
  ::SetLastError(result);
  return false;
}

}  // namespace

bool Win32System::RegGetBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t* mask) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ReadKeyDacl(key, &dacl, &descriptor)) return false;
  BuiltinSid group(rid);
  std::uint32_t allowed = 0;
  if (dacl != nullptr && group.get() != nullptr) {
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* entry = nullptr;
      if (!::GetAce(dacl, i, &entry)) continue;
      auto* header = static_cast<ACE_HEADER*>(entry);
      if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
      auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
      if (::EqualSid(reinterpret_cast<PSID>(&ace->SidStart), group.get())) allowed |= ace->Mask;
    }
  }
  ::LocalFree(descriptor);
  if (mask != nullptr) *mask = allowed;
  return true;
}

bool Win32System::RegGrantBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t mask) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ReadKeyDacl(key, &dacl, &descriptor)) return false;
  BuiltinSid group(rid);
  EXPLICIT_ACCESSA entry = {};
  entry.grfAccessPermissions = mask;
  entry.grfAccessMode = GRANT_ACCESS;
  entry.grfInheritance = NO_INHERITANCE;
  entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entry.Trustee.TrusteeType = TRUSTEE_IS_ALIAS;
  entry.Trustee.ptstrName = static_cast<LPSTR>(group.get());
  PACL updated = nullptr;
  DWORD result = ::SetEntriesInAclA(1, &entry, dacl, &updated);
  if (result == ERROR_SUCCESS) {
    result = ::SetSecurityInfo(ToHkey(key), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                               nullptr, updated, nullptr);
    ::LocalFree(updated);
  }
  ::LocalFree(descriptor);
  if (result != ERROR_SUCCESS) {
    ::SetLastError(result);
    return false;
  }
  return true;
}

std::uint32_t Win32System::AdjustPrivilege(const std::string& name, bool enable) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return ::GetLastError();
  }
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  if (!::LookupPrivilegeValueA(nullptr, name.c_str(), &privileges.Privileges[0].Luid)) {
    DWORD error = ::GetLastError();
    ::CloseHandle(token);
    ::SetLastError(error);
    return error;
  }
  ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  // Success leaves ERROR_SUCCESS or ERROR_NOT_ALL_ASSIGNED behind.
  DWORD error = ::GetLastError();
  ::CloseHandle(token);
  ::SetLastError(error);
  return error;
}

// Test hook: with SETUP_TEST_NO_RESTART=1 in the environment the session is never ended;
// the request is appended as a line "restart requested flags=N" to the file named by
// SETUP_TEST_RESTART_RECORD (if any) and answered as granted. The end-to-end tests set
// both, so that a restart prompt answered Yes cannot end the machine's (or Wine's) session.
static bool RecordRestartInsteadOfExiting(std::uint32_t flags) {
  char value[8] = {};
  DWORD length = ::GetEnvironmentVariableA("SETUP_TEST_NO_RESTART", value, sizeof value);
  if (length != 1 || value[0] != '1') return false;
  char record[MAX_PATH] = {};
  length = ::GetEnvironmentVariableA("SETUP_TEST_RESTART_RECORD", record, sizeof record);
  if (length == 0 || length >= sizeof record) return true;
  HANDLE file = ::CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;
  char line[64];
  int size = wsprintfA(line, "restart requested flags=%lu\r\n", static_cast<unsigned long>(flags));
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
  ::CloseHandle(file);
  return true;
}

bool Win32System::ExitWindows(std::uint32_t flags) {
  if (RecordRestartInsteadOfExiting(flags)) return true;
  return ::ExitWindowsEx(flags, 0) != FALSE;
}

}  // namespace os

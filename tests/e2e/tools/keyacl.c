/* Prints the access entries of one account in a registry key's DACL, for the end-to-end
 * cases to see what the launcher granted:
 *   keyacl.exe <key under HKEY_LOCAL_MACHINE, 64-bit view> <account SID, e.g. S-1-5-32-551>
 * One line per entry of that account, "allow 0x00020019" or "deny 0x...", nothing when the
 * account has none. Exit code 2 when the key or its security cannot be read. */
#include <aclapi.h>
#include <sddl.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

/* Allowed and denied entries share their layout up to the SID. */
static void PrintEntry(const ACE_HEADER* header, const char* account) {
  if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
    return;
  const ACCESS_ALLOWED_ACE* ace = (const ACCESS_ALLOWED_ACE*)header;
  char* sid = NULL;
  if (!ConvertSidToStringSidA((PSID)&ace->SidStart, &sid)) return;
  if (_stricmp(sid, account) == 0)
    printf("%s 0x%08lx\n", header->AceType == ACCESS_ALLOWED_ACE_TYPE ? "allow" : "deny",
           (unsigned long)ace->Mask);
  LocalFree(sid);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: keyacl <HKLM subkey> <SID>\n");
    return 2;
  }
  HKEY key = NULL;
  LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, argv[1], 0, READ_CONTROL | KEY_WOW64_64KEY, &key);
  if (rc != ERROR_SUCCESS) {
    fprintf(stderr, "keyacl: cannot open %s (%ld)\n", argv[1], rc);
    return 2;
  }
  PACL dacl = NULL;
  PSECURITY_DESCRIPTOR descriptor = NULL;
  DWORD result = GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL, &dacl,
                                 NULL, &descriptor);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) {
    fprintf(stderr, "keyacl: cannot read the security of %s (%lu)\n", argv[1],
            (unsigned long)result);
    return 2;
  }
  for (DWORD i = 0; dacl != NULL && i < dacl->AceCount; ++i) {
    void* entry = NULL;
    if (GetAce(dacl, i, &entry)) PrintEntry((const ACE_HEADER*)entry, argv[2]);
  }
  LocalFree(descriptor);
  return 0;
}

// Small helpers of the shared-component installs: registry texts, writable file copies,
// the comparison of Ingres locations, and the removal of files that hold passwords.
#pragma once

#include <string>

#include "os/system.h"

namespace components {

// Registry places the shared-component installs read, under HKEY_LOCAL_MACHINE.
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kSystemEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kIdentityComponentKey = "SOFTWARE\\Quorvane\\Embedded KSM";
constexpr const char* kIngresInstallationKey = "SOFTWARE\\Quorvane\\Ingres\\EI_Installation";

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kLineBuffer = 520;

// Reads a registry text into `buffer` as a 260-byte buffer holds it (a longer value is
// cut); non-zero on success. On failure the buffer is left untouched.
int ReadRegistryString(os::RegKey root, const std::string& subkey, const std::string& valueName,
                       std::string* buffer);

// Copies a file and clears the copy's read-only attribute; non-zero on success.
int CopyFileWritable(const std::string& source, const std::string& target, bool failIfExists);

// Two paths equal without regard to letter case; the second byte of a double-byte
// character is compared as it is.
bool SamePathNoCase(const std::string& a, const std::string& b);

// Two paths naming the same file: full paths compared without regard to case.
bool SameFile(const std::string& a, const std::string& b);

// Deletes a file that holds a password once it is no longer needed: at Remove, or when
// the object goes (also when the process is being ended).
class ScopedSecretFile {
 public:
  explicit ScopedSecretFile(std::string path = std::string()) : path_(std::move(path)) {}
  ~ScopedSecretFile() { Remove(); }
  ScopedSecretFile(const ScopedSecretFile&) = delete;
  ScopedSecretFile& operator=(const ScopedSecretFile&) = delete;

  void Reset(std::string path) {
    Remove();
    path_ = std::move(path);
  }
  const std::string& Path() const { return path_; }
  void Remove();

 private:
  std::string path_;
};

}  // namespace components

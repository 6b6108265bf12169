#include "components/registry_files.h"

#include "fw/text.h"

namespace components {

namespace {
constexpr std::uint32_t kRegistryValueBuffer = 1024;
}  // namespace

int ReadRegistryString(os::RegKey root, const std::string& subkey, const std::string& valueName,
                       std::string* buffer) {
  os::System& sys = os::sys();
  os::RegKey key = 0;
  if (sys.RegOpenKey(root, subkey, os::kKeyQueryValue, &key) != os::kErrorSuccess) return 0;
  std::uint32_t type = 0;
  std::string data;
  if (sys.RegQueryValue(key, valueName, &type, &data, kRegistryValueBuffer) != os::kErrorSuccess) {
    sys.RegCloseKey(key);
    return 0;
  }
  std::size_t zero = data.find('\0');
  if (zero != std::string::npos) data.resize(zero);
  *buffer = fw::CutToBuffer(data, kPathBuffer);
  sys.RegCloseKey(key);
  return 1;
}

int CopyFileWritable(const std::string& source, const std::string& target, bool failIfExists) {
  os::System& sys = os::sys();
  if (!sys.CopyFile(source, target, failIfExists)) return 0;
  std::uint32_t attributes = sys.FileAttributes(target);
  if (attributes == os::kInvalidFileAttributes) return 0;
  sys.SetFileAttributes(target, attributes & ~os::kFileAttributeReadOnly);
  return 1;
}

bool SamePathNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  os::System& sys = os::sys();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (sys.IsDbcsLeadByte(static_cast<std::uint8_t>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (!fw::EqualsNoCase(std::string(1, a[i]), std::string(1, b[i]))) return false;
  }
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  os::System& sys = os::sys();
  std::string fullA, fullB;
  if (!sys.FullPathName(a, 32768, &fullA)) fullA = a;
  if (!sys.FullPathName(b, 32768, &fullB)) fullB = b;
  return fw::EqualsNoCase(fullA, fullB);
}

void ScopedSecretFile::Remove() {
  if (path_.empty()) return;
  os::sys().DeleteFile(path_);
  path_.clear();
}

}  // namespace components

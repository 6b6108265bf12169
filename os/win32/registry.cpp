// Registry keys and values. The access masks are Windows', KEY_WOW64_32KEY and
// KEY_WOW64_64KEY included, so the caller picks the 32- or 64-bit view.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

using win32::FromHkey;
using win32::ToHkey;

std::uint32_t Win32System::RegOpenKey(RegKey root, const std::string& path, std::uint32_t access,
                                      RegKey* key) {
  HKEY opened = nullptr;
  LONG result = ::RegOpenKeyExA(ToHkey(root), path.c_str(), 0, access, &opened);
  if (key != nullptr) *key = result == ERROR_SUCCESS ? FromHkey(opened) : 0;
  return static_cast<std::uint32_t>(result);
}

std::uint32_t Win32System::RegCreateKey(RegKey root, const std::string& path, std::uint32_t access,
                                        RegKey* key) {
  HKEY created = nullptr;
  LONG result = ::RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  access, nullptr, &created, nullptr);
  if (key != nullptr) *key = result == ERROR_SUCCESS ? FromHkey(created) : 0;
  return static_cast<std::uint32_t>(result);
}

void Win32System::RegCloseKey(RegKey key) {
  if (key != 0) ::RegCloseKey(ToHkey(key));
}

std::uint32_t Win32System::RegQueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                         std::string* data, std::uint32_t maxData) {
  std::vector<BYTE> buffer(maxData + 1u, 0);
  DWORD valueType = REG_NONE;
  DWORD size = maxData;
  LONG result = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType,
                                   data != nullptr ? buffer.data() : nullptr, &size);
  if (type != nullptr) *type = valueType;
  if (data != nullptr) {
    data->assign(result == ERROR_SUCCESS ? reinterpret_cast<const char*>(buffer.data()) : "",
                 result == ERROR_SUCCESS ? size : 0);
  }
  return static_cast<std::uint32_t>(result);
}

std::uint32_t Win32System::RegEnumValue(RegKey key, std::uint32_t index, std::uint32_t maxName,
                                        std::uint32_t maxData, std::string* name,
                                        std::uint32_t* type, std::string* data) {
  std::vector<char> nameBuffer(maxName + 1u, '\0');
  std::vector<BYTE> dataBuffer(maxData + 1u, 0);
  DWORD nameLength = maxName;
  DWORD size = maxData;
  DWORD valueType = REG_NONE;
  LONG result = ::RegEnumValueA(ToHkey(key), index, nameBuffer.data(), &nameLength, nullptr,
                                &valueType, dataBuffer.data(), &size);
  bool ok = result == ERROR_SUCCESS;
  if (name != nullptr) name->assign(nameBuffer.data(), ok ? nameLength : 0);
  if (type != nullptr) *type = valueType;
  if (data != nullptr) {
    data->assign(reinterpret_cast<const char*>(dataBuffer.data()), ok ? size : 0);
  }
  return static_cast<std::uint32_t>(result);
}

std::uint32_t Win32System::RegSetValue(RegKey key, const std::string& name, std::uint32_t type,
                                       const std::string& data) {
  return static_cast<std::uint32_t>(::RegSetValueExA(ToHkey(key), name.c_str(), 0, type,
                                                     reinterpret_cast<const BYTE*>(data.data()),
                                                     static_cast<DWORD>(data.size())));
}

std::uint32_t Win32System::RegDeleteValue(RegKey key, const std::string& name) {
  return static_cast<std::uint32_t>(::RegDeleteValueA(ToHkey(key), name.c_str()));
}

std::uint32_t Win32System::RegDeleteKey(RegKey root, const std::string& path) {
  return static_cast<std::uint32_t>(::RegDeleteKeyA(ToHkey(root), path.c_str()));
}

}  // namespace os

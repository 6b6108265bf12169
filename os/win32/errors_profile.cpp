// Last error, system messages, the error mode and private-profile (INI) reads.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

Win32System& Win32() {
  static Win32System port;
  return port;
}

std::uint32_t Win32System::LastError() { return ::GetLastError(); }

void Win32System::SetLastError(std::uint32_t code) { ::SetLastError(code); }

std::optional<std::string> Win32System::SystemMessage(std::uint32_t code, std::size_t maxChars) {
  char* text = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return std::nullopt;
  std::string message(text, length);
  ::LocalFree(text);
  if (message.size() > maxChars) message.resize(maxChars);
  return message;
}

std::uint32_t Win32System::SetErrorMode(std::uint32_t mode) { return ::SetErrorMode(mode); }

std::string Win32System::ProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& defaultValue,
                                       std::size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::vector<char> buffer(bufferSize, '\0');
  DWORD length =
      ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(bufferSize), file.c_str());
  return std::string(buffer.data(), length);
}

std::int32_t Win32System::ProfileInt(const std::string& file, const std::string& section,
                                     const std::string& key, std::int32_t defaultValue) {
  return static_cast<std::int32_t>(
      ::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

}  // namespace os

// Environment variables of the process and the broadcast that tells others they changed.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

std::optional<std::string> Win32System::GetEnvironmentVariable(const std::string& name) {
  std::vector<char> buffer(256, '\0');
  for (;;) {
    // A variable with an empty value answers 0 as well; only the error tells them apart.
    ::SetLastError(ERROR_SUCCESS);
    DWORD length =
        ::GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.assign(length, '\0');  // the length needed, its terminating zero included
  }
}

bool Win32System::SetEnvironmentVariable(const std::string& name,
                                         const std::optional<std::string>& value) {
  return ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr) != FALSE;
}

std::string Win32System::ExpandEnvironmentStrings(const std::string& text, std::size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::vector<char> buffer(bufferSize + 1, '\0');
  DWORD needed =
      ::ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(bufferSize));
  if (needed == 0) return std::string();
  if (needed <= bufferSize) return std::string(buffer.data());
  // Too long for the buffer: the whole expansion, cut as the buffer would hold it.
  std::vector<char> whole(needed + 1, '\0');
  ::ExpandEnvironmentStringsA(text.c_str(), whole.data(), needed);
  return std::string(whole.data()).substr(0, bufferSize - 1);
}

void Win32System::BroadcastEnvironmentChange(std::uint32_t timeoutMs) {
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>("Environment"), SMTO_ABORTIFHUNG, timeoutMs,
                        &ignored);
}

}  // namespace os

// Mailslots: the status messages between the launcher and its monitor.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

using win32::FromWin;
using win32::ToWin;

Handle Win32System::CreateMailslot(const std::string& name, std::uint32_t maxMessage) {
  HANDLE slot = ::CreateMailslotA(name.c_str(), maxMessage, 0, nullptr);
  return slot == INVALID_HANDLE_VALUE ? 0 : FromWin(slot);
}

bool Win32System::ReadMailslot(Handle slot, std::uint32_t timeoutMs, std::string* message) {
  HANDLE handle = ToWin(slot);
  // The read time-out is a property of the slot; ReadFile waits that long for a message.
  if (!::SetMailslotInfo(handle, timeoutMs)) return false;
  DWORD maxMessage = 0;
  if (!::GetMailslotInfo(handle, &maxMessage, nullptr, nullptr, nullptr)) return false;
  std::vector<char> buffer(maxMessage != 0 ? maxMessage : 65536, '\0');
  DWORD read = 0;
  if (!::ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
    return false;
  }
  if (message != nullptr) message->assign(buffer.data(), read);
  return true;
}

bool Win32System::WriteMailslot(const std::string& path, const std::string& message) {
  HANDLE slot = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (slot == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok =
      ::WriteFile(slot, message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
  DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
  ::CloseHandle(slot);
  if (!ok) ::SetLastError(error);
  return ok != FALSE;
}

}  // namespace os

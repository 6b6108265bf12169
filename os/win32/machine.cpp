// Facts about the machine: version, language, code page, metrics, names, network drives,
// and the clock.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

OsVersion Win32System::Version() {
  OsVersion version;
  OSVERSIONINFOA basic = {};
  basic.dwOSVersionInfoSize = sizeof basic;
  if (::GetVersionExA(&basic)) {
    version.major = basic.dwMajorVersion;
    version.minor = basic.dwMinorVersion;
    version.build = basic.dwBuildNumber;
    version.platformId = basic.dwPlatformId;
    version.csdVersion = basic.szCSDVersion;
  }
  // Old systems reject the larger record; then there are no service-pack numbers.
  OSVERSIONINFOEXA extended = {};
  extended.dwOSVersionInfoSize = sizeof extended;
  if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
    version.servicePackMajor = extended.wServicePackMajor;
    version.servicePackMinor = extended.wServicePackMinor;
  } else {
    version.extendedQueryWorks = false;
  }
  return version;
}

std::uint16_t Win32System::SystemDefaultLangId() { return ::GetSystemDefaultLangID(); }

std::uint32_t Win32System::AnsiCodePage() { return ::GetACP(); }

bool Win32System::IsDbcsLeadByte(std::uint8_t byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

int Win32System::SystemMetric(int index) { return ::GetSystemMetrics(index); }

std::optional<std::string> Win32System::ComputerName(std::size_t bufferSize) {
  std::vector<char> buffer(bufferSize + 1, '\0');
  DWORD size = static_cast<DWORD>(bufferSize);
  if (!::GetComputerNameA(buffer.data(), &size)) return std::nullopt;
  return std::string(buffer.data(), size);
}

std::optional<std::string> Win32System::HostName(std::size_t bufferSize) {
  using StartupFn = int(WSAAPI*)(WORD, WSADATA*);
  using HostNameFn = int(WSAAPI*)(char*, int);
  using CleanupFn = int(WSAAPI*)();
  auto startup = win32::SystemFunction<StartupFn>("ws2_32.dll", "WSAStartup");
  auto hostName = win32::SystemFunction<HostNameFn>("ws2_32.dll", "gethostname");
  auto cleanup = win32::SystemFunction<CleanupFn>("ws2_32.dll", "WSACleanup");
  if (startup == nullptr || hostName == nullptr || cleanup == nullptr) return std::nullopt;
  WSADATA data;
  if (startup(MAKEWORD(2, 2), &data) != 0) return std::nullopt;
  std::vector<char> buffer(bufferSize + 1, '\0');
  int result = hostName(buffer.data(), static_cast<int>(bufferSize));
  cleanup();
  if (result != 0) return std::nullopt;
  return std::string(buffer.data());
}

bool Win32System::EnumDiskConnections(std::size_t bufferBytes, std::vector<NetConnection>* out) {
  HANDLE enumeration = nullptr;
  if (::WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, nullptr, &enumeration) !=
      NO_ERROR) {
    return false;
  }
  // Whole 8-byte words keep the records aligned.
  std::vector<std::uint64_t> buffer((bufferBytes + 7) / 8, 0);
  DWORD count = 0xFFFFFFFF;
  DWORD size = static_cast<DWORD>(bufferBytes);
  DWORD result = ::WNetEnumResourceA(enumeration, &count, buffer.data(), &size);
  ::WNetCloseEnum(enumeration);
  if (result == ERROR_NO_MORE_ITEMS) {
    if (out != nullptr) out->clear();
    return true;
  }
  if (result != NO_ERROR) return false;
  if (out != nullptr) {
    out->clear();
    const auto* resources = reinterpret_cast<const NETRESOURCEA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      NetConnection connection;
      if (resources[i].lpLocalName != nullptr) connection.localName = resources[i].lpLocalName;
      if (resources[i].lpRemoteName != nullptr) connection.remoteName = resources[i].lpRemoteName;
      out->push_back(connection);
    }
  }
  return true;
}

std::uint32_t Win32System::TickCount() { return ::GetTickCount(); }

void Win32System::Sleep(std::uint32_t ms) { ::Sleep(ms); }

LocalTime Win32System::LocalTimeNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  return time;
}

}  // namespace os

// Files, folders, file handles, version resources and the standard folders.
#include <vector>

#include "os/win32/win32_api.h"

namespace os {

using win32::FromWin;
using win32::ToWin;

namespace {

// Answers the text that `get(buffer, size)` writes, growing the buffer while the call
// answers a length that does not fit (as the Get...Directory functions do).
template <typename Get>
std::string GrowingString(Get get) {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (;;) {
    DWORD length = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.assign(length + 1, '\0');
  }
}

}  // namespace

std::uint32_t Win32System::FileAttributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool Win32System::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Win32System::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32System::DeleteFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32System::CreateDirectory(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32System::FullPathName(const std::string& path, std::size_t bufferSize, std::string* full) {
  std::vector<char> buffer(bufferSize + 1, '\0');
  DWORD length =
      ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(bufferSize), buffer.data(), nullptr);
  if (length == 0 || length >= bufferSize) return false;
  if (full != nullptr) full->assign(buffer.data(), length);
  return true;
}

std::string Win32System::CurrentDirectory() {
  return GrowingString(
      [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
}

bool Win32System::SetCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

Handle Win32System::OpenFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                             std::uint32_t disposition) {
  HANDLE file = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? 0 : FromWin(file);
}

bool Win32System::ReadFile(Handle file, std::size_t maxBytes, std::string* data) {
  std::vector<char> buffer(maxBytes + 1, '\0');
  DWORD read = 0;
  if (!::ReadFile(ToWin(file), buffer.data(), static_cast<DWORD>(maxBytes), &read, nullptr)) {
    return false;
  }
  if (data != nullptr) data->assign(buffer.data(), read);
  return true;
}

bool Win32System::WriteFile(Handle file, const std::string& data) {
  DWORD written = 0;
  return ::WriteFile(ToWin(file), data.data(), static_cast<DWORD>(data.size()), &written,
                     nullptr) != FALSE &&
         written == data.size();
}

std::int64_t Win32System::SeekFile(Handle file, std::int64_t offset, int origin) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  if (!::SetFilePointerEx(ToWin(file), distance, &position, static_cast<DWORD>(origin))) return -1;
  return position.QuadPart;
}

std::int64_t Win32System::FileSize(Handle file) {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(ToWin(file), &size)) return -1;
  return size.QuadPart;
}

std::optional<FileVersion> Win32System::FileVersionOf(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> block(size, '\0');
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) ||
      info == nullptr || infoSize < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  FileVersion version;
  version.major = HIWORD(info->dwFileVersionMS);
  version.minor = LOWORD(info->dwFileVersionMS);
  version.build = HIWORD(info->dwFileVersionLS);
  version.revision = LOWORD(info->dwFileVersionLS);
  return version;
}

std::string Win32System::TempPath() {
  return GrowingString([](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); });
}

std::string Win32System::WindowsDirectory() {
  return GrowingString(
      [](char* buffer, DWORD size) { return ::GetWindowsDirectoryA(buffer, size); });
}

std::string Win32System::SystemDirectory() {
  return GrowingString(
      [](char* buffer, DWORD size) { return ::GetSystemDirectoryA(buffer, size); });
}

std::string Win32System::ModuleFileName() {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    // A cut name fills the whole buffer.
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.assign(buffer.size() * 2, '\0');
  }
}

}  // namespace os

// Loading libraries and finding their exports.
#include <string>

#include "os/win32/win32_api.h"

namespace os::win32 {

FARPROC SystemLibraryProc(const char* library, const char* name) {
  char folder[MAX_PATH];
  UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return nullptr;
  // Loaded by full path, never from the medium's folder; it stays loaded, as an import would.
  HMODULE module = ::LoadLibraryA((std::string(folder) + "\\" + library).c_str());
  return module != nullptr ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace os::win32

namespace os {

using win32::FromWin;

namespace {
HMODULE ToModule(Handle library) { return reinterpret_cast<HMODULE>(library); }
}  // namespace

Handle Win32System::LoadLibrary(const std::string& path) {
  return FromWin(::LoadLibraryA(path.c_str()));
}

Handle Win32System::LoadLibraryAlteredSearchPath(const std::string& path) {
  // The library's own folder is searched for the libraries it needs in turn.
  return FromWin(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void* Win32System::GetProcAddress(Handle library, const std::string& name) {
  return reinterpret_cast<void*>(::GetProcAddress(ToModule(library), name.c_str()));
}

bool Win32System::FreeLibrary(Handle library) { return ::FreeLibrary(ToModule(library)) != FALSE; }

Handle Win32System::ModuleHandle() { return FromWin(::GetModuleHandleA(nullptr)); }

}  // namespace os

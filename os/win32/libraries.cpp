// Loading libraries and finding their exports.
#include "os/win32/win32_api.h"

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

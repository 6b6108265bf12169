// The Windows headers as the port's sources see them, plus the conversions between the
// port's opaque numbers and Win32 handles. Only os/win32/*.cpp include this.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
// winsock2.h must come first.
#include <windows.h>
// The other Windows headers the port uses, before their macros are removed.
#include <aclapi.h>
#include <shellapi.h>
#include <winnetwk.h>

#include "os/win32/win32_system.h"

namespace os::win32 {

inline HANDLE ToWin(Handle h) { return reinterpret_cast<HANDLE>(h); }
inline Handle FromWin(HANDLE h) { return reinterpret_cast<Handle>(h); }

// The predefined roots are 32-bit values that Windows sign-extends on 64-bit targets.
inline HKEY ToHkey(RegKey key) {
  if (key >= 0x80000000u && key <= 0x8000000Fu) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
  }
  return reinterpret_cast<HKEY>(key);
}
inline RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// A function of a Windows DLL that only rare paths need (shell32, ws2_32): the DLL is
// loaded from the system folder on first use, so that a start does not pay for it. Null
// when the DLL or the function is missing.
FARPROC SystemLibraryProc(const char* library, const char* name);

template <typename Function>
Function SystemFunction(const char* library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemLibraryProc(library, name)));
}

}  // namespace os::win32

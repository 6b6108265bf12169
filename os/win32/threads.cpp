// Threads, waits, synchronisation objects, the message loop and message boxes.
#include <memory>

#include "os/win32/win32_api.h"

namespace os {

using win32::FromWin;
using win32::ToWin;

namespace {

DWORD WINAPI RunThreadBody(void* parameter) {
  std::unique_ptr<std::function<std::uint32_t()>> body(
      static_cast<std::function<std::uint32_t()>*>(parameter));
  return (*body)();
}

}  // namespace

std::uint32_t Win32System::WaitForSingleObject(Handle object, std::uint32_t timeoutMs) {
  return ::WaitForSingleObject(ToWin(object), timeoutMs);
}

std::uint32_t Win32System::MsgWaitForSingleObject(Handle object, std::uint32_t timeoutMs) {
  HANDLE handle = ToWin(object);
  return ::MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs, QS_ALLINPUT);
}

void Win32System::PumpPendingMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

bool Win32System::CloseHandle(Handle object) { return ::CloseHandle(ToWin(object)) != FALSE; }

Handle Win32System::StartThread(std::function<std::uint32_t()> body, int priority) {
  auto* owned = new std::function<std::uint32_t()>(std::move(body));
  DWORD threadId = 0;
  HANDLE thread = ::CreateThread(nullptr, 0, RunThreadBody, owned, 0, &threadId);
  if (thread == nullptr) {
    delete owned;
    return 0;
  }
  ::SetThreadPriority(thread, priority);
  return FromWin(thread);
}

std::uint32_t Win32System::CurrentThreadId() { return ::GetCurrentThreadId(); }

Handle Win32System::CreateMutex(const std::string& name, bool initialOwner) {
  return FromWin(
      ::CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name.empty() ? nullptr : name.c_str()));
}

Handle Win32System::CreateEvent(bool manualReset, bool initialState) {
  return FromWin(
      ::CreateEventA(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, nullptr));
}

bool Win32System::SetEvent(Handle event) { return ::SetEvent(ToWin(event)) != FALSE; }

int Win32System::MessageBox(Handle owner, const std::string& text, const std::string& caption,
                            std::uint32_t flags) {
  return ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), flags);
}

int Win32System::RunMessageLoop() {
  MSG message;
  for (;;) {
    BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);  // WM_QUIT
    if (got == -1) return -1;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

void Win32System::PostQuitMessage(int code) { ::PostQuitMessage(code); }

bool Win32System::PostThreadMessage(std::uint32_t threadId, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) {
  return ::PostThreadMessageA(threadId, message, wParam, lParam) != FALSE;
}

}  // namespace os

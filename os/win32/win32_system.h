// The port of the product: every call of os::System answered by the Win32 API (the ANSI
// functions). This header does not include windows.h, so the entry point and other code
// outside os/ can install the port without seeing the Windows headers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Before os/system.h: a file that included windows.h first must not see its macros.
#include "os/win32/windows_names.h"
// (keep this order)
#include "os/system.h"

namespace os {

class Win32System : public System {
 public:
  std::uint32_t LastError() override;
  void SetLastError(std::uint32_t code) override;
  std::optional<std::string> SystemMessage(std::uint32_t code, std::size_t maxChars) override;
  std::uint32_t SetErrorMode(std::uint32_t mode) override;
  std::string ProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& defaultValue,
                            std::size_t bufferSize) override;
  std::int32_t ProfileInt(const std::string& file, const std::string& section,
                          const std::string& key, std::int32_t defaultValue) override;
  std::uint32_t RegOpenKey(RegKey root, const std::string& path, std::uint32_t access,
                           RegKey* key) override;
  std::uint32_t RegCreateKey(RegKey root, const std::string& path, std::uint32_t access,
                             RegKey* key) override;
  void RegCloseKey(RegKey key) override;
  std::uint32_t RegQueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                              std::string* data, std::uint32_t maxData) override;
  std::uint32_t RegEnumValue(RegKey key, std::uint32_t index, std::uint32_t maxName,
                             std::uint32_t maxData, std::string* name, std::uint32_t* type,
                             std::string* data) override;
  std::uint32_t RegSetValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::string& data) override;
  std::uint32_t RegDeleteValue(RegKey key, const std::string& name) override;
  std::uint32_t RegDeleteKey(RegKey root, const std::string& path) override;
  bool RegGetBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t* mask) override;
  bool RegGrantBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t mask) override;
  std::uint32_t FileAttributes(const std::string& path) override;
  bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  bool DeleteFile(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool FullPathName(const std::string& path, std::size_t bufferSize, std::string* full) override;
  std::string CurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  Handle OpenFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                  std::uint32_t disposition) override;
  bool ReadFile(Handle file, std::size_t maxBytes, std::string* data) override;
  bool WriteFile(Handle file, const std::string& data) override;
  std::int64_t SeekFile(Handle file, std::int64_t offset, int origin) override;
  std::int64_t FileSize(Handle file) override;
  std::string TempPath() override;
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  std::string ModuleFileName() override;
  std::optional<std::string> GetEnvironmentVariable(const std::string& name) override;
  bool SetEnvironmentVariable(const std::string& name,
                              const std::optional<std::string>& value) override;
  std::string ExpandEnvironmentStrings(const std::string& text, std::size_t bufferSize) override;
  void BroadcastEnvironmentChange(std::uint32_t timeoutMs) override;
  bool CreateProcess(const ProcessStart& start, ProcessInfo* info) override;
  bool ShellExecute(const std::string& file, const std::string& parameters,
                    const std::string& directory, int show, Handle* process) override;
  bool GetExitCodeProcess(Handle process, std::uint32_t* code) override;
  std::uint32_t WaitForSingleObject(Handle object, std::uint32_t timeoutMs) override;
  std::uint32_t MsgWaitForSingleObject(Handle object, std::uint32_t timeoutMs) override;
  void PumpPendingMessages() override;
  bool CloseHandle(Handle object) override;
  [[noreturn]] void ExitProcess(std::uint32_t code) override;
  Handle StartThread(std::function<std::uint32_t()> body, int priority) override;
  std::uint32_t CurrentThreadId() override;
  Handle CreateMutex(const std::string& name, bool initialOwner) override;
  Handle CreateEvent(bool manualReset, bool initialState) override;
  bool SetEvent(Handle event) override;
  int MessageBox(Handle owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;
  int RunMessageLoop() override;
  void PostQuitMessage(int code) override;
  bool PostThreadMessage(std::uint32_t threadId, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) override;
  Handle CreateMainWindow(const MainWindowSpec& shape, MainWindowEvents* events) override;
  void PaintWindowNow(Handle window) override;
  bool PostWindowMessage(Handle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) override;
  bool DestroyWindow(Handle window) override;
  // The dialogs of the program's resources and the dialog font (os/win32/dialogs.cpp).
  int RunLanguageDialog(const LanguageDialogSpec& shape, int* selectedIndex) override;
  int RunDatabaseDialog(const DatabaseDialogSpec& shape, int* checkedRadio) override;
  Handle ShowWaitBox(const std::string& message, Handle font) override;
  Handle CreateFontIndirect(const LogFontSpec& font) override;
  Handle StockFont(int index) override;
  bool DeleteObject(Handle object) override;
  OsVersion Version() override;
  std::uint16_t SystemDefaultLangId() override;
  std::uint32_t AnsiCodePage() override;
  bool IsDbcsLeadByte(std::uint8_t byte) override;
  int SystemMetric(int index) override;
  std::optional<std::string> ComputerName(std::size_t bufferSize) override;
  std::optional<std::string> HostName(std::size_t bufferSize) override;
  bool EnumDiskConnections(std::size_t bufferBytes, std::vector<NetConnection>* out) override;
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t ms) override;
  std::uint32_t AdjustPrivilege(const std::string& name, bool enable) override;
  bool ExitWindows(std::uint32_t flags) override;
  Handle LoadLibrary(const std::string& path) override;
  Handle LoadLibraryAlteredSearchPath(const std::string& path) override;
  void* GetProcAddress(Handle library, const std::string& name) override;
  bool FreeLibrary(Handle library) override;
  Handle ModuleHandle() override;
  Handle CreateMailslot(const std::string& name, std::uint32_t maxMessage) override;
  bool ReadMailslot(Handle slot, std::uint32_t timeoutMs, std::string* message) override;
  bool WriteMailslot(const std::string& path, const std::string& message) override;

  std::optional<FileVersion> FileVersionOf(const std::string& path) override;
  LocalTime LocalTimeNow() override;
};

// The process's one Win32 port; WinMain installs it with SetSystem(&Win32()).
Win32System& Win32();

}  // namespace os

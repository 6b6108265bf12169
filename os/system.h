// The one door to the operating system. Every system call of the launcher goes through
// this interface; Win32System (the product) and SimMachine (the tests) implement it.
//
// Texts are 8-bit strings in the ANSI code page, as the launcher's own texts are.
// Handles are opaque numbers, 0 meaning none. Calls that fail on Windows fail here too,
// set the thread's last error (LastError) and answer false, 0 or an error code as stated.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "os/constants.h"

namespace os {

using Handle = std::uintptr_t;
using RegKey = std::uintptr_t;

// The predefined registry root that the launcher uses.
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = kPlatformNt;
  std::string csdVersion;  // "Service Pack 6", empty without one
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  bool extendedQueryWorks = true;  // the query with the service-pack record answers
};

struct ProcessStart {
  std::string applicationName;         // empty: the program is the command line's first word
  std::string commandLine;
  std::optional<std::string> workDir;  // none: the caller's current directory
  bool inheritHandles = false;
  std::uint32_t creationFlags = 0;
};

struct ProcessInfo {
  Handle process = 0;
  Handle thread = 0;
  std::uint32_t processId = 0;
};

struct NetConnection {
  std::optional<std::string> localName;   // "X:" for a mapped drive
  std::optional<std::string> remoteName;  // "\\server\share"
};

struct FileVersion {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
};

struct LocalTime {
  std::uint32_t year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The launcher's main window: what it shows, and the launcher's side of its messages.
struct MainWindowSpec {
  std::string caption;
  std::string bitmapPath;  // picture file, loaded scaled to a maximized window's client size
  std::string titleLine1;  // the product title, drawn over the picture
  std::string titleLine2;
};

class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  // Asked on every paint: whether the title is drawn over the picture.
  virtual bool TitleWanted() = 0;
  // A private message (kWmUser and above) posted to the window.
  virtual void OnUserMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // The window is gone; the launcher's window object may delete itself.
  virtual void OnDestroyed() = 0;
};

// The launcher's dialogs (templates 100 and 107 of its resources): what they show. The
// launcher's logic decides the texts, the list and the initial choice; the port only shows
// the template, sets and reads its controls and answers the user's choice.
struct LanguageDialogSpec {
  std::string caption;             // the dialog's caption
  std::string prompt;              // static text 1112
  std::string okText;              // button IDOK
  std::string cancelText;          // button IDCANCEL
  std::vector<std::string> items;  // combo box 1109, in list order (appended, never sorted)
  int initialSelection = -1;       // the item selected at first; -1: none
  bool acceptAtOnce = false;       // ends with IDOK at once, as if OK had been pressed
};

struct DatabaseDialogSpec {
  std::string caption;
  std::string sqlText;      // radio button 1113 (SAP on SQL Server)
  std::string oracleText;   // radio button 1114 (SAP on Oracle)
  int checkedRadio = 1113;  // the radio button checked at first (the other is cleared)
};

// Stock fonts (GetStockObject).
constexpr int kAnsiVarFont = 12;
constexpr int kSystemFont = 13;

// A logical font, as the fields of LOGFONTA.
struct LogFontSpec {
  std::int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  bool italic = false, underline = false, strikeOut = false;
  std::uint8_t charSet = 0, outPrecision = 0, clipPrecision = 0, quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::string faceName;  // bytes in the ANSI code page (Shift-JIS for a Japanese face)
};

class System {
 public:
  virtual ~System() = default;

  // --- Errors -----------------------------------------------------------------------
  virtual std::uint32_t LastError() = 0;
  virtual void SetLastError(std::uint32_t code) = 0;
  // The system message table's text for a code (no inserts, the user's default
  // language), cut to maxChars; nullopt when the system has no text for it.
  virtual std::optional<std::string> SystemMessage(std::uint32_t code, std::size_t maxChars) = 0;
  virtual std::uint32_t SetErrorMode(std::uint32_t mode) = 0;

  // --- Private-profile (INI) files ----------------------------------------------------
  // As GetPrivateProfileString with a buffer of bufferSize bytes: the result is cut to
  // bufferSize - 1 bytes.
  virtual std::string ProfileString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& defaultValue,
                                    std::size_t bufferSize) = 0;
  // As GetPrivateProfileInt; the result is the UINT that Windows answers, as a signed number.
  virtual std::int32_t ProfileInt(const std::string& file, const std::string& section,
                                  const std::string& key, std::int32_t defaultValue) = 0;

  // --- Registry -----------------------------------------------------------------------
  // Results are Windows error codes (0 = success).
  virtual std::uint32_t RegOpenKey(RegKey root, const std::string& path, std::uint32_t access,
                                   RegKey* key) = 0;
  virtual std::uint32_t RegCreateKey(RegKey root, const std::string& path, std::uint32_t access,
                                     RegKey* key) = 0;
  virtual void RegCloseKey(RegKey key) = 0;
  // Reads at most maxData bytes; a larger value answers kErrorMoreData.
  virtual std::uint32_t RegQueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                      std::string* data, std::uint32_t maxData) = 0;
  // Value by index; maxName counts the name's characters with its terminating zero.
  virtual std::uint32_t RegEnumValue(RegKey key, std::uint32_t index, std::uint32_t maxName,
                                     std::uint32_t maxData, std::string* name,
                                     std::uint32_t* type, std::string* data) = 0;
  virtual std::uint32_t RegSetValue(RegKey key, const std::string& name, std::uint32_t type,
                                    const std::string& data) = 0;
  virtual std::uint32_t RegDeleteValue(RegKey key, const std::string& name) = 0;
  virtual std::uint32_t RegDeleteKey(RegKey root, const std::string& path) = 0;
  // Access mask that the key's security descriptor allows the built-in group with
  // relative id `rid` (551: backup operators). False when the descriptor cannot be read.
  virtual bool RegGetBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t* mask) = 0;
  // Adds an entry that allows `mask` to that group, keeping the other entries.
  virtual bool RegGrantBuiltinGroupAccess(RegKey key, std::uint32_t rid, std::uint32_t mask) = 0;

  // --- Files and folders --------------------------------------------------------------
  virtual std::uint32_t FileAttributes(const std::string& path) = 0;  // kInvalidFileAttributes
  virtual bool SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
  virtual bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual bool CreateDirectory(const std::string& path) = 0;
  // As GetFullPathName with a buffer of bufferSize bytes; false when the path does not fit.
  virtual bool FullPathName(const std::string& path, std::size_t bufferSize, std::string* full) = 0;
  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;

  // As CreateFile; 0 on failure.
  virtual Handle OpenFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition) = 0;
  virtual bool ReadFile(Handle file, std::size_t maxBytes, std::string* data) = 0;
  virtual bool WriteFile(Handle file, const std::string& data) = 0;
  // Moves the file pointer: origin 0 begin, 1 current, 2 end. Answers the new position
  // or -1.
  virtual std::int64_t SeekFile(Handle file, std::int64_t offset, int origin) = 0;
  virtual std::int64_t FileSize(Handle file) = 0;
  // The file version from a program's or library's version resource.
  virtual std::optional<FileVersion> FileVersionOf(const std::string& /*path*/) {
    return std::nullopt;
  }

  // --- Standard folders and the program itself ---------------------------------------
  virtual std::string TempPath() = 0;  // as GetTempPath: ends with a backslash
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  virtual std::string ModuleFileName() = 0;  // full path of the running program

  // --- Environment --------------------------------------------------------------------
  virtual std::optional<std::string> GetEnvironmentVariable(const std::string& name) = 0;
  virtual bool SetEnvironmentVariable(const std::string& name,
                                      const std::optional<std::string>& value) = 0;
  virtual std::string ExpandEnvironmentStrings(const std::string& text, std::size_t bufferSize) = 0;
  virtual void BroadcastEnvironmentChange(std::uint32_t timeoutMs) = 0;

  // --- Processes, threads, waits ------------------------------------------------------
  virtual bool CreateProcess(const ProcessStart& start, ProcessInfo* info) = 0;
  // As ShellExecuteEx with "open", hidden console, the process handle kept.
  virtual bool ShellExecute(const std::string& file, const std::string& parameters,
                            const std::string& directory, int show, Handle* process) = 0;
  virtual bool GetExitCodeProcess(Handle process, std::uint32_t* code) = 0;
  virtual std::uint32_t WaitForSingleObject(Handle object, std::uint32_t timeoutMs) = 0;
  // Waits for the object or for input to the calling thread: kWaitObject0 when the object
  // is signalled, kWaitObject0 + 1 when a message arrived, kWaitTimeout or kWaitFailed.
  virtual std::uint32_t MsgWaitForSingleObject(Handle object, std::uint32_t timeoutMs) = 0;
  // Removes, translates and dispatches every pending message of the calling thread.
  virtual void PumpPendingMessages() = 0;
  virtual bool CloseHandle(Handle object) = 0;
  [[noreturn]] virtual void ExitProcess(std::uint32_t code) = 0;

  // A thread that runs `body`; its exit code is what body answers. 0 on failure.
  virtual Handle StartThread(std::function<std::uint32_t()> body, int priority) = 0;
  virtual std::uint32_t CurrentThreadId() = 0;

  // A named mutex (name empty: unnamed); LastError is kErrorAlreadyExists when it existed.
  virtual Handle CreateMutex(const std::string& name, bool initialOwner) = 0;
  virtual Handle CreateEvent(bool manualReset, bool initialState) = 0;
  virtual bool SetEvent(Handle event) = 0;

  // --- Messages and message boxes ----------------------------------------------------
  virtual int MessageBox(Handle owner, const std::string& text, const std::string& caption,
                         std::uint32_t flags) = 0;
  // Runs the calling thread's message loop until a quit message; answers its code.
  virtual int RunMessageLoop() = 0;
  virtual void PostQuitMessage(int code) = 0;
  virtual bool PostThreadMessage(std::uint32_t threadId, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam) = 0;

  // --- Windows -----------------------------------------------------------------------
  // The main window, created minimized and hidden at once; 0 when it cannot be created.
  virtual Handle CreateMainWindow(const MainWindowSpec& /*shape*/, MainWindowEvents* /*events*/) {
    return 0;
  }
  // Paints the window at once (the paint message is sent, not posted).
  virtual void PaintWindowNow(Handle /*window*/) {}
  virtual bool PostWindowMessage(Handle /*window*/, std::uint32_t /*message*/,
                                 std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {
    return false;
  }
  virtual bool DestroyWindow(Handle /*window*/) { return false; }

  // --- Dialogs and fonts ---------------------------------------------------------------
  // Template 100, modal, without a parent window. Answers kIdOk or kIdCancel (also for the
  // system menu's close); after kIdOk *selectedIndex is the selected list item (-1: none).
  virtual int RunLanguageDialog(const LanguageDialogSpec& /*shape*/, int* /*selectedIndex*/) {
    return kIdCancel;
  }
  // Template 107, modal, without a parent window. Answers kIdOk or kIdCancel; after kIdOk
  // *checkedRadio is the id of the checked radio button (1113 or 1114; 0: neither).
  virtual int RunDatabaseDialog(const DatabaseDialogSpec& /*shape*/, int* /*checkedRadio*/) {
    return kIdCancel;
  }
  // The wait box (template 105): modeless, owned by the desktop window and shown at once
  // in the middle of the screen, on the calling thread (whose message pump serves it),
  // its text control showing `message` in `font` (0: the template's font). Answers its
  // window handle (0 when it cannot be made); DestroyWindow removes it.
  virtual Handle ShowWaitBox(const std::string& /*message*/, Handle /*font*/) { return 0; }
  // As CreateFontIndirect; 0 when the font cannot be created.
  virtual Handle CreateFontIndirect(const LogFontSpec& /*font*/) { return 0; }
  // As GetStockObject for a stock font (kSystemFont, kAnsiVarFont, ...).
  virtual Handle StockFont(int /*index*/) { return 0; }
  // As DeleteObject (a stock object stays and the call succeeds).
  virtual bool DeleteObject(Handle /*object*/) { return false; }

  // --- Machine facts ------------------------------------------------------------------
  virtual OsVersion Version() = 0;
  virtual std::uint16_t SystemDefaultLangId() = 0;
  virtual std::uint32_t AnsiCodePage() = 0;
  virtual bool IsDbcsLeadByte(std::uint8_t byte) = 0;
  virtual int SystemMetric(int index) = 0;
  // As GetComputerName with a buffer of bufferSize characters.
  virtual std::optional<std::string> ComputerName(std::size_t bufferSize) = 0;
  // As gethostname after WSAStartup(2.2); nullopt when either fails.
  virtual std::optional<std::string> HostName(std::size_t bufferSize) = 0;
  // The connected disk resources, asked in one call with a buffer of bufferBytes;
  // false when the enumeration cannot be opened or the call fails.
  virtual bool EnumDiskConnections(std::size_t bufferBytes, std::vector<NetConnection>* out) = 0;

  // --- Time ---------------------------------------------------------------------------
  virtual std::uint32_t TickCount() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
  // The wall-clock time of day, for time stamps in logs.
  virtual LocalTime LocalTimeNow() { return LocalTime(); }

  // --- Privileges and shutdown --------------------------------------------------------
  // Enables or disables one privilege of the process token; answers the last error
  // afterwards (0 when it was adjusted).
  virtual std::uint32_t AdjustPrivilege(const std::string& name, bool enable) = 0;
  virtual bool ExitWindows(std::uint32_t flags) = 0;

  // --- Libraries ----------------------------------------------------------------------
  virtual Handle LoadLibrary(const std::string& path) = 0;
  virtual Handle LoadLibraryAlteredSearchPath(const std::string& path) = 0;
  virtual void* GetProcAddress(Handle library, const std::string& name) = 0;
  virtual bool FreeLibrary(Handle library) = 0;
  virtual Handle ModuleHandle() = 0;  // the running program's instance handle

  // --- Mailslots ----------------------------------------------------------------------
  virtual Handle CreateMailslot(const std::string& name, std::uint32_t maxMessage) = 0;
  // Next message, waiting at most timeoutMs; false on time-out or failure.
  virtual bool ReadMailslot(Handle slot, std::uint32_t timeoutMs, std::string* message) = 0;
  // Opens `path` (\\host\mailslot\name), writes one message and closes it; never waits.
  virtual bool WriteMailslot(const std::string& path, const std::string& message) = 0;
};

// The implementation in use. The product installs the Win32 one at start; a test installs
// a simulated machine for its duration.
System& sys();
void SetSystem(System* system);
System* CurrentSystem();  // null before one is installed

}  // namespace os

// A simulated Windows machine: the port of the native tests. Registry, files, programs,
// message boxes, mailslots, mutexes and the clock all live in memory; the clock is
// virtual, so Sleep and timed waits return at once after advancing it.
//
// A test configures the machine (version, processor, language, files, registry, programs
// and their exit codes, answers to message boxes), runs launcher code against it and then
// reads back what happened (programs started, boxes shown, status messages, files).
//
// Threads and the clock: the clock moves only while every participating thread waits on
// the machine (Sleep, a timed wait, a wait for a process, RunMessageLoop...); it then
// jumps to the earliest time a wait is due. The participants are the thread that made the
// machine and the threads of StartThread while they run. With one thread, Sleep(ms) and
// timed waits simply advance the clock and return at once; a heartbeat thread that waits
// 10 s on a stop event beats once per 10 virtual seconds that the others spend waiting.
// Waits on threads and the message loop block for real. See os/sim/sim_sync.cpp.
//
// The recorded lists (Launches, MessageBoxes, MailslotMessages, LibraryEvents) are
// references into the machine: read them while no other thread of the machine runs.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "os/system.h"

namespace os {

class SimMachine;

// How a program was started; what a simulated program receives.
struct SimLaunch {
  std::string programPath;  // the resolved full path of the program file
  std::string commandLine;
  std::string workDir;  // the folder the process started in
  std::map<std::string, std::string> environment;
  bool inheritHandles = false;
  std::uint32_t creationFlags = 0;
  bool viaShellExecute = false;
  std::string parameters;  // ShellExecute only
  int show = 0;            // ShellExecute only
};

// A program answers its exit code; it may act on the machine (write a registry value,
// a file) while it "runs". It runs when it is started; its process is signalled once
// the virtual clock has passed its run time.
using SimProgram = std::function<std::uint32_t(SimMachine&, const SimLaunch&)>;

struct SimMessageBox {
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
  Handle owner = 0;
  int answer = 0;
};

struct SimMailslotMessage {
  std::string path;  // as written, e.g. \\.\mailslot\status
  std::string data;
  std::uint64_t atMs = 0;  // virtual time when it was written
};

// The launcher's main window as the machine saw it.
struct SimWindow {
  Handle handle = 0;
  MainWindowSpec shape;
  bool destroyed = false;
  int paints = 0;       // PaintWindowNow calls
  int titlePaints = 0;  // of which the title was wanted
  std::vector<std::uint32_t> userMessages;  // private messages dispatched to it, in order
};

// A dialog of the launcher as the machine showed it: the template, what the launcher
// asked it to show, and its answer.
struct SimDialog {
  int templateId = 0;             // 100 (language) or 107 (database)
  LanguageDialogSpec language;    // template 100
  DatabaseDialogSpec database;    // template 107
  int answer = 0;                 // kIdOk or kIdCancel
  int selection = -1;             // the list item (100) or the checked radio id (107)
  bool waited = false;            // false when it accepted at once without the user
};

// A scripted answer to the next dialog that waits for the user. selection: the list item
// (template 100) or the radio button's id (template 107) in place when the user ends the
// dialog; none keeps the initial one.
struct SimDialogAnswer {
  int answer = kIdOk;
  std::optional<int> selection;
};

// A wait box as the machine showed it.
struct SimWaitBox {
  Handle handle = 0;
  std::string message;
  Handle font = 0;
  std::uint32_t thread = 0;  // the thread that showed it (only it may destroy it)
  bool destroyed = false;
};

// A font object: created from a logical font, or a stock font.
struct SimFont {
  Handle handle = 0;
  std::optional<LogFontSpec> logical;  // none for a stock font
  int stockIndex = -1;
  bool deleted = false;
};

// Thrown by ExitProcess so that a test can see the code of a process that ended itself.
struct SimProcessExit {
  std::uint32_t code;
};

class SimMachine : public System {
 public:
  SimMachine();
  ~SimMachine() override;

  // --- Configuration -------------------------------------------------------------------
  // Defaults: Windows XP SP2 32-bit (NT 5.1), language 1033, code page 1252, program
  // D:\setup.exe, Windows C:\WINDOWS, system C:\WINDOWS\system32, TEMP C:\TEMP\, current
  // directory C:\, computer name "SIMPC", host name "simpc".
  void SetVersion(const OsVersion& version);
  // Makes the machine 64-bit Windows (ProgramFilesDir (x86) is set) and the running
  // program 32-bit, so its HKLM\SOFTWARE reads go to SOFTWARE\Wow6432Node unless asked
  // for the 64-bit view.
  void Set64BitWindows(bool on);
  void SetProcessorIdentifier(const std::string& identifier);  // CentralProcessor\0
  void SetSystemLanguage(std::uint16_t langId);
  void SetCodePage(std::uint32_t codePage);  // 1252 or 932 (Shift-JIS lead bytes)
  void SetModuleFileName(const std::string& path);
  void SetTempPath(const std::string& path);  // returned as given
  void SetWindowsDirectory(const std::string& path);
  void SetSystemDirectory(const std::string& path);
  void SetComputerName(const std::optional<std::string>& name);
  void SetHostName(const std::optional<std::string>& name);
  void SetNetConnections(const std::vector<NetConnection>& connections, bool enumWorks = true);
  void SetSystemMessage(std::uint32_t code, const std::optional<std::string>& text);
  void SetSystemMetric(int index, int value);
  // The wall-clock time at virtual time 0; LocalTimeNow adds the virtual clock to it.
  void SetLocalTime(const LocalTime& time);
  // A privilege the process token lacks: AdjustPrivilege answers ERROR_NOT_ALL_ASSIGNED.
  void SetPrivilegeAvailable(const std::string& name, bool available);

  // Files and folders (parent folders are made as needed).
  void WriteFileText(const std::string& path, const std::string& content);
  std::optional<std::string> ReadFileText(const std::string& path) const;
  void MakeDirectory(const std::string& path);
  bool Exists(const std::string& path) const;
  // The version resource of a file (made if missing); nullopt: none.
  void SetFileVersion(const std::string& path, const std::optional<FileVersion>& version);

  // Registry, under HKEY_LOCAL_MACHINE by full key path as seen by a 64-bit program
  // (so a 32-bit program's SOFTWARE\X is SOFTWARE\Wow6432Node\X here).
  void SetRegString(const std::string& keyPath, const std::string& name,
                    const std::string& value);
  void SetRegDword(const std::string& keyPath, const std::string& name, std::uint32_t value);
  void SetRegValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                   const std::string& data);
  void MakeRegKey(const std::string& keyPath);
  void DeleteRegKeyTree(const std::string& keyPath);
  std::optional<std::string> RegValueData(const std::string& keyPath,
                                          const std::string& name) const;
  bool RegKeyExists(const std::string& keyPath) const;
  void SetRegAccessDenied(const std::string& keyPath, bool denied);  // opens fail
  // The key paths above may name HKEY_CURRENT_USER in front ("HKCU\Software\X");
  // without a root they are under HKEY_LOCAL_MACHINE.
  // A key's ACL entry for a built-in group (rid 544 administrators, 545 users, 547 power
  // users, 551 backup operators); nullopt removes it. New keys copy their parent's entries.
  void SetRegBuiltinGroupAccess(const std::string& keyPath, std::uint32_t rid,
                                const std::optional<std::uint32_t>& mask);
  std::optional<std::uint32_t> RegBuiltinGroupAccess(const std::string& keyPath,
                                                     std::uint32_t rid) const;
  void SetRegSecurityUnreadable(const std::string& keyPath, bool unreadable);

  // Programs, by full path of their file (the file is made too).
  void RegisterProgram(const std::string& path, SimProgram program, std::uint32_t runMs = 0);
  void RegisterProgramExitCode(const std::string& path, std::uint32_t exitCode,
                               std::uint32_t runMs = 0);
  const std::vector<SimLaunch>& Launches() const;

  // Libraries, by full path: the named exports answer pointers to the given functions.
  void RegisterLibrary(const std::string& path, const std::map<std::string, void*>& exports);
  void SetLibraryLoadError(const std::string& path, std::uint32_t error);
  const std::vector<std::string>& LibraryEvents() const;  // "load <path>", "free <path>"

  // Message boxes are answered from this queue; when it is empty the answer is IDOK for
  // an OK box, IDNO for a Yes/No box and IDCANCEL for OK/Cancel.
  void QueueMessageBoxAnswer(int answer);
  const std::vector<SimMessageBox>& MessageBoxes() const;

  // Dialogs (templates 100 and 107) answer from this queue; a dialog that accepts at once
  // takes no answer. When the queue is empty the answer is IDOK with the initial choice.
  void QueueDialogAnswer(int answer, std::optional<int> selection = std::nullopt);
  void QueueDialogAnswer(const SimDialogAnswer& answer);
  std::vector<SimDialog> Dialogs() const;
  // Wait boxes shown so far; SetWaitBoxFails makes ShowWaitBox answer 0.
  std::vector<SimWaitBox> WaitBoxes() const;
  void SetWaitBoxFails(bool fails);
  // Fonts made so far (stock fonts once each, when first asked for); SetFontCreationFails
  // makes CreateFontIndirect answer 0.
  std::vector<SimFont> Fonts() const;
  void SetFontCreationFails(bool fails);

  const std::vector<SimMailslotMessage>& MailslotMessages() const;
  void ClearMailslotMessages();
  // Main windows made so far; SetMainWindowFails makes CreateMainWindow answer 0.
  std::vector<SimWindow> Windows() const;
  void SetMainWindowFails(bool fails);
  // Another process holds this mutex; ReleaseMutexElsewhere: it let it go and closed it.
  void HoldMutexElsewhere(const std::string& name);
  void ReleaseMutexElsewhere(const std::string& name);
  std::vector<std::uint32_t> ExitWindowsRequests() const;
  std::vector<std::string> PrivilegeChanges() const;  // "+SeShutdownPrivilege", "-..."
  int EnvironmentBroadcasts() const;

  std::uint64_t NowMs() const;  // the virtual clock
  void AdvanceClock(std::uint64_t ms);  // as Sleep(ms), for any length
  // Whether the calling thread holds the clock back while it runs (see above). A test
  // that runs the launcher on a std::thread of its own and joins it for real opts out.
  void SetClockParticipant(bool participates);
  // The code of the first ExitProcess call (which throws SimProcessExit; in a thread of
  // StartThread the throw ends the thread with that code).
  std::optional<std::uint32_t> ExitProcessCode() const;

  // --- System ---------------------------------------------------------------------------
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
  std::optional<FileVersion> FileVersionOf(const std::string& path) override;
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
  LocalTime LocalTimeNow() override;
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

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Installs a simulated machine as the port for the life of the object.
class ScopedSimMachine {
 public:
  ScopedSimMachine();
  ~ScopedSimMachine();
  SimMachine& operator*() { return *machine_; }
  SimMachine* operator->() { return machine_.get(); }

 private:
  std::unique_ptr<SimMachine> machine_;
  System* previous_;
};

}  // namespace os

// The simulated machine's state and the helpers its parts share. Private to os/sim.
//
// Locking: one mutex guards the whole machine. Every public method of SimMachine takes it;
// the helpers declared here expect the caller to hold it ("locked" in their comments).
// No user code (a simulated program, a thread body) ever runs with the lock held.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "os/sim/sim_machine.h"

namespace os {
namespace sim {

constexpr std::uint64_t kNever = ~std::uint64_t{0};

// Windows error codes that os/constants.h does not name.
enum : std::uint32_t {
  kErrSharingViolation = 32,
  kErrBadNetPath = 53,
  kErrBufferOverflow = 111,
  kErrSemTimeout = 121,
  kErrNegativeSeek = 131,
  kErrBadExeFormat = 193,
  kErrEnvVarNotFound = 203,
  kErrDirectory = 267,
  kErrMrMidNotFound = 317,
  kErrKeyDeleted = 1018,
  kErrNoAssociation = 1155,
  kErrInvalidThreadId = 1444,
};

// --- Text -----------------------------------------------------------------------------
// Lead byte of a double-byte character in the code page (932, 936, 949, 950).
bool IsLeadByte(std::uint32_t codePage, unsigned char byte);
// Length of the character that starts at text[i]: 2 for a complete double-byte one.
std::size_t CharLength(std::uint32_t codePage, const std::string& text, std::size_t i);
// ASCII letters folded to lower case; trail bytes of double-byte characters are left.
std::string Fold(std::uint32_t codePage, const std::string& text);
bool SameNoCase(std::uint32_t codePage, const std::string& a, const std::string& b);
// The text as a buffer of bufferSize bytes holds it: at most bufferSize - 1 bytes.
std::string CutToBuffer(const std::string& text, std::size_t bufferSize);
// UTF-16 (little or big endian, no BOM) to the code page; '?' for what it cannot hold.
std::string Utf16ToCodePage(const std::string& bytes, bool bigEndian, std::uint32_t codePage);

// --- Objects --------------------------------------------------------------------------
struct ProgramDef {
  SimProgram program;
  std::uint32_t runMs = 0;
};

using Exports = std::map<std::string, void*>;

// A file or folder. A program or library registered at a path lives in its file, so a
// copy of the file is the same program and deleting the file deletes the program.
struct FileNode {
  std::string path;  // full path as created (its case kept)
  bool directory = false;
  std::uint32_t attributes = 0;
  std::string data;
  std::optional<FileVersion> version;
  std::shared_ptr<const ProgramDef> program;
  std::shared_ptr<const Exports> exports;
};

struct OpenFileRec {
  std::shared_ptr<FileNode> node;
  std::uint32_t access = 0;  // kGenericRead / kGenericWrite after mapping
  std::uint32_t share = 0;
  std::int64_t position = 0;
};

struct RegValueRec {
  std::string name;
  std::uint32_t type = kRegNone;
  std::string data;
};

struct RegNode {
  std::string name;
  std::map<std::string, std::unique_ptr<RegNode>> subkeys;  // by folded name
  std::vector<RegValueRec> values;                          // in creation order
  std::map<std::uint32_t, std::uint32_t> acl;               // built-in group rid -> mask
  bool aclUnreadable = false;
};

struct OpenRegKeyRec {
  int root = 0;                   // 0 HKEY_LOCAL_MACHINE, 1 HKEY_CURRENT_USER
  std::vector<std::string> path;  // folded component names, as stored (64-bit view)
  std::uint32_t access = 0;
};

struct Waiter;

struct PostedMessage {
  Handle window = 0;  // 0: a thread message
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

struct ThreadRec {
  std::uint32_t id = 0;
  bool participant = false;  // holds the clock back while it runs
  bool started = false;      // made by StartThread
  bool finished = false;
  std::uint32_t exitCode = kStillActive;
  std::uint32_t lastError = 0;
  Waiter* waiter = nullptr;  // the wait it is in, if any
  std::deque<PostedMessage> queue;
  std::optional<int> quit;  // PostQuitMessage's code, until retrieved
  std::thread thread;
};

// One thread's pending wait. `poll` runs with the lock held, in whichever thread changes
// the machine; it answers the wait's result once satisfied (and may consume, as an
// auto-reset event's wait does).
struct Waiter {
  std::function<std::optional<std::uint32_t>()> poll;
  std::uint64_t deadline = kNever;  // virtual time of the time-out
  std::uint64_t wakeAt = kNever;    // virtual time when poll turns true by time alone
  std::uint32_t timeoutResult = kWaitTimeout;
  std::optional<std::uint32_t> result;
  ThreadRec* thread = nullptr;
  std::uint64_t realWaitStart = 0;
};

struct WindowRec {
  SimWindow info;
  MainWindowEvents* events = nullptr;
  std::uint32_t thread = 0;  // the thread that made it, whose queue it uses
};

struct ProcessRec {
  std::uint32_t pid = 0;
  std::uint64_t endAt = 0;
  std::uint32_t exitCode = 0;
};

struct EventRec {
  bool manualReset = false;
  bool signalled = false;
};

struct MutexRec {
  std::string key;  // empty: unnamed
  int handles = 0;
  bool heldElsewhere = false;
  std::uint32_t owner = 0;  // thread id
  int recursion = 0;
  bool abandoned = false;
};

struct MailslotRec {
  std::string key;
  std::uint32_t maxMessage = 0;
  std::deque<std::string> messages;
};

struct LibraryRec {
  std::string path;
  std::string key;
  std::shared_ptr<const Exports> exports;
  int refs = 0;
};

enum class Kind { kProcess, kProcessThread, kThread, kEvent, kMutex, kFile, kMailslot };

struct HandleRec {
  Kind kind = Kind::kEvent;
  std::shared_ptr<ProcessRec> process;
  std::shared_ptr<ThreadRec> thread;
  std::shared_ptr<EventRec> event;
  std::shared_ptr<MutexRec> mutex;
  std::shared_ptr<OpenFileRec> file;
  std::shared_ptr<MailslotRec> mailslot;
};

struct EnvEntry {
  std::string name;  // as set
  std::string value;
};

// --- The state ------------------------------------------------------------------------
struct SimState {
  SimMachine* machine = nullptr;
  mutable std::mutex mu;
  std::condition_variable cv;
  bool shuttingDown = false;

  // Machine facts.
  OsVersion version;
  bool is64Bit = false;
  std::string processorIdentifier = "x86 Family 6 Model 15 Stepping 6";
  std::uint16_t langId = kLangEnglishUs;
  std::uint32_t codePage = 1252;
  std::string moduleFileName = "D:\\setup.exe";
  std::string tempPath = "C:\\TEMP\\";
  std::string windowsDir = "C:\\WINDOWS";
  std::string systemDir = "C:\\WINDOWS\\system32";
  std::optional<std::string> computerName = std::string("SIMPC");
  std::optional<std::string> hostName = std::string("simpc");
  std::vector<NetConnection> netConnections;
  bool netEnumWorks = true;
  std::map<std::uint32_t, std::optional<std::string>> systemMessages;  // overrides
  std::map<int, int> metrics;                                          // overrides
  std::uint32_t errorMode = 0;
  LocalTime localTimeBase;  // at virtual time 0

  // Files.
  std::map<std::string, std::shared_ptr<FileNode>> files;  // by folded full path
  std::string currentDir = "C:\\";

  // Environment, by folded name.
  std::map<std::string, EnvEntry> env;

  // Registry.
  RegNode hklm, hkcu;
  std::set<std::string> regDenied;  // folded "0\SOFTWARE\X" (root digit, 64-bit view)
  std::map<RegKey, OpenRegKeyRec> regKeys;
  std::map<std::string, std::string> derivedRegistry;  // what the machine last derived
  RegKey nextRegKey = 0x1000;

  // Programs and libraries (registered in their files).
  std::vector<SimLaunch> launches;
  std::map<std::string, std::uint32_t> libraryLoadErrors;  // by file key
  std::map<Handle, LibraryRec> loaded;
  std::vector<std::string> libraryEvents;
  Handle nextLibrary = 0x10000000;

  // Message boxes, mailslots, mutexes.
  std::deque<int> boxAnswers;
  std::vector<SimMessageBox> boxes;
  std::vector<SimMailslotMessage> mailslotMessages;
  std::map<std::string, std::shared_ptr<MailslotRec>> mailslots;  // by folded name
  std::map<std::string, std::shared_ptr<MutexRec>> mutexes;       // by name (case kept)
  std::map<Handle, WindowRec> windows;
  Handle nextWindow = 0x20010;
  bool mainWindowFails = false;

  // Dialogs, wait boxes and fonts (sim_dialogs.cpp).
  std::deque<SimDialogAnswer> dialogAnswers;
  std::vector<SimDialog> dialogs;
  std::vector<SimWaitBox> waitBoxes;
  bool waitBoxFails = false;
  std::vector<SimFont> fonts;
  bool fontCreationFails = false;
  Handle nextGdiObject = 0x01A0000;

  // Clock, threads, waits, handles.
  std::uint64_t now = 0;
  std::vector<std::shared_ptr<ThreadRec>> threads;
  std::map<std::thread::id, ThreadRec*> threadById;
  std::list<Waiter*> waiters;
  std::uint32_t nextThreadId = 0x100;
  std::uint32_t nextProcessId = 0x400;
  std::map<Handle, HandleRec> handles;
  Handle nextHandle = 0x40;

  // What the launcher asked for.
  std::vector<std::uint32_t> exitWindows;
  std::vector<std::string> privilegeChanges;
  std::set<std::string> missingPrivileges;  // folded names
  int envBroadcasts = 0;
  std::optional<std::uint32_t> exitProcessCode;
};

// --- Threads and errors (locked) ------------------------------------------------------
// The calling thread's record, made on first sight (not a clock participant then).
ThreadRec& Self(SimState& s);
void SetError(SimState& s, std::uint32_t code);
Handle NewHandle(SimState& s, HandleRec rec);
HandleRec* FindHandle(SimState& s, Handle h);

// --- Waits (locked) -------------------------------------------------------------------
// Waits until poll answers, or the virtual clock reaches `deadline` (answers
// timeoutResult). wakeAt: when poll turns true by the clock alone (a process's end).
std::uint32_t Block(SimState& s, std::unique_lock<std::mutex>& lock,
                    std::function<std::optional<std::uint32_t>()> poll, std::uint64_t deadline,
                    std::uint32_t timeoutResult, std::uint64_t wakeAt = kNever);
// Re-evaluates every wait after a change, advancing the clock while every participating
// thread waits.
void Settle(SimState& s);
std::uint64_t DeadlineAfter(const SimState& s, std::uint32_t timeoutMs);

// --- Windows (locked) ------------------------------------------------------------------
// Dispatches a window message (the lock is released while the window's code runs).
void DispatchToWindow(SimState& s, std::unique_lock<std::mutex>& lock, const PostedMessage& m);

// Destroys the wait box `window` when it is one (error set when it is gone or belongs to
// another thread); false when the handle is no wait box.
bool DestroyWaitBox(SimState& s, Handle window, bool* destroyed);

// --- Paths and files (locked) ---------------------------------------------------------
// GetFullPathName's result; false (and *error) for an empty path.
bool NormalizePath(const SimState& s, const std::string& path, std::string* full,
                   std::uint32_t* error);
// Length of the root of a full path: "C:\" 3, "\\server\share\" up to the share's end.
std::size_t RootLength(std::uint32_t codePage, const std::string& full);
// A full path without trailing backslashes (a drive root keeps its one).
std::string Canonical(std::uint32_t codePage, const std::string& full);
std::optional<std::string> ParentPath(std::uint32_t codePage, const std::string& full);
std::string LastComponent(std::uint32_t codePage, const std::string& path);
// Checks the characters of the path's components; 0 or kErrorInvalidName.
std::uint32_t CheckPathCharacters(std::uint32_t codePage, const std::string& full);
std::string FileKey(const SimState& s, const std::string& full);
std::shared_ptr<FileNode> FindNode(const SimState& s, const std::string& full);
// The error for a missing `full`: file not found when its folder exists.
std::uint32_t MissingError(const SimState& s, const std::string& full);
// Resolves a path given to a call: full path or error (invalid name, ...).
bool ResolveForCall(SimState& s, const std::string& path, std::string* full);
// Makes the folder and its parents (configuration).
std::shared_ptr<FileNode> MakeDirectories(SimState& s, const std::string& full);
std::shared_ptr<FileNode> PutFile(SimState& s, const std::string& full, const std::string& data);
// The file that a program or library registered by a test lives in, made when missing
// (configuration: a path that is no path is the test's mistake and throws).
std::shared_ptr<FileNode> ExecutableFile(SimState& s, const std::string& path);
// A name with no folder part, searched; with one, made full. Answers the full path of an
// existing file or nullopt (error set).
std::optional<std::string> SearchFile(SimState& s, const std::string& name,
                                      const std::string& defaultExtension, bool dllOrder,
                                      std::uint32_t* error);
std::string FolderOf(const std::string& path);

// --- Environment (locked) -------------------------------------------------------------
std::optional<std::string> GetEnv(const SimState& s, const std::string& name);
void SetEnv(SimState& s, const std::string& name, const std::optional<std::string>& value);
// Sets `name` to `value` when it still holds `previous` (or is missing).
void UpdateDerivedEnv(SimState& s, const std::string& name, const std::string& previous,
                      const std::optional<std::string>& value);

// --- Registry (locked) ----------------------------------------------------------------
void InitRegistry(SimState& s);
void ApplyDerivedRegistry(SimState& s);
void ConfigSetValue(SimState& s, const std::string& keyPath, const std::string& name,
                    std::uint32_t type, const std::string& data);

}  // namespace sim

struct SimMachine::State : sim::SimState {};

}  // namespace os

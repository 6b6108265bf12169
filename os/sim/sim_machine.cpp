// The simulated machine as a whole: its defaults, its configuration, the facts it answers
// (version, language, code page, metrics, names, network drives, folders, local time),
// system messages, message boxes, privileges and shutdown requests.
//
// Defaults: Windows XP SP2 32-bit, language 1033, code page 1252, the program
// D:\setup.exe; folders C:\WINDOWS, C:\WINDOWS\system32 (and System), C:\TEMP,
// C:\Program Files (and Common Files) and D:\; the environment a fresh XP session has.
#include <stdexcept>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

constexpr const char* kX86Files = "C:\\Program Files (x86)";

std::string DefaultPath(const std::string& system, const std::string& windows) {
  return system + ";" + windows + ";" + system + "\\Wbem";
}

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string FullOrThrow(const SimState& s, const std::string& path) {
  std::string full;
  std::uint32_t error = 0;
  if (!NormalizePath(s, path, &full, &error))
    throw std::invalid_argument("SimMachine: not a path: \"" + path + "\"");
  return Canonical(s.codePage, full);
}

// Windows' English system messages, in a wording of our own.
const std::map<std::uint32_t, std::string>& BuiltinMessages() {
  static const std::map<std::uint32_t, std::string> messages = {
      {0, "The operation succeeded."},
      {1, "The function is not valid."},
      {2, "The file cannot be found."},
      {3, "The path cannot be found."},
      {5, "Access was denied."},
      {6, "The handle is not valid."},
      {8, "There is not enough memory for this operation."},
      {32, "Another process is using the file."},
      {80, "The file is already there."},
      {87, "A parameter is wrong."},
      {112, "The disk is full."},
      {126, "The module cannot be found."},
      {183, "The file or object already exists."},
      {193, "The file is not a valid program."},
      {1223, "The user canceled the operation."},
      {1602, "The user canceled the installation."},
      {1603, "The installation failed with a fatal error."},
      {1618, "Another installation is running; finish it before starting this one."},
      {1619, "The installation package cannot be opened."},
      {1638, "Another version of this product is installed."},
      {1641, "The installer has started a restart to complete the installation."},
      {3010, "The operation succeeded; a restart is needed to complete it."},
  };
  return messages;
}

bool IsKnownPrivilege(std::uint32_t codePage, const std::string& name) {
  static const char* const kNames[] = {"SeAssignPrimaryTokenPrivilege",
                                       "SeAuditPrivilege",
                                       "SeBackupPrivilege",
                                       "SeChangeNotifyPrivilege",
                                       "SeCreateGlobalPrivilege",
                                       "SeCreatePagefilePrivilege",
                                       "SeCreatePermanentPrivilege",
                                       "SeCreateTokenPrivilege",
                                       "SeDebugPrivilege",
                                       "SeImpersonatePrivilege",
                                       "SeIncreaseBasePriorityPrivilege",
                                       "SeIncreaseQuotaPrivilege",
                                       "SeLoadDriverPrivilege",
                                       "SeLockMemoryPrivilege",
                                       "SeMachineAccountPrivilege",
                                       "SeManageVolumePrivilege",
                                       "SeProfileSingleProcessPrivilege",
                                       "SeRemoteShutdownPrivilege",
                                       "SeRestorePrivilege",
                                       "SeSecurityPrivilege",
                                       "SeShutdownPrivilege",
                                       "SeSystemEnvironmentPrivilege",
                                       "SeSystemProfilePrivilege",
                                       "SeSystemtimePrivilege",
                                       "SeTakeOwnershipPrivilege",
                                       "SeTcbPrivilege",
                                       "SeUndockPrivilege"};
  for (const char* known : kNames)
    if (SameNoCase(codePage, name, known)) return true;
  return false;
}

bool IsLeapYear(std::uint32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::uint32_t DaysIn(std::uint32_t year, std::uint32_t month) {
  static const std::uint32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[(month - 1) % 12];
}

}  // namespace

// --- Life -------------------------------------------------------------------------------

SimMachine::SimMachine() : state_(std::make_unique<State>()) {
  SimState& s = *state_;
  std::lock_guard<std::mutex> lock(s.mu);
  s.machine = this;
  s.version.major = 5;
  s.version.minor = 1;
  s.version.build = 2600;
  s.version.platformId = kPlatformNt;
  s.version.csdVersion = "Service Pack 2";
  s.version.servicePackMajor = 2;
  Self(s).participant = true;  // the thread that made the machine

  for (const char* folder : {"C:\\", "C:\\WINDOWS\\system32", "C:\\WINDOWS\\System", "C:\\TEMP",
                             "C:\\Program Files\\Common Files", "D:\\"})
    MakeDirectories(s, folder);
  PutFile(s, s.moduleFileName, "MZ");

  const std::pair<const char*, std::string> env[] = {
      {"ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users"},
      {"APPDATA", "C:\\Documents and Settings\\Administrator\\Application Data"},
      {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
      {"COMPUTERNAME", *s.computerName},
      {"ComSpec", s.systemDir + "\\cmd.exe"},
      {"NUMBER_OF_PROCESSORS", "1"},
      {"OS", "Windows_NT"},
      {"Path", DefaultPath(s.systemDir, s.windowsDir)},
      {"PATHEXT", ".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH"},
      {"PROCESSOR_ARCHITECTURE", "x86"},
      {"PROCESSOR_IDENTIFIER", s.processorIdentifier + ", GenuineIntel"},
      {"ProgramFiles", "C:\\Program Files"},
      {"SystemDrive", "C:"},
      {"SystemRoot", s.windowsDir},
      {"TEMP", "C:\\TEMP"},
      {"TMP", "C:\\TEMP"},
      {"USERNAME", "Administrator"},
      {"USERPROFILE", "C:\\Documents and Settings\\Administrator"},
      {"windir", s.windowsDir},
  };
  for (const auto& entry : env) SetEnv(s, entry.first, entry.second);
  InitRegistry(s);
}

SimMachine::~SimMachine() {
  std::vector<std::shared_ptr<ThreadRec>> threads;
  {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->shuttingDown = true;  // every wait returns WAIT_FAILED from now on
    Settle(*state_);
    threads = state_->threads;
  }
  for (const auto& t : threads)
    if (t->thread.joinable() && t->thread.get_id() != std::this_thread::get_id()) t->thread.join();
}

ScopedSimMachine::ScopedSimMachine()
    : machine_(std::make_unique<SimMachine>()), previous_(CurrentSystem()) {
  SetSystem(machine_.get());
}

ScopedSimMachine::~ScopedSimMachine() {
  machine_.reset();  // joins the machine's threads while it is still the port
  SetSystem(previous_);
}

// --- Configuration ----------------------------------------------------------------------

void SimMachine::SetVersion(const OsVersion& version) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->version = version;
  ApplyDerivedRegistry(*state_);
}

void SimMachine::Set64BitWindows(bool on) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  bool was = s.is64Bit;
  s.is64Bit = on;
  const std::string x86 = kX86Files, common = "C:\\Program Files\\Common Files";
  const std::string x86Common = x86 + "\\Common Files";
  // What a 32-bit program sees on 64-bit Windows.
  const std::pair<const char*, std::pair<std::string, std::string>> vars[] = {
      {"ProgramFiles", {"C:\\Program Files", x86}},
      {"CommonProgramFiles", {common, x86Common}},
      {"ProgramFiles(x86)", {"", x86}},
      {"CommonProgramFiles(x86)", {"", x86Common}},
      {"ProgramW6432", {"", "C:\\Program Files"}},
      {"CommonProgramW6432", {"", common}},
      {"PROCESSOR_ARCHITEW6432", {"", "AMD64"}},
  };
  if (on && !was) {
    MakeDirectories(s, x86Common);
    for (const auto& v : vars) UpdateDerivedEnv(s, v.first, v.second.first, v.second.second);
  } else if (!on && was) {
    for (const auto& v : vars) {
      std::optional<std::string> back;
      if (!v.second.first.empty()) back = v.second.first;
      UpdateDerivedEnv(s, v.first, v.second.second, back);
    }
    s.hklm.subkeys["software"]->subkeys.erase("wow6432node");
  }
  ApplyDerivedRegistry(s);
}

void SimMachine::SetProcessorIdentifier(const std::string& identifier) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  UpdateDerivedEnv(s, "PROCESSOR_IDENTIFIER", s.processorIdentifier + ", GenuineIntel",
                   identifier + ", GenuineIntel");
  s.processorIdentifier = identifier;
  ApplyDerivedRegistry(s);
}

void SimMachine::SetSystemLanguage(std::uint16_t langId) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->langId = langId;
  ApplyDerivedRegistry(*state_);
}

void SimMachine::SetCodePage(std::uint32_t codePage) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  s.codePage = codePage;
  // Case folding depends on the code page's double-byte characters: key the files anew.
  std::map<std::string, std::shared_ptr<FileNode>> files;
  for (const auto& entry : s.files) files[FileKey(s, entry.second->path)] = entry.second;
  s.files.swap(files);
  ApplyDerivedRegistry(s);
}

void SimMachine::SetModuleFileName(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  s.moduleFileName = FullOrThrow(s, path);
  if (!FindNode(s, s.moduleFileName)) PutFile(s, s.moduleFileName, "MZ");
}

void SimMachine::SetTempPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  for (const char* name : {"TEMP", "TMP"})
    UpdateDerivedEnv(s, name, WithoutTrailingBackslash(s.tempPath), WithoutTrailingBackslash(path));
  s.tempPath = path;  // answered as given; the folder is not made
}

void SimMachine::SetWindowsDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string folder = FullOrThrow(s, path);
  MakeDirectories(s, folder);
  UpdateDerivedEnv(s, "SystemRoot", s.windowsDir, folder);
  UpdateDerivedEnv(s, "windir", s.windowsDir, folder);
  UpdateDerivedEnv(s, "Path", DefaultPath(s.systemDir, s.windowsDir),
                   DefaultPath(s.systemDir, folder));
  s.windowsDir = folder;
  ApplyDerivedRegistry(s);
}

void SimMachine::SetSystemDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string folder = FullOrThrow(s, path);
  MakeDirectories(s, folder);
  UpdateDerivedEnv(s, "ComSpec", s.systemDir + "\\cmd.exe", folder + "\\cmd.exe");
  UpdateDerivedEnv(s, "Path", DefaultPath(s.systemDir, s.windowsDir),
                   DefaultPath(folder, s.windowsDir));
  s.systemDir = folder;
}

void SimMachine::SetComputerName(const std::optional<std::string>& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  UpdateDerivedEnv(s, "COMPUTERNAME", s.computerName.value_or(""), name);
  s.computerName = name;
}

void SimMachine::SetHostName(const std::optional<std::string>& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->hostName = name;
}

void SimMachine::SetNetConnections(const std::vector<NetConnection>& connections, bool enumWorks) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->netConnections = connections;
  state_->netEnumWorks = enumWorks;
}

void SimMachine::SetSystemMessage(std::uint32_t code, const std::optional<std::string>& text) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->systemMessages[code] = text;
}

void SimMachine::SetSystemMetric(int index, int value) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->metrics[index] = value;
}

void SimMachine::SetLocalTime(const LocalTime& time) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->localTimeBase = time;
}

void SimMachine::SetPrivilegeAvailable(const std::string& name, bool available) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::string key = Fold(state_->codePage, name);
  if (available)
    state_->missingPrivileges.erase(key);
  else
    state_->missingPrivileges.insert(key);
}

// --- Message boxes, requests and what was recorded ---------------------------------------

void SimMachine::QueueMessageBoxAnswer(int answer) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->boxAnswers.push_back(answer);
}

const std::vector<SimMessageBox>& SimMachine::MessageBoxes() const { return state_->boxes; }

std::vector<std::uint32_t> SimMachine::ExitWindowsRequests() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->exitWindows;
}

std::vector<std::string> SimMachine::PrivilegeChanges() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->privilegeChanges;
}

int SimMachine::MessageBox(Handle owner, const std::string& text, const std::string& caption,
                           std::uint32_t flags) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  int answer = 0;
  if (!s.boxAnswers.empty()) {
    answer = s.boxAnswers.front();
    s.boxAnswers.pop_front();
  } else {
    switch (flags & 0xF) {
      case kMbOk:
        answer = kIdOk;
        break;
      case 2:
        answer = 3;
        break;  // abort/retry/ignore: IDABORT
      case kMbYesNo:
        answer = kIdNo;
        break;
      default:
        answer = kIdCancel;  // OK/Cancel, Yes/No/Cancel, Retry/Cancel, ...
    }
  }
  s.boxes.push_back(SimMessageBox{text, caption, flags, owner, answer});
  return answer;
}

std::uint32_t SimMachine::AdjustPrivilege(const std::string& name, bool enable) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::uint32_t result = 0;
  if (!IsKnownPrivilege(s.codePage, name))
    result = kErrorNoSuchPrivilege;
  else if (s.missingPrivileges.count(Fold(s.codePage, name)))
    result = kErrorNotAllAssigned;
  else
    s.privilegeChanges.push_back((enable ? "+" : "-") + name);
  SetError(s, result);
  return result;
}

bool SimMachine::ExitWindows(std::uint32_t flags) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->exitWindows.push_back(flags);
  return true;
}

// --- Facts ------------------------------------------------------------------------------

std::optional<std::string> SimMachine::SystemMessage(std::uint32_t code, std::size_t maxChars) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::optional<std::string> text;
  auto over = s.systemMessages.find(code);
  if (over != s.systemMessages.end()) {
    text = over->second;
  } else {
    auto builtin = BuiltinMessages().find(code);
    if (builtin != BuiltinMessages().end()) text = builtin->second + "\r\n";  // as FormatMessage
  }
  if (!text) {
    SetError(s, kErrMrMidNotFound);
    return std::nullopt;
  }
  return text->substr(0, maxChars);
}

std::uint32_t SimMachine::SetErrorMode(std::uint32_t mode) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::uint32_t previous = state_->errorMode;
  state_->errorMode = mode;
  return previous;
}

OsVersion SimMachine::Version() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->version;
}

std::uint16_t SimMachine::SystemDefaultLangId() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->langId;
}

std::uint32_t SimMachine::AnsiCodePage() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->codePage;
}

bool SimMachine::IsDbcsLeadByte(std::uint8_t byte) {
  std::lock_guard<std::mutex> lock(state_->mu);
  return IsLeadByte(state_->codePage, byte);
}

int SimMachine::SystemMetric(int index) {
  std::lock_guard<std::mutex> lock(state_->mu);
  auto over = state_->metrics.find(index);
  if (over != state_->metrics.end()) return over->second;
  switch (index) {
    case kSmCxScreen:
      return 1024;
    case kSmCyScreen:
      return 768;
    case kSmCxDlgFrame:
    case kSmCyDlgFrame:
      return 3;
    case kSmCxFullScreen:
      return 1024;
    case kSmCyFullScreen:
      return 719;
    case kSmDbcsEnabled:
      return IsLeadByte(state_->codePage, 0x81) ? 1 : 0;
    default:
      return 0;
  }
}

std::optional<std::string> SimMachine::ComputerName(std::size_t bufferSize) {
  std::lock_guard<std::mutex> lock(state_->mu);
  // As GetComputerName: a buffer without room for the name and its zero fails.
  if (!state_->computerName) return std::nullopt;
  if (state_->computerName->size() + 1 > bufferSize) {
    SetError(*state_, kErrBufferOverflow);
    return std::nullopt;
  }
  return state_->computerName;
}

std::optional<std::string> SimMachine::HostName(std::size_t bufferSize) {
  std::lock_guard<std::mutex> lock(state_->mu);
  // As gethostname: too small a buffer fails (WSAEFAULT).
  if (!state_->hostName) return std::nullopt;
  if (state_->hostName->size() + 1 > bufferSize) {
    SetError(*state_, 10014);
    return std::nullopt;
  }
  return state_->hostName;
}

bool SimMachine::EnumDiskConnections(std::size_t bufferBytes, std::vector<NetConnection>* out) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (!s.netEnumWorks) {
    SetError(s, 1222);  // ERROR_NO_NETWORK
    return false;
  }
  // Each record as WNetEnumResourceA lays it out: 32 bytes and its strings, the
  // provider's name among them. What does not fit stays for a next call.
  const std::size_t kProvider = sizeof("Microsoft Windows Network");
  std::vector<NetConnection> fitting;
  std::size_t used = 0;
  for (const NetConnection& c : s.netConnections) {
    std::size_t size = 32 + kProvider + (c.localName ? c.localName->size() + 1 : 0) +
                       (c.remoteName ? c.remoteName->size() + 1 : 0);
    if (used + size > bufferBytes) break;
    used += size;
    fitting.push_back(c);
  }
  if (fitting.empty() && !s.netConnections.empty()) {
    SetError(s, kErrorMoreData);
    return false;
  }
  if (out != nullptr) *out = fitting;
  return true;
}

std::string SimMachine::TempPath() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->tempPath;
}

std::string SimMachine::WindowsDirectory() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->windowsDir;
}

std::string SimMachine::SystemDirectory() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->systemDir;
}

std::string SimMachine::ModuleFileName() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->moduleFileName;
}

LocalTime SimMachine::LocalTimeNow() {
  std::lock_guard<std::mutex> lock(state_->mu);
  LocalTime t = state_->localTimeBase;
  std::uint64_t seconds = t.hour * 3600ull + t.minute * 60ull + t.second + state_->now / 1000;
  t.hour = static_cast<std::uint32_t>(seconds / 3600 % 24);
  t.minute = static_cast<std::uint32_t>(seconds / 60 % 60);
  t.second = static_cast<std::uint32_t>(seconds % 60);
  for (std::uint64_t days = seconds / 86400; days > 0; --days) {
    if (++t.day > DaysIn(t.year, t.month)) {
      t.day = 1;
      if (++t.month > 12) {
        t.month = 1;
        ++t.year;
      }
    }
  }
  return t;
}

}  // namespace os

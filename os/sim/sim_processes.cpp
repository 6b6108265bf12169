// Starting simulated programs: CreateProcess's parsing of the command line and search for
// the program, ShellExecute, exit codes.
//
// A program is a file registered with RegisterProgram; it runs (its function is called,
// without the machine's lock) when it is started, and its process is signalled once the
// virtual clock has passed its run time. A file that exists but is no registered program
// fails to start with ERROR_BAD_EXE_FORMAT, as a file that is no program does on Windows.
#include <stdexcept>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// As CreateProcess with no application name: a quoted first word is the program; an
// unquoted one is tried at every blank, shortest first ("C:\Program Files\a b.exe x"
// tries C:\Program.exe, C:\Program Files\a.exe, C:\Program Files\a b.exe, ...).
std::optional<std::string> ProgramOfCommandLine(SimState& s, const std::string& commandLine,
                                                std::uint32_t* error) {
  *error = kErrorFileNotFound;
  std::size_t start = 0;
  while (start < commandLine.size() && IsBlank(commandLine[start])) ++start;
  std::string line = commandLine.substr(start);
  if (line.empty()) return std::nullopt;
  if (line[0] == '"') {
    std::size_t close = line.find('"', 1);
    std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    return SearchFile(s, name, ".exe", false, error);
  }
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && !IsBlank(line[i])) continue;
    if (std::optional<std::string> found = SearchFile(s, line.substr(0, i), ".exe", false, error))
      return found;
  }
  return std::nullopt;
}

std::map<std::string, std::string> EnvironmentSnapshot(const SimState& s) {
  std::map<std::string, std::string> snapshot;
  for (const auto& entry : s.env) snapshot[entry.second.name] = entry.second.value;
  return snapshot;
}

// The folder a program starts in: the given one made full (it must exist), or the
// current folder.
bool StartFolder(SimState& s, const std::optional<std::string>& given, std::string* folder) {
  if (!given || given->empty()) {
    *folder = s.currentDir;
    return true;
  }
  std::string full;
  if (!ResolveForCall(s, *given, &full)) return false;
  std::shared_ptr<FileNode> node = FindNode(s, full);
  if (!node || !node->directory) {
    SetError(s, kErrDirectory);
    return false;
  }
  *folder = Canonical(s.codePage, full);
  return true;
}

std::string ExtensionOf(std::uint32_t codePage, const std::string& path) {
  std::string last = LastComponent(codePage, path);
  std::size_t dot = last.rfind('.');
  return dot == std::string::npos ? std::string() : Fold(codePage, last.substr(dot));
}

}  // namespace

// Runs the program of `launch` and makes its process; `lock` is released meanwhile.
static bool Launch(SimMachine& machine, SimState& s, std::unique_lock<std::mutex>& lock,
                   std::shared_ptr<const ProgramDef> def, const SimLaunch& launch, Handle* process,
                   Handle* thread, std::uint32_t* processId) {
  s.launches.push_back(launch);
  std::uint64_t startedAt = s.now;
  std::uint32_t pid = s.nextProcessId;
  s.nextProcessId += 4;
  std::uint32_t code = 0;
  lock.unlock();
  try {
    if (def->program) code = def->program(machine, launch);
  } catch (const SimProcessExit& exit) {
    code = exit.code;
  }
  lock.lock();
  auto rec = std::make_shared<ProcessRec>();
  rec->pid = pid;
  rec->endAt = startedAt + def->runMs;
  rec->exitCode = code;
  if (process != nullptr) {
    HandleRec h;
    h.kind = Kind::kProcess;
    h.process = rec;
    *process = NewHandle(s, h);
  }
  if (thread != nullptr) {
    HandleRec h;
    h.kind = Kind::kProcessThread;
    h.process = rec;
    *thread = NewHandle(s, h);
  }
  if (processId != nullptr) *processId = pid;
  Settle(s);
  return true;
}

void SimMachine::RegisterProgram(const std::string& path, SimProgram program, std::uint32_t runMs) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::shared_ptr<FileNode> node = ExecutableFile(s, path);
  auto def = std::make_shared<ProgramDef>();
  def->program = std::move(program);
  def->runMs = runMs;
  node->program = def;
}

void SimMachine::RegisterProgramExitCode(const std::string& path, std::uint32_t exitCode,
                                         std::uint32_t runMs) {
  RegisterProgram(
      path, [exitCode](SimMachine&, const SimLaunch&) { return exitCode; }, runMs);
}

const std::vector<SimLaunch>& SimMachine::Launches() const { return state_->launches; }

bool SimMachine::CreateProcess(const ProcessStart& start, ProcessInfo* info) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::uint32_t error = kErrorFileNotFound;
  std::optional<std::string> program;
  if (!start.applicationName.empty()) {
    // The application name is taken as it is: made full, no extension added, no search.
    std::string full;
    if (!ResolveForCall(s, start.applicationName, &full)) return false;
    std::shared_ptr<FileNode> node = FindNode(s, full);
    if (!node)
      error = MissingError(s, full);
    else if (node->directory)
      error = kErrorAccessDenied;
    else
      program = node->path;
  } else {
    program = ProgramOfCommandLine(s, start.commandLine, &error);
  }
  if (!program) {
    SetError(s, error);
    return false;
  }
  std::shared_ptr<FileNode> node = FindNode(s, *program);
  if (!node->program) {
    SetError(s, kErrBadExeFormat);
    return false;
  }
  SimLaunch launch;
  if (!StartFolder(s, start.workDir, &launch.workDir)) return false;
  launch.programPath = node->path;
  launch.commandLine = start.commandLine;
  launch.environment = EnvironmentSnapshot(s);
  launch.inheritHandles = start.inheritHandles;
  launch.creationFlags = start.creationFlags;
  if (info == nullptr)
    return Launch(*this, s, lock, node->program, launch, nullptr, nullptr, nullptr);
  return Launch(*this, s, lock, node->program, launch, &info->process, &info->thread,
                &info->processId);
}

bool SimMachine::ShellExecute(const std::string& file, const std::string& parameters,
                              const std::string& directory, int show, Handle* process) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string name = file;
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
    name = name.substr(1, name.size() - 2);
  std::uint32_t error = kErrorFileNotFound;
  std::optional<std::string> program = SearchFile(s, name, ".exe", false, &error);
  if (!program) {
    SetError(s, error);
    return false;
  }
  std::shared_ptr<FileNode> node = FindNode(s, *program);
  if (!node->program) {
    std::string extension = ExtensionOf(s.codePage, *program);
    bool executable =
        extension == ".exe" || extension == ".com" || extension == ".bat" || extension == ".cmd";
    SetError(s, executable ? kErrBadExeFormat : kErrNoAssociation);
    return false;
  }
  SimLaunch launch;
  std::optional<std::string> folder;
  if (!directory.empty()) folder = directory;
  if (!StartFolder(s, folder, &launch.workDir)) return false;
  launch.programPath = node->path;
  launch.commandLine = "\"" + node->path + "\"" + (parameters.empty() ? "" : " " + parameters);
  launch.environment = EnvironmentSnapshot(s);
  launch.viaShellExecute = true;
  launch.parameters = parameters;
  launch.show = show;
  return Launch(*this, s, lock, node->program, launch, process, nullptr, nullptr);
}

bool SimMachine::GetExitCodeProcess(Handle process, std::uint32_t* code) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  HandleRec* rec = FindHandle(s, process);
  if (rec == nullptr || rec->kind != Kind::kProcess) {
    SetError(s, kErrorInvalidHandle);
    return false;
  }
  if (code != nullptr) *code = s.now >= rec->process->endAt ? rec->process->exitCode : kStillActive;
  return true;
}

}  // namespace os

// Simulated libraries: files registered with their exports, loaded by full path or by a
// bare name searched in the safe DLL order (the program's folder, the system folder, the
// 16-bit system folder, the Windows folder, the current folder, then PATH), ".dll" added
// to a name without an extension. Loads and frees are recorded in order.
#include <stdexcept>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

constexpr Handle kModuleHandle = 0x400000;

Handle Load(SimState& s, const std::string& path) {
  // A load error set for a path applies whether or not the file is there.
  std::string withExtension = path;
  if (LastComponent(s.codePage, path).find('.') == std::string::npos) withExtension += ".dll";
  std::string full;
  std::uint32_t error = 0;
  if (path.find_first_of("\\/:") != std::string::npos &&
      NormalizePath(s, withExtension, &full, &error)) {
    auto it = s.libraryLoadErrors.find(FileKey(s, full));
    if (it != s.libraryLoadErrors.end()) {
      SetError(s, it->second);
      return 0;
    }
  }
  std::optional<std::string> found = SearchFile(s, path, ".dll", true, &error);
  if (!found) {
    SetError(s, kErrorModNotFound);
    return 0;
  }
  std::string key = FileKey(s, *found);
  auto failure = s.libraryLoadErrors.find(key);
  if (failure != s.libraryLoadErrors.end()) {
    SetError(s, failure->second);
    return 0;
  }
  std::shared_ptr<FileNode> node = FindNode(s, *found);
  if (!node->exports) {
    SetError(s, kErrBadExeFormat);
    return 0;
  }
  s.libraryEvents.push_back("load " + node->path);
  for (auto& entry : s.loaded) {
    if (entry.second.key == key) {
      ++entry.second.refs;
      return entry.first;
    }
  }
  Handle h = s.nextLibrary;
  s.nextLibrary += 0x10000;
  LibraryRec rec;
  rec.path = node->path;
  rec.key = key;
  rec.exports = node->exports;
  rec.refs = 1;
  s.loaded[h] = rec;
  return h;
}

}  // namespace

void SimMachine::RegisterLibrary(const std::string& path,
                                 const std::map<std::string, void*>& exports) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::shared_ptr<FileNode> node = ExecutableFile(s, path);
  node->exports = std::make_shared<const Exports>(exports);
}

void SimMachine::SetLibraryLoadError(const std::string& path, std::uint32_t error) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  std::uint32_t ignored = 0;
  if (!NormalizePath(s, path, &full, &ignored))
    throw std::invalid_argument("SimMachine: not a path: \"" + path + "\"");
  if (error == 0)
    s.libraryLoadErrors.erase(FileKey(s, full));
  else
    s.libraryLoadErrors[FileKey(s, full)] = error;
}

const std::vector<std::string>& SimMachine::LibraryEvents() const { return state_->libraryEvents; }

Handle SimMachine::LoadLibrary(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  return Load(*state_, path);
}

Handle SimMachine::LoadLibraryAlteredSearchPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  return Load(*state_, path);
}

void* SimMachine::GetProcAddress(Handle library, const std::string& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (library == kModuleHandle) {
    SetError(s, kErrorProcNotFound);
    return nullptr;
  }
  auto it = s.loaded.find(library);
  if (it == s.loaded.end()) {
    SetError(s, kErrorModNotFound);
    return nullptr;
  }
  auto symbol = it->second.exports->find(name);  // names are case-sensitive
  if (symbol == it->second.exports->end() || symbol->second == nullptr) {
    SetError(s, kErrorProcNotFound);
    return nullptr;
  }
  return symbol->second;
}

bool SimMachine::FreeLibrary(Handle library) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  auto it = s.loaded.find(library);
  if (it == s.loaded.end()) {
    SetError(s, kErrorModNotFound);
    return false;
  }
  s.libraryEvents.push_back("free " + it->second.path);
  if (--it->second.refs == 0) s.loaded.erase(it);
  return true;
}

Handle SimMachine::ModuleHandle() { return kModuleHandle; }

}  // namespace os

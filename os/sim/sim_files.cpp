// Files and folders of the simulated machine: attributes, copies, deletes, the current
// folder, file handles (CreateFile's dispositions, sharing, reads, writes, seeks) and
// version resources.
#include <stdexcept>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kFileReadData = 0x1, kFileWriteData = 0x2, kFileAppendData = 0x4;
constexpr std::uint32_t kSettableAttributes =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive |
    kFileAttributeNormal | 0x100 /* temporary */ | 0x1000 /* offline */ | 0x2000 /* not indexed */;

std::uint32_t ReadWriteOf(std::uint32_t access) {
  std::uint32_t rw = 0;
  if (access & (kGenericRead | kGenericAll | kFileReadData)) rw |= kGenericRead;
  if (access & (kGenericWrite | kGenericAll | kFileWriteData | kFileAppendData))
    rw |= kGenericWrite;
  return rw;
}

// Whether a new open (access, share) can live with the node's open handles.
bool SharingAllows(SimState& s, const std::shared_ptr<FileNode>& node, std::uint32_t access,
                   std::uint32_t share, bool deleting = false) {
  for (const auto& entry : s.handles) {
    const HandleRec& h = entry.second;
    if (h.kind != Kind::kFile || h.file->node != node) continue;
    const OpenFileRec& open = *h.file;
    if ((access & kGenericRead) && !(open.share & kFileShareRead)) return false;
    if ((access & kGenericWrite) && !(open.share & kFileShareWrite)) return false;
    if (deleting && !(open.share & kFileShareDelete)) return false;
    if ((open.access & kGenericRead) && !(share & kFileShareRead)) return false;
    if ((open.access & kGenericWrite) && !(share & kFileShareWrite)) return false;
  }
  return true;
}

// The folder a new file at `full` goes into, or 0 with the error set.
bool FolderForNewFile(SimState& s, const std::string& full) {
  std::optional<std::string> parent = ParentPath(s.codePage, full);
  std::shared_ptr<FileNode> folder = parent ? FindNode(s, *parent) : nullptr;
  if (folder && folder->directory) return true;
  SetError(s, MissingError(s, full));
  return false;
}

// The existing file or folder a call names, or null with the error set.
std::shared_ptr<FileNode> ExistingNode(SimState& s, const std::string& path, std::string* full) {
  if (!ResolveForCall(s, path, full)) return nullptr;
  std::shared_ptr<FileNode> node = FindNode(s, *full);
  if (!node) SetError(s, MissingError(s, *full));
  return node;
}

OpenFileRec* FileOf(SimState& s, Handle h) {
  HandleRec* rec = FindHandle(s, h);
  if (rec == nullptr || rec->kind != Kind::kFile) {
    SetError(s, kErrorInvalidHandle);
    return nullptr;
  }
  return rec->file.get();
}

std::string FullOrThrow(SimState& s, const std::string& path) {
  std::string full;
  std::uint32_t error = 0;
  if (!NormalizePath(s, path, &full, &error))
    throw std::invalid_argument("SimMachine: not a path: \"" + path + "\"");
  return full;
}

}  // namespace

// --- Configuration ----------------------------------------------------------------------

void SimMachine::WriteFileText(const std::string& path, const std::string& content) {
  std::lock_guard<std::mutex> lock(state_->mu);
  PutFile(*state_, FullOrThrow(*state_, path), content);
}

std::optional<std::string> SimMachine::ReadFileText(const std::string& path) const {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::shared_ptr<FileNode> node = FindNode(*state_, FullOrThrow(*state_, path));
  if (!node || node->directory) return std::nullopt;
  return node->data;
}

void SimMachine::MakeDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  MakeDirectories(*state_, FullOrThrow(*state_, path));
}

bool SimMachine::Exists(const std::string& path) const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return FindNode(*state_, FullOrThrow(*state_, path)) != nullptr;
}

void SimMachine::SetFileVersion(const std::string& path,
                                const std::optional<FileVersion>& version) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::string full = FullOrThrow(*state_, path);
  std::shared_ptr<FileNode> node = FindNode(*state_, full);
  if (!node) node = PutFile(*state_, full, "MZ");
  node->version = version;
}

// --- The port ---------------------------------------------------------------------------

std::uint32_t SimMachine::FileAttributes(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  std::shared_ptr<FileNode> node = ExistingNode(s, path, &full);
  if (!node) return kInvalidFileAttributes;
  return node->attributes;
}

bool SimMachine::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  std::shared_ptr<FileNode> node = ExistingNode(s, path, &full);
  if (!node) return false;
  std::uint32_t value = attributes & kSettableAttributes;
  if (value & ~kFileAttributeNormal) value &= ~kFileAttributeNormal;
  if (node->directory)
    value = (value & ~kFileAttributeNormal) | kFileAttributeDirectory;
  else if (value == 0)
    value = kFileAttributeNormal;
  node->attributes = value;
  return true;
}

bool SimMachine::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string source, target;
  if (!ResolveForCall(s, from, &source) || !ResolveForCall(s, to, &target)) return false;
  std::shared_ptr<FileNode> in = FindNode(s, source);
  if (!in) {
    SetError(s, MissingError(s, source));
    return false;
  }
  if (in->directory) {
    SetError(s, kErrorAccessDenied);
    return false;
  }
  if (!SharingAllows(s, in, kGenericRead, kFileShareRead | kFileShareDelete)) {
    SetError(s, kErrSharingViolation);
    return false;
  }
  std::shared_ptr<FileNode> out = FindNode(s, target);
  if (out == in) {
    SetError(s, kErrSharingViolation);
    return false;
  }
  if (out) {
    if (failIfExists) {
      SetError(s, kErrorFileExists);
      return false;
    }
    if (out->directory || (out->attributes & (kFileAttributeReadOnly | kFileAttributeHidden))) {
      SetError(s, kErrorAccessDenied);
      return false;
    }
    if (!SharingAllows(s, out, kGenericWrite, 0)) {
      SetError(s, kErrSharingViolation);
      return false;
    }
  } else {
    if (!FolderForNewFile(s, target)) return false;
    out = PutFile(s, target, std::string());
  }
  // As CopyFile: the content and the attributes, read-only included. A copy of a
  // program is that program.
  out->data = in->data;
  out->attributes = in->attributes;
  out->version = in->version;
  out->program = in->program;
  out->exports = in->exports;
  return true;
}

bool SimMachine::DeleteFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  std::shared_ptr<FileNode> node = ExistingNode(s, path, &full);
  if (!node) return false;
  if (node->directory || (node->attributes & kFileAttributeReadOnly)) {
    SetError(s, kErrorAccessDenied);
    return false;
  }
  if (!SharingAllows(s, node, 0, kFileShareRead | kFileShareWrite | kFileShareDelete, true)) {
    SetError(s, kErrSharingViolation);
    return false;
  }
  s.files.erase(FileKey(s, full));
  return true;
}

bool SimMachine::CreateDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  if (!ResolveForCall(s, path, &full)) return false;
  if (FindNode(s, full)) {
    SetError(s, kErrorAlreadyExists);
    return false;
  }
  if (!FolderForNewFile(s, full)) return false;
  MakeDirectories(s, full);
  return true;
}

bool SimMachine::FullPathName(const std::string& path, std::size_t bufferSize, std::string* full) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::string result;
  std::uint32_t error = 0;
  if (!NormalizePath(*state_, path, &result, &error)) {
    SetError(*state_, error);
    return false;
  }
  if (result.size() + 1 > bufferSize) return false;  // GetFullPathName answers the size needed
  if (full != nullptr) *full = result;
  return true;
}

std::string SimMachine::CurrentDirectory() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->currentDir;
}

bool SimMachine::SetCurrentDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  std::shared_ptr<FileNode> node = ExistingNode(s, path, &full);
  if (!node) return false;
  if (!node->directory) {
    SetError(s, kErrDirectory);
    return false;
  }
  s.currentDir = Canonical(s.codePage, full);  // the case as given, as Windows keeps it
  return true;
}

Handle SimMachine::OpenFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::uint32_t rw = ReadWriteOf(access);
  if (disposition < kCreateNew || disposition > kTruncateExisting ||
      (disposition == kTruncateExisting && !(rw & kGenericWrite))) {
    SetError(s, kErrorInvalidParameter);
    return 0;
  }
  std::string full;
  if (!ResolveForCall(s, path, &full)) return 0;
  std::shared_ptr<FileNode> node = FindNode(s, full);
  if (node && node->directory) {
    SetError(s, kErrorAccessDenied);
    return 0;
  }
  std::uint32_t lastError = 0;
  if (node) {
    if (disposition == kCreateNew) {
      SetError(s, kErrorFileExists);
      return 0;
    }
    bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
    // CREATE_ALWAYS over a hidden or system file needs those attributes asked for again.
    if (((rw & kGenericWrite) || truncates) && (node->attributes & kFileAttributeReadOnly)) {
      SetError(s, kErrorAccessDenied);
      return 0;
    }
    if (disposition == kCreateAlways &&
        (node->attributes & (kFileAttributeHidden | kFileAttributeSystem))) {
      SetError(s, kErrorAccessDenied);
      return 0;
    }
    if (!SharingAllows(s, node, rw, share)) {
      SetError(s, kErrSharingViolation);
      return 0;
    }
    if (truncates) node->data.clear();
    if (disposition == kCreateAlways) node->attributes = kFileAttributeArchive;
    if (disposition == kCreateAlways || disposition == kOpenAlways) lastError = kErrorAlreadyExists;
  } else {
    if (disposition == kOpenExisting || disposition == kTruncateExisting) {
      SetError(s, MissingError(s, full));
      return 0;
    }
    if (!FolderForNewFile(s, full)) return 0;
    node = PutFile(s, full, std::string());
  }
  HandleRec rec;
  rec.kind = Kind::kFile;
  rec.file = std::make_shared<OpenFileRec>();
  rec.file->node = node;
  rec.file->access = rw;
  rec.file->share = share;
  SetError(s, lastError);
  return NewHandle(s, rec);
}

bool SimMachine::ReadFile(Handle file, std::size_t maxBytes, std::string* data) {
  std::lock_guard<std::mutex> lock(state_->mu);
  OpenFileRec* open = FileOf(*state_, file);
  if (open == nullptr) return false;
  if (!(open->access & kGenericRead)) {
    SetError(*state_, kErrorAccessDenied);
    return false;
  }
  const std::string& content = open->node->data;
  std::string chunk;
  if (open->position < static_cast<std::int64_t>(content.size()))
    chunk = content.substr(static_cast<std::size_t>(open->position), maxBytes);
  open->position += static_cast<std::int64_t>(chunk.size());
  if (data != nullptr) *data = chunk;
  return true;
}

bool SimMachine::WriteFile(Handle file, const std::string& data) {
  std::lock_guard<std::mutex> lock(state_->mu);
  OpenFileRec* open = FileOf(*state_, file);
  if (open == nullptr) return false;
  if (!(open->access & kGenericWrite)) {
    SetError(*state_, kErrorAccessDenied);
    return false;
  }
  std::string& content = open->node->data;
  auto position = static_cast<std::size_t>(open->position);
  if (content.size() < position + data.size()) content.resize(position + data.size(), '\0');
  content.replace(position, data.size(), data);
  open->position += static_cast<std::int64_t>(data.size());
  return true;
}

std::int64_t SimMachine::SeekFile(Handle file, std::int64_t offset, int origin) {
  std::lock_guard<std::mutex> lock(state_->mu);
  OpenFileRec* open = FileOf(*state_, file);
  if (open == nullptr) return -1;
  std::int64_t base = 0;
  switch (origin) {
    case 0:
      base = 0;
      break;
    case 1:
      base = open->position;
      break;
    case 2:
      base = static_cast<std::int64_t>(open->node->data.size());
      break;
    default:
      SetError(*state_, kErrorInvalidParameter);
      return -1;
  }
  if (base + offset < 0) {
    SetError(*state_, kErrNegativeSeek);
    return -1;
  }
  open->position = base + offset;
  return open->position;
}

std::int64_t SimMachine::FileSize(Handle file) {
  std::lock_guard<std::mutex> lock(state_->mu);
  OpenFileRec* open = FileOf(*state_, file);
  return open == nullptr ? -1 : static_cast<std::int64_t>(open->node->data.size());
}

std::optional<FileVersion> SimMachine::FileVersionOf(const std::string& path) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string full;
  if (!ResolveForCall(s, path, &full)) return std::nullopt;
  std::shared_ptr<FileNode> node = FindNode(s, full);
  if (!node || node->directory) {
    SetError(s, node ? kErrorAccessDenied : MissingError(s, full));
    return std::nullopt;
  }
  return node->version;
}

}  // namespace os

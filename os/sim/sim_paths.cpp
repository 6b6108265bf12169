// Windows path rules: GetFullPathName's normalisation, roots, parents, file keys and the
// search that CreateProcess and LoadLibrary do for a name without a folder.
//
// The normalisation follows RtlGetFullPathName_U as Wine documents it: '/' is '\', runs of
// backslashes collapse, "." and ".." components go (".." never climbs above the root),
// one trailing dot of an inner component goes, and trailing dots and blanks of the last
// component go unless the path ends with a backslash. Double-byte characters of the code
// page (932: a trail byte may be 0x5C) are never taken for separators.
#include <algorithm>
#include <stdexcept>

#include "os/sim/sim_state.h"

namespace os {
namespace sim {

namespace {

bool IsSeparatorAt(std::uint32_t cp, const std::string& text, std::size_t i) {
  if (text[i] != '\\') return false;
  // A backslash is a separator unless it is the trail byte of a double-byte character.
  for (std::size_t j = 0; j < text.size();) {
    std::size_t n = CharLength(cp, text, j);
    if (j + n > i) return j == i;
    j += n;
  }
  return false;
}

// Index after "\\server\share\" (separators included).
std::size_t SkipUncPrefix(std::uint32_t cp, const std::string& p) {
  std::size_t i = 2;
  while (i < p.size() && p[i] != '\\') i += CharLength(cp, p, i);
  while (i < p.size() && p[i] == '\\') ++i;
  while (i < p.size() && p[i] != '\\') i += CharLength(cp, p, i);
  while (i < p.size() && p[i] == '\\') ++i;
  return i;
}

// Start of the component that ends just before `end` (a separator), not before mark.
std::size_t ComponentStart(std::uint32_t cp, const std::string& path, std::size_t mark,
                           std::size_t end) {
  std::size_t start = mark;
  for (std::size_t i = mark; i < end;) {
    std::size_t n = CharLength(cp, path, i);
    if (n == 1 && path[i] == '\\') start = i + 1;
    i += n;
  }
  return start;
}

void Collapse(std::uint32_t cp, std::string& path, std::size_t mark) {
  // Runs of backslashes become one.
  std::size_t start = std::max<std::size_t>(1, mark);
  std::string out = path.substr(0, start);
  bool lastSeparator = !out.empty() && out.back() == '\\';
  for (std::size_t i = start; i < path.size();) {
    std::size_t n = CharLength(cp, path, i);
    if (n == 1 && path[i] == '\\') {
      if (!lastSeparator) out += '\\';
      lastSeparator = true;
    } else {
      out.append(path, i, n);
      lastSeparator = false;
    }
    i += n;
  }
  path = out;

  std::size_t p = mark;
  while (p < path.size()) {
    if (path[p] == '.') {
      char c1 = p + 1 < path.size() ? path[p + 1] : '\0';
      char c2 = p + 2 < path.size() ? path[p + 2] : '\0';
      if (c1 == '\\') {  // ".\"
        path.erase(p, 2);
        continue;
      }
      if (c1 == '\0') {  // a final "."
        if (p > mark) --p;
        path.erase(p);
        continue;
      }
      if (c1 == '.' && c2 == '\\') {  // "..\"
        std::size_t next = p + 3;
        if (p > mark) p = ComponentStart(cp, path, mark, p - 1);
        path.erase(p, next - p);
        continue;
      }
      if (c1 == '.' && c2 == '\0') {  // a final ".."
        if (p > mark) {
          p = ComponentStart(cp, path, mark, p - 1);
          if (p > mark) --p;
        }
        path.erase(p);
        continue;
      }
    }
    while (p < path.size() && !(path[p] == '\\' && CharLength(cp, path, p) == 1))
      p += CharLength(cp, path, p);
    if (p < path.size()) {
      // One trailing dot of an inner component goes.
      if (p > mark && path[p - 1] == '.')
        path.erase(p - 1, 1);
      else
        ++p;
    }
  }
  std::size_t end = path.size();
  while (end > mark && (path[end - 1] == ' ' || path[end - 1] == '.')) --end;
  path.erase(end);
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::size_t RootLength(std::uint32_t cp, const std::string& full) {
  if (full.size() >= 2 && full[0] == '\\' && full[1] == '\\') {
    if (full.size() >= 4 && (full[2] == '.' || full[2] == '?') && full[3] == '\\') return 4;
    return SkipUncPrefix(cp, full);
  }
  if (full.size() >= 3 && full[1] == ':' && full[2] == '\\') return 3;
  if (full.size() >= 2 && full[1] == ':') return 2;
  return 0;
}

bool NormalizePath(const SimState& s, const std::string& path, std::string* full,
                   std::uint32_t* error) {
  const std::uint32_t cp = s.codePage;
  if (path.empty()) {
    *error = kErrorInvalidName;
    return false;
  }
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (p.compare(0, 4, "\\\\?\\") == 0) {  // no normalisation for \\?\ paths
    *full = p;
    return true;
  }
  const std::string& cwd = s.currentDir;
  std::string combined;
  if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
    combined = (p == "\\\\." || p == "\\\\?") ? p + "\\" : p;  // UNC or \\.\ device
  } else if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
    if (p.size() >= 3 && p[2] == '\\') {
      combined = p;
    } else {  // "X:rest": relative to that drive's current folder
      std::string base;
      if (cwd.size() >= 2 && cwd[1] == ':' && Upper(cwd[0]) == Upper(p[0])) {
        base = cwd;
      } else if (std::optional<std::string> dir = GetEnv(s, std::string("=") + Upper(p[0]) + ":")) {
        base = *dir;
      } else {
        base = std::string(1, Upper(p[0])) + ":\\";
      }
      if (base.back() != '\\') base += '\\';
      combined = base + p.substr(2);
    }
  } else if (p[0] == '\\') {  // rooted: the current drive's (or share's) root
    std::string root = cwd.substr(0, RootLength(cp, cwd));
    while (!root.empty() && root.back() == '\\') root.pop_back();
    combined = root + p;
  } else {
    combined = cwd + (cwd.back() == '\\' ? "" : "\\") + p;
  }
  Collapse(cp, combined, RootLength(cp, combined));
  *full = combined;
  return true;
}

static bool IsTrailingSeparator(std::uint32_t cp, const std::string& text) {
  return !text.empty() && IsSeparatorAt(cp, text, text.size() - 1);
}

std::string Canonical(std::uint32_t cp, const std::string& full) {
  std::string c = full;
  while (c.size() > 1 && IsTrailingSeparator(cp, c)) {
    if (c.size() == 3 && c[1] == ':') break;  // a drive's root keeps its backslash
    if (c.size() <= 4 && c[0] == '\\' && c[1] == '\\' && (c[2] == '.' || c[2] == '?')) break;
    c.pop_back();
  }
  return c;
}

std::optional<std::string> ParentPath(std::uint32_t cp, const std::string& path) {
  std::string full = Canonical(cp, path);
  std::string root = Canonical(cp, full.substr(0, RootLength(cp, full)));
  if (full.size() <= root.size()) return std::nullopt;
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < full.size();) {
    std::size_t n = CharLength(cp, full, i);
    if (n == 1 && full[i] == '\\') last = i;
    i += n;
  }
  if (last == std::string::npos || last < root.size()) return root;
  return full.substr(0, last);
}

std::string LastComponent(std::uint32_t cp, const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size();) {
    std::size_t n = CharLength(cp, path, i);
    if (n == 1 && (path[i] == '\\' || path[i] == '/' || (i == 1 && path[i] == ':'))) start = i + 1;
    i += n;
  }
  return path.substr(start);
}

std::string FolderOf(const std::string& path) {
  std::size_t last = path.find_last_of('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::uint32_t CheckPathCharacters(std::uint32_t cp, const std::string& full) {
  if (full.compare(0, 4, "\\\\?\\") == 0 || full.compare(0, 4, "\\\\.\\") == 0) return 0;
  for (std::size_t i = RootLength(cp, full); i < full.size();) {
    std::size_t n = CharLength(cp, full, i);
    auto c = static_cast<unsigned char>(full[i]);
    if (n == 1 &&
        (c < 0x20 || std::string("<>:\"|?*").find(static_cast<char>(c)) != std::string::npos))
      return kErrorInvalidName;
    i += n;
  }
  return 0;
}

std::string FileKey(const SimState& s, const std::string& full) {
  std::string path = full;
  if (path.compare(0, 4, "\\\\?\\") == 0) {  // \\?\C:\x is C:\x, \\?\UNC\s\x is \\s\x
    path = path.compare(4, 4, "UNC\\") == 0 ? "\\\\" + path.substr(8) : path.substr(4);
  }
  return Fold(s.codePage, Canonical(s.codePage, path));
}

std::shared_ptr<FileNode> FindNode(const SimState& s, const std::string& full) {
  auto it = s.files.find(FileKey(s, full));
  return it == s.files.end() ? nullptr : it->second;
}

std::uint32_t MissingError(const SimState& s, const std::string& full) {
  std::optional<std::string> parent = ParentPath(s.codePage, full);
  bool unc = full.size() >= 2 && full[0] == '\\' && full[1] == '\\';
  if (!parent) return unc ? std::uint32_t{kErrBadNetPath} : std::uint32_t{kErrorPathNotFound};
  std::shared_ptr<FileNode> folder = FindNode(s, *parent);
  if (folder && folder->directory) return kErrorFileNotFound;
  if (unc) {
    std::string share = Canonical(s.codePage, full.substr(0, RootLength(s.codePage, full)));
    if (!FindNode(s, share)) return kErrBadNetPath;
  }
  return kErrorPathNotFound;
}

bool ResolveForCall(SimState& s, const std::string& path, std::string* full) {
  std::uint32_t error = 0;
  if (!NormalizePath(s, path, full, &error) ||
      (error = CheckPathCharacters(s.codePage, *full)) != 0) {
    SetError(s, error);
    return false;
  }
  return true;
}

std::shared_ptr<FileNode> MakeDirectories(SimState& s, const std::string& full) {
  std::string path = Canonical(s.codePage, full);
  if (std::shared_ptr<FileNode> node = FindNode(s, path)) {
    if (!node->directory) throw std::logic_error("SimMachine: a file is in the way of " + full);
    return node;
  }
  if (std::optional<std::string> parent = ParentPath(s.codePage, path)) MakeDirectories(s, *parent);
  auto node = std::make_shared<FileNode>();
  node->path = path;
  node->directory = true;
  node->attributes = kFileAttributeDirectory;
  s.files[FileKey(s, path)] = node;
  return node;
}

std::shared_ptr<FileNode> ExecutableFile(SimState& s, const std::string& path) {
  std::string full;
  std::uint32_t error = 0;
  if (!NormalizePath(s, path, &full, &error))
    throw std::invalid_argument("SimMachine: not a path: \"" + path + "\"");
  std::shared_ptr<FileNode> node = FindNode(s, full);
  return node ? node : PutFile(s, full, "MZ");
}

std::shared_ptr<FileNode> PutFile(SimState& s, const std::string& full, const std::string& data) {
  std::string path = Canonical(s.codePage, full);
  if (std::shared_ptr<FileNode> node = FindNode(s, path)) {
    if (node->directory) throw std::logic_error("SimMachine: " + full + " is a folder");
    node->data = data;
    return node;
  }
  std::optional<std::string> parent = ParentPath(s.codePage, path);
  if (!parent) throw std::logic_error("SimMachine: " + full + " is a root");
  MakeDirectories(s, *parent);
  auto node = std::make_shared<FileNode>();
  node->path = path;
  node->attributes = kFileAttributeArchive;
  node->data = data;
  s.files[FileKey(s, path)] = node;
  return node;
}

std::optional<std::string> SearchFile(SimState& s, const std::string& name,
                                      const std::string& defaultExtension, bool dllOrder,
                                      std::uint32_t* error) {
  *error = kErrorFileNotFound;
  if (name.empty()) return std::nullopt;
  std::string withExtension = name;
  if (LastComponent(s.codePage, name).find('.') == std::string::npos)
    withExtension += defaultExtension;
  // As SearchPath: a name that is rooted, has a drive or starts with ".\" or "..\" is
  // only made full; any other name (even "sub\x.exe") is looked for in each folder.
  bool explicitPath = name[0] == '\\' || name[0] == '/' || (name.size() >= 2 && name[1] == ':') ||
                      name.compare(0, 2, ".\\") == 0 || name.compare(0, 2, "./") == 0 ||
                      name.compare(0, 3, "..\\") == 0 || name.compare(0, 3, "../") == 0;
  std::vector<std::string> candidates;
  if (explicitPath) {
    candidates.push_back(withExtension);
  } else {
    std::string own = FolderOf(s.moduleFileName);
    std::vector<std::string> folders;
    if (dllOrder)  // safe DLL search mode: the current folder after the system's
      folders = {own, s.systemDir, s.windowsDir + "\\System", s.windowsDir, s.currentDir};
    else
      folders = {own, s.currentDir, s.systemDir, s.windowsDir + "\\System", s.windowsDir};
    std::string pathVar = GetEnv(s, "PATH").value_or("");
    std::size_t start = 0;
    while (start <= pathVar.size()) {
      std::size_t end = pathVar.find(';', start);
      if (end == std::string::npos) end = pathVar.size();
      if (end > start) folders.push_back(pathVar.substr(start, end - start));
      start = end + 1;
    }
    for (const std::string& folder : folders)
      if (!folder.empty()) candidates.push_back(folder + "\\" + withExtension);
  }
  for (const std::string& candidate : candidates) {
    std::string full;
    std::uint32_t ignored = 0;
    if (!NormalizePath(s, candidate, &full, &ignored)) continue;
    std::shared_ptr<FileNode> node = FindNode(s, full);
    if (node && !node->directory) return node->path;
    if (explicitPath) *error = node ? kErrorAccessDenied : MissingError(s, full);
  }
  return std::nullopt;
}

}  // namespace sim
}  // namespace os

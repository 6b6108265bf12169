// Private-profile (INI) reads as GetPrivateProfileString and GetPrivateProfileInt do
// them, from the simulated files:
//   - a file name without a folder is looked for in the Windows folder, any other is made
//     full against the current folder; a missing file answers the default;
//   - a file that starts with a UTF-16 byte-order mark is read as UTF-16 and converted to
//     the code page; any other is read as 8-bit text (a UTF-8 mark is not special);
//   - lines are trimmed; "[name]" (up to the last ']') opens a section, "key=value" gives
//     a key (name and value trimmed), a line without '=' is a key without a value (which
//     answers the default). A ';' line is a comment only in that nobody asks for a key
//     that starts with ';': the reader has no comments of its own, as Windows' has none;
//   - section and key names ignore case and are trimmed; only the first section of a
//     name is searched, and its first key of the name wins;
//   - a value (or default) wholly enclosed in matching double or single quotes loses
//     them; trailing blanks of the default go; the result is cut to bufferSize - 1 bytes;
//   - ProfileInt reads at most 29 characters and converts them as RtlCharToInteger with
//     base 0 does ("+"/"-", "0x" hex, "0o" octal, "0b" binary, leading digits only,
//     modulo 2^32); an empty or missing value answers the default.
#include <string>
#include <vector>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

bool IsProfileSpace(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

std::string TrimProfile(const std::string& text) {
  std::size_t start = 0, end = text.size();
  while (start < end && IsProfileSpace(text[start])) ++start;
  while (end > start && IsProfileSpace(text[end - 1])) --end;
  return text.substr(start, end - start);
}

struct ProfileKey {
  std::string name;
  std::optional<std::string> value;
};

struct ProfileSection {
  std::string name;
  std::vector<ProfileKey> keys;
};

std::string DecodeProfile(const std::string& bytes, std::uint32_t codePage) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
    return Utf16ToCodePage(bytes.substr(2), false, codePage);
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
    return Utf16ToCodePage(bytes.substr(2), true, codePage);
  return bytes;
}

std::vector<ProfileSection> ParseProfile(const std::string& text) {
  std::vector<ProfileSection> sections(1);  // keys before the first section: section ""
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = text.find_first_of("\r\n", i);
    if (end == std::string::npos) end = text.size();
    std::string line = TrimProfile(text.substr(i, end - i));
    i = text.find_first_not_of("\r\n", end);
    if (i == std::string::npos) i = text.size();
    if (line.empty()) continue;
    if (line[0] == '[') {
      std::size_t close = line.rfind(']');
      if (close != std::string::npos && close > 0) {
        sections.push_back(ProfileSection{TrimProfile(line.substr(1, close - 1)), {}});
        continue;
      }
    }
    ProfileKey key;
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      key.name = line;
    } else {
      key.name = TrimProfile(line.substr(0, equals));
      key.value = TrimProfile(line.substr(equals + 1));
    }
    sections.back().keys.push_back(key);
  }
  return sections;
}

std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

std::string ProfileFilePath(const SimState& s, const std::string& file) {
  bool bare =
      file.find_first_of("\\/") == std::string::npos && !(file.size() >= 2 && file[1] == ':');
  if (bare) return s.windowsDir + "\\" + file;
  std::string full;
  std::uint32_t error = 0;
  return NormalizePath(s, file, &full, &error) ? full : std::string();
}

// The value of the key, or nullopt when the file, the section or the key's value is missing.
std::optional<std::string> LookUp(const SimState& s, const std::string& file,
                                  const std::string& section, const std::string& key) {
  if (file.empty()) return std::nullopt;
  std::string path = ProfileFilePath(s, file);
  if (path.empty()) return std::nullopt;
  std::shared_ptr<FileNode> node = FindNode(s, path);
  if (!node || node->directory) return std::nullopt;
  std::string wantedSection = TrimProfile(section), wantedKey = TrimProfile(key);
  for (const ProfileSection& sec : ParseProfile(DecodeProfile(node->data, s.codePage))) {
    if (!SameNoCase(s.codePage, sec.name, wantedSection)) continue;
    for (const ProfileKey& k : sec.keys)
      if (SameNoCase(s.codePage, k.name, wantedKey)) return k.value;
    return std::nullopt;  // only the first section of the name counts
  }
  return std::nullopt;
}

std::string ReadProfileString(const SimState& s, const std::string& file,
                              const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::string fallback = defaultValue;
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  std::optional<std::string> value = LookUp(s, file, section, key);
  return CutToBuffer(StripQuotes(value ? *value : fallback), bufferSize);
}

// RtlCharToInteger with base 0, modulo 2^32.
std::uint32_t CharToInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    char prefix = text[i + 1];
    if (prefix == 'x' || prefix == 'o' || prefix == 'b') {
      base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : 2;
      i += 2;
    }
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    std::uint32_t digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'z') digit = static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z') digit = static_cast<std::uint32_t>(c - 'A' + 10);
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

}  // namespace

std::string SimMachine::ProfileString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& defaultValue,
                                      std::size_t bufferSize) {
  std::lock_guard<std::mutex> lock(state_->mu);
  return ReadProfileString(*state_, file, section, key, defaultValue, bufferSize);
}

std::int32_t SimMachine::ProfileInt(const std::string& file, const std::string& section,
                                    const std::string& key, std::int32_t defaultValue) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::string text = ReadProfileString(*state_, file, section, key, "", 30);
  if (text.empty()) return defaultValue;
  return static_cast<std::int32_t>(CharToInteger(text));
}

}  // namespace os

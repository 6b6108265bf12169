#include "tools/setupsim/ini_file.h"

#include <cctype>
#include <fstream>

namespace setupsim {

namespace {

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

IniFile IniFile::Load(const std::string& path) {
  IniFile ini;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ini;
  ini.exists_ = true;
  Section* current = nullptr;
  std::string line;
  while (std::getline(in, line)) {
    std::string text = Trim(line);
    if (text.empty() || text[0] == ';') continue;
    if (text[0] == '[') {
      std::size_t close = text.find(']');
      std::string name =
          Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = const_cast<Section*>(ini.Find(name));
      if (!current) {
        ini.sections_.push_back({name, {}});
        current = &ini.sections_.back();
      }
      continue;
    }
    std::size_t eq = text.find('=');
    if (!current || eq == std::string::npos) continue;
    std::string key = Trim(text.substr(0, eq));
    std::string value = Trim(text.substr(eq + 1));
    // Quotes around a whole value are dropped, as the profile functions drop them.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    bool seen = false;
    for (const Entry& e : current->entries) seen = seen || EqualNoCase(e.key, key);
    if (!seen) current->entries.push_back({key, value});
  }
  return ini;
}

const IniFile::Section* IniFile::Find(const std::string& section) const {
  for (const Section& s : sections_)
    if (EqualNoCase(s.name, section)) return &s;
  return nullptr;
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> out;
  for (const Section& s : sections_) out.push_back(s.name);
  return out;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
  std::vector<std::string> out;
  if (const Section* s = Find(section))
    for (const Entry& e : s->entries) out.push_back(e.key);
  return out;
}

bool IniFile::HasSection(const std::string& section) const { return Find(section) != nullptr; }

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
  if (const Section* s = Find(section))
    for (const Entry& e : s->entries)
      if (EqualNoCase(e.key, key)) return e.value;
  return std::nullopt;
}

}  // namespace setupsim

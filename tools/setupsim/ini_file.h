// An INI file of the medium read as the private-profile functions read it: sections and
// keys without regard to case, the first of a repeated key counts, blanks around names and
// values dropped, lines beginning with ";" ignored. Unlike them it can list its contents.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace setupsim {

class IniFile {
 public:
  // An absent file reads as empty (as the launcher sees it); `exists` tells them apart.
  static IniFile Load(const std::string& path);

  bool exists() const { return exists_; }
  std::vector<std::string> Sections() const;  // as written, in file order
  std::vector<std::string> Keys(const std::string& section) const;
  bool HasSection(const std::string& section) const;
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::string Value(const std::string& section, const std::string& key) const {
    return Get(section, key).value_or("");
  }

 private:
  struct Entry {
    std::string key, value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* Find(const std::string& section) const;
  bool exists_ = false;
  std::vector<Section> sections_;
};

bool EqualNoCase(const std::string& a, const std::string& b);

}  // namespace setupsim

// The tokenizer of the launcher's switch options ("/q", "/l", "/r<host>").
#pragma once

#include <map>
#include <string>

namespace app {

class CCmdLineArgs {
 public:
  // Tokens are split at blanks; a token holding a double quote opens a group that runs to
  // the next token holding one. Items that begin with `switchChar` become options, the
  // others positional entries "#0", "#1", ...
  CCmdLineArgs(const std::string& text, char switchChar);

  bool HasOption(char key) const { return HasOption(std::string(1, key)); }
  bool HasOption(const std::string& key) const { return options_.count(key) != 0; }
  // Copies the value when the key is present; otherwise sets it to `fallback` when given.
  bool GetOption(const std::string& key, std::string* value, const char* fallback) const;

  static constexpr std::size_t kMaxItem = 259;  // an item is assembled in 260 bytes

 private:
  void AddItem(const std::string& item, char switchChar, int* positional);

  std::map<std::string, std::string> options_;
};

}  // namespace app

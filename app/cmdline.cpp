#include "app/cmdline.h"

#include <vector>

#include "fw/text.h"

namespace app {

namespace {

std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> tokens;
  std::string current;
  for (char c : text) {
    if (c == ' ') {
      if (!current.empty()) tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) tokens.push_back(current);
  return tokens;
}

bool HasQuote(const std::string& s) { return s.find('"') != std::string::npos; }

}  // namespace

CCmdLineArgs::CCmdLineArgs(const std::string& text, char switchChar) {
  std::vector<std::string> tokens = SplitAtBlanks(text);
  int positional = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    std::string item = tokens[i];
    if (HasQuote(item)) {
      while (i + 1 < tokens.size()) {
        item += ' ' + tokens[++i];
        if (HasQuote(tokens[i])) break;
      }
    }
    AddItem(fw::CutToBuffer(item, kMaxItem + 1), switchChar, &positional);
  }
}

void CCmdLineArgs::AddItem(const std::string& item, char switchChar, int* positional) {
  if (item.empty() || item[0] != switchChar) {
    options_["#" + std::to_string((*positional)++)] = item;
    return;
  }
  if (item.size() == 1) return;
  std::size_t quote = item.find('"');
  if (quote == std::string::npos) {
    options_[item.substr(1, 1)] = item.substr(2);
    return;
  }
  // The closing quote is dropped; the value runs from just after the opening one.
  std::string body = item;
  if (body.back() == '"') body.pop_back();
  options_[item.substr(1, quote - 1)] = quote + 1 <= body.size() ? body.substr(quote + 1) : "";
}

bool CCmdLineArgs::GetOption(const std::string& key, std::string* value,
                             const char* fallback) const {
  auto it = options_.find(key);
  if (it != options_.end()) {
    *value = it->second;
    return true;
  }
  if (fallback != nullptr) *value = fallback;
  return false;
}

}  // namespace app

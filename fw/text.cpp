#include "fw/text.h"

#include <cctype>

namespace fw {

std::string FormatText(const std::string& format, std::initializer_list<std::string> args) {
  std::string out;
  out.reserve(format.size());
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      if (next != args.end()) out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

FormatShape InspectFormat(const std::string& format) {
  FormatShape shape;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    ++shape.conversions;
    if (i + 1 >= format.size() || format[i + 1] != 's') {
      shape.onlyStrings = false;
      if (i + 1 < format.size() && format[i + 1] == '%') ++i;
    } else {
      ++i;
    }
  }
  return shape;
}

std::string CutToBuffer(const std::string& text, std::size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  return text.size() < bufferSize ? text : text.substr(0, bufferSize - 1);
}

static char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string ToLowerAscii(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string TrimLeft(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string TrimRight(const std::string& text) {
  std::size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return text.substr(0, n);
}

std::string Trim(const std::string& text) { return TrimLeft(TrimRight(text)); }

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size())
    out.append(text, pos, hit - pos).append(to);
  out.append(text, pos, std::string::npos);
  return out;
}

std::string ToDecimal(long long value) { return std::to_string(value); }

bool IsFullPathName(const std::string& name) {
  return Contains(name, ":") || StartsWith(name, "\\");
}

PathParts SplitPath(const std::string& path) {
  PathParts parts;
  std::string rest = path;
  if (rest.size() >= 2 && rest[1] == ':') {
    parts.drive = rest.substr(0, 2);
    rest = rest.substr(2);
  }
  std::size_t slash = rest.find_last_of("\\/");
  if (slash != std::string::npos) {
    parts.dir = rest.substr(0, slash + 1);
    rest = rest.substr(slash + 1);
  }
  std::size_t dot = rest.find_last_of('.');
  if (dot != std::string::npos) {
    parts.fname = rest.substr(0, dot);
    parts.ext = rest.substr(dot);
  } else {
    parts.fname = rest;
  }
  return parts;
}

}  // namespace fw

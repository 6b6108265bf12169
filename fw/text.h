// Small text routines shared by the whole launcher. Texts are 8-bit strings in the ANSI
// code page; comparisons "without regard to case" fold ASCII letters only, as the
// system's own routines do for the texts the launcher compares.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace fw {

// The one formatter for texts that come from the medium or the catalogue: each "%s" is
// replaced, in order, by the next argument (an empty text once the arguments are used
// up); every other "%" and whatever follows it is copied literally.
std::string FormatText(const std::string& format, std::initializer_list<std::string> args = {});

// Number of "%" conversions in a format, and whether every one of them is "%s".
struct FormatShape {
  int conversions = 0;
  bool onlyStrings = true;
};
FormatShape InspectFormat(const std::string& format);

// The text as a buffer of bufferSize bytes would hold it: at most bufferSize - 1 bytes.
std::string CutToBuffer(const std::string& text, std::size_t bufferSize);

bool EqualsNoCase(const std::string& a, const std::string& b);
bool Contains(const std::string& text, const std::string& part);
bool StartsWith(const std::string& text, const std::string& prefix);
std::string ToLowerAscii(std::string text);
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);
std::string Trim(const std::string& text);
// Every occurrence of `from` replaced by `to`, scanning left to right.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);
std::string ToDecimal(long long value);

// A name from a description file is a full path when it holds a colon anywhere or
// begins with a backslash.
bool IsFullPathName(const std::string& name);

// Drive and folder of a full path ("C:\a\b\setup.exe" gives "C:" and "\a\b\").
struct PathParts {
  std::string drive;
  std::string dir;
  std::string fname;
  std::string ext;
};
PathParts SplitPath(const std::string& path);

}  // namespace fw

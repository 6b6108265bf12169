// The setup log writer: each call appends one line to a plain text file and closes it again.
//
// Line layout: "YYYY-MM-DD HH:MM:SS  <text>" followed by CR LF, the time being local time.
// The text is the format with each "%s" filled in order from the arguments (anything else
// in the format is copied as it stands).
#pragma once

#include <initializer_list>
#include <string>

namespace cls {

class CLog {
 public:
  // Answers 1 when the line was written, 0 when the file could not be opened.
  static int Write(const std::string& file, const std::string& format,
                   std::initializer_list<std::string> args = {});
};

}  // namespace cls

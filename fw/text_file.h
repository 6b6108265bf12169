// Reads a file through the port as a C runtime text stream does: CR LF arrives as LF, and
// each ReadString hands out one line (with its LF) or, for a longer line, the next piece
// of at most maxChars characters.
#pragma once

#include <cstddef>
#include <string>

#include "os/system.h"

namespace fw {

class TextFileReader {
 public:
  explicit TextFileReader(const std::string& path);
  ~TextFileReader();
  TextFileReader(const TextFileReader&) = delete;
  TextFileReader& operator=(const TextFileReader&) = delete;

  bool IsOpen() const { return file_ != 0; }
  // False at the end of the file.
  bool ReadString(std::size_t maxChars, std::string* piece);

 private:
  bool Fill();

  os::Handle file_ = 0;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool eof_ = false;
};

}  // namespace fw

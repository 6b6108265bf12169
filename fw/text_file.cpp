#include "fw/text_file.h"

namespace fw {

TextFileReader::TextFileReader(const std::string& path) {
  file_ = os::sys().OpenFile(path, os::kGenericRead, os::kFileShareRead | os::kFileShareWrite,
                             os::kOpenExisting);
}

TextFileReader::~TextFileReader() {
  if (file_ != 0) os::sys().CloseHandle(file_);
}

bool TextFileReader::Fill() {
  if (eof_) return false;
  std::string chunk;
  if (!os::sys().ReadFile(file_, 65536, &chunk) || chunk.empty()) {
    eof_ = true;
    return false;
  }
  buffer_.erase(0, pos_);
  pos_ = 0;
  buffer_ += chunk;
  return true;
}

bool TextFileReader::ReadString(std::size_t maxChars, std::string* piece) {
  piece->clear();
  if (file_ == 0 || maxChars == 0) return false;
  while (piece->size() < maxChars) {
    if (pos_ >= buffer_.size() && !Fill()) break;
    char c = buffer_[pos_];
    if (c == '\r') {
      // A CR directly before an LF is dropped; the LF may still be in the file.
      if (pos_ + 1 >= buffer_.size()) Fill();
      if (pos_ + 1 < buffer_.size() && buffer_[pos_ + 1] == '\n') {
        ++pos_;
        continue;
      }
    }
    ++pos_;
    *piece += c;
    if (c == '\n') break;
  }
  return !piece->empty();
}

}  // namespace fw

// The installer log's tail, UTF-16 as Windows writes it, turned into ANSI text.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "install/after_install.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text = install::ConvertLogTail(bytes);
  fuzz::Require(text.size() <= bytes.size() / 2 && text.size() <= 4000);
  return 0;
}

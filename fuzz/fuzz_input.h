// Splits a fuzzer's bytes into texts, so that one input can feed several arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// The input cut at NUL bytes into at most `count` texts (the last keeps any further NULs);
// missing texts are empty.
inline std::vector<std::string> Split(const std::uint8_t* data, std::size_t size,
                                      std::size_t count) {
  std::vector<std::string> parts(count);
  std::string all(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (std::size_t i = 0; i < count && start <= all.size(); ++i) {
    std::size_t nul = i + 1 < count ? all.find('\0', start) : std::string::npos;
    if (nul == std::string::npos) {
      parts[i] = all.substr(start);
      break;
    }
    parts[i] = all.substr(start, nul - start);
    start = nul + 1;
  }
  return parts;
}

// A broken invariant is a finding: abort so the fuzzer keeps the input.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace fuzz

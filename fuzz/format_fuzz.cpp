// The one formatter of medium texts and its shape check: any format, any arguments.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fw/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = fuzz::Split(data, size, 3);
  const std::string& format = parts[0];
  std::string out = fw::FormatText(format, {parts[1], parts[2]});
  fuzz::Require(out.size() <= format.size() + parts[1].size() + parts[2].size());
  if (format.find('%') == std::string::npos) fuzz::Require(out == format);
  fuzz::Require(fw::FormatText(format).size() <= format.size());

  fw::FormatShape shape = fw::InspectFormat(format);
  std::size_t percents = 0;
  for (char ch : format) percents += ch == '%';
  fuzz::Require(shape.conversions >= 0 && static_cast<std::size_t>(shape.conversions) <= percents);
  if (percents == 0) fuzz::Require(shape.conversions == 0 && shape.onlyStrings);
  return 0;
}

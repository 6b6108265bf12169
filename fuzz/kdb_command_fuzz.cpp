// setup.inf's Command_KDB: checked as a format, then filled with the three texts.
#include <cstdint>
#include <string>

#include "components/shared_components.h"
#include "fuzz/fuzz_input.h"
#include "fw/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = fuzz::Split(data, size, 2);
  const std::string& format = parts[0];
  const std::string folder = parts[1];
  auto command = components::KdbCommandLine(format, folder, "C:\\m\\setup.icf", "scc.rsp");
  fw::FormatShape shape = fw::InspectFormat(format);
  fuzz::Require(command.has_value() == (shape.onlyStrings && shape.conversions <= 3));
  if (command) fuzz::Require(command->size() <= format.size() + folder.size() + 15 + 7);
  return 0;
}

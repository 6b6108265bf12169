// Trailing backslashes of a path in the Japanese code page, where a backslash byte can be
// the trail byte of a double-byte character.
#include <cstdint>
#include <string>

#include "app/setup_log.h"
#include "fuzz/fuzz_input.h"
#include "os/sim/sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static os::ScopedSimMachine* sim = [] {
    auto* machine = new os::ScopedSimMachine;
    (*machine)->SetCodePage(932);
    return machine;
  }();
  (void)sim;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string path = input;
  std::size_t length = app::StripTrailingBackslashes(path);
  fuzz::Require(length == path.size() && input.compare(0, length, path) == 0);
  // Only backslashes are taken away.
  fuzz::Require(input.find_first_not_of('\\', length) == std::string::npos);
  std::string again = path;
  fuzz::Require(app::StripTrailingBackslashes(again) == length);

  std::string added = input;
  app::AddTrailingBackslash(added);
  fuzz::Require(added.empty() == path.empty());
  if (!added.empty()) fuzz::Require(added == path + '\\');
  return 0;
}

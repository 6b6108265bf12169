// setup.inf's [Upgrade] GUIDLL, whose "%s" takes the language folder.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "install/upgrade_plugin.h"
#include "os/sim/sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static os::ScopedSimMachine* sim = new os::ScopedSimMachine;
  auto parts = fuzz::Split(data, size, 2);
  (*sim)->WriteFileText("D:\\setup.inf", "[Upgrade]\r\nGUIDLL=" + parts[0] + "\r\n");
  std::string name = install::PluginLibraryName("D:\\setup.inf", parts[1]);
  fuzz::Require(name.size() <= 259 + 259 * parts[1].size());
  return 0;
}

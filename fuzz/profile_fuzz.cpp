// The simulated machine's private-profile reader over any file bytes: the INI files every
// other test writes are read by it.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "os/sim/sim_machine.h"

namespace {

constexpr const char* kIni = "D:\\setup.inf";

// A section and key of the file itself, so the fuzzer reaches lookups that hit.
void FirstNames(const std::string& bytes, std::string* section, std::string* key) {
  std::size_t open = bytes.find('[');
  std::size_t close = bytes.find(']', open == std::string::npos ? 0 : open);
  if (open != std::string::npos && close != std::string::npos)
    *section = bytes.substr(open + 1, close - open - 1);
  std::size_t equals = bytes.find('=', close == std::string::npos ? 0 : close);
  if (equals != std::string::npos) {
    std::size_t start = bytes.find_last_of("\r\n", equals);
    start = start == std::string::npos ? 0 : start + 1;
    *key = bytes.substr(start, equals - start);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static os::SimMachine* sim = new os::SimMachine;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sim->SetCodePage(size > 0 && (data[0] & 1) ? 932 : 1252);
  sim->WriteFileText(kIni, bytes);
  std::string section = "Setup", key = "LogFile";
  FirstNames(bytes, &section, &key);
  for (std::size_t buffer : {std::size_t{1}, std::size_t{2}, std::size_t{260}, std::size_t{520}}) {
    std::string value = sim->ProfileString(kIni, section, key, "'default'", buffer);
    fuzz::Require(value.size() < buffer);
    fuzz::Require(sim->ProfileString(kIni, "", "", "", buffer).size() < buffer);
  }
  sim->ProfileInt(kIni, section, key, -7);
  sim->ProfileInt(kIni, "Setup", "MultiLanguage", 0);
  return 0;
}

// The contract suite's side on the simulated machine: a fresh machine for every case.
#include <map>
#include <memory>

#include "os/sim/sim_machine.h"
#include "tests/contract/contract_side.h"

namespace contract {
namespace {

class SimSide : public Side {
 public:
  SimSide() { machine_->MakeDirectory(kScratch); }
  os::System& Port() override { return *machine_; }
  std::string ScratchFolder() override { return kScratch; }
  void MakeProgram(const std::string& path, std::uint32_t exitCode) override {
    machine_->RegisterProgram(path, [exitCode](os::SimMachine& machine, const os::SimLaunch& run) {
      std::string folder = run.workDir;
      if (folder.empty() || folder.back() != '\\') folder += '\\';
      machine.WriteFileText(folder + kProgramMarker, "ran");
      return exitCode;
    });
  }
  void UseTwoRegistryViews() override { machine_->Set64BitWindows(true); }

 private:
  static constexpr const char* kScratch = "C:\\TEMP\\contract";
  os::ScopedSimMachine machine_;
};

}  // namespace

std::unique_ptr<Side> NewSide() { return std::make_unique<SimSide>(); }

}  // namespace contract

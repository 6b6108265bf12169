// The contract suite's side on real Windows (or Wine): a scratch folder under TEMP and
// copies of the exitwith helper, which exits with the number in "<its path>.code".
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "os/win32/win32_system.h"
#include "tests/contract/contract_side.h"

namespace contract {
namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

class Win32Side : public Side {
 public:
  Win32Side() {
    os::SetSystem(&os::Win32());
    static unsigned counter = 0;
    os::System& port = os::Win32();
    scratch_ = port.TempPath() + "port-contract-" + std::to_string(port.TickCount()) + "-" +
               std::to_string(++counter);
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
    port.CreateDirectory(scratch_);
  }
  ~Win32Side() override {
    std::error_code ignored;
    for (const std::string& path : made_) std::filesystem::remove(path, ignored);
    std::filesystem::remove_all(scratch_, ignored);
    os::SetSystem(nullptr);
  }
  os::System& Port() override { return os::Win32(); }
  std::string ScratchFolder() override { return scratch_; }
  void MakeProgram(const std::string& path, std::uint32_t exitCode) override {
    os::System& port = os::Win32();
    std::string helper = FolderOf(port.ModuleFileName()) + "\\contract_exitwith.exe";
    std::error_code ignored;
    std::filesystem::copy_file(helper, path, std::filesystem::copy_options::overwrite_existing,
                               ignored);
    std::string codeFile = path + ".code";
    os::Handle file = port.OpenFile(codeFile, os::kGenericWrite, 0, os::kCreateAlways);
    port.WriteFile(file, std::to_string(exitCode));
    port.CloseHandle(file);
    made_.push_back(path);
    made_.push_back(codeFile);
  }
  void UseTwoRegistryViews() override {}  // the prefix is 64-bit Windows already

 private:
  std::string scratch_;
  std::vector<std::string> made_;
};

}  // namespace

std::unique_ptr<Side> NewSide() { return std::make_unique<Win32Side>(); }

}  // namespace contract

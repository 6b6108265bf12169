#include "cls/setup_icf.h"

#include "os/system.h"

namespace cls {

CSetupIcf::CSetupIcf(const std::string& path) : path_(path) {}

std::string CSetupIcf::Read(const char* key) const {
  if (path_.empty()) return std::string();
  return os::sys().ProfileString(path_, "SCC", key, "", 260);
}

}  // namespace cls

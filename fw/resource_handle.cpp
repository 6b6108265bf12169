#include "fw/resource_handle.h"

#include <atomic>

namespace fw {

namespace {

std::atomic<os::Handle> g_resourceModule{0};

}  // namespace

os::Handle ResourceHandle() {
  os::Handle module = g_resourceModule.load();
  return module != 0 ? module : os::sys().ModuleHandle();
}

void SetResourceHandle(os::Handle module) { g_resourceModule.store(module); }

}  // namespace fw

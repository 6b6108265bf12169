#include "os/system.h"

#include <cstdlib>

namespace os {

namespace {
System* g_system = nullptr;
}

System& sys() {
  if (g_system == nullptr) std::abort();  // a program or test forgot to install its port
  return *g_system;
}

void SetSystem(System* system) { g_system = system; }

System* CurrentSystem() { return g_system; }

}  // namespace os

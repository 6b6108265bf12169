#include "install/install_worker.h"

#include "fw/application.h"
#include "os/system.h"

namespace install {

// Until the installer run is in place, the worker ends the program at once.
std::uint32_t InstallWorker(void*) {
  if (fw::Application* app = fw::App())
    os::sys().PostThreadMessage(app->m_nThreadID, os::kWmQuit, 0, 0);
  return 0;
}

}  // namespace install

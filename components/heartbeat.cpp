#include "components/heartbeat.h"

#include <cstdlib>

#include "cls/remote_mailslot.h"
#include "fw/application.h"

namespace components {

namespace {
constexpr std::size_t kComputerNameBuffer = 260;
constexpr const char* kHeartbeatSource = "TALVERON";

// The heartbeat of the shared-component install in progress, stopped before the process
// is ended from anywhere inside that install.
CHeartbeat* g_running = nullptr;
}  // namespace

void SendHeartbeat(std::uint32_t code, std::uint32_t level, const std::string& text,
                   std::uint32_t position, std::uint32_t level2) {
  std::string computer = os::sys().ComputerName(kComputerNameBuffer).value_or("");
  cls::CRemoteMailslot::SendStatus(computer, code, level, kHeartbeatSource, text, position, level2);
}

bool HeartbeatPass(HeartbeatCounters& c, os::Handle stopEvent) {
  if (c.position > 100) {
    c.position = 0;
    ++c.lap;
  }
  SendHeartbeat(kHeartbeatCode, kHeartbeatLevel, "", c.position, c.level);
  if (os::sys().WaitForSingleObject(stopEvent, kHeartbeatIntervalMs) != os::kWaitTimeout)
    return false;
  ++c.position;
  if (c.level <= 80 && c.lap % 10 == 9) ++c.level;
  return true;
}

std::uint32_t DatabaseHeartbeatThread(os::Handle stopEvent) {
  HeartbeatCounters counters;
  while (HeartbeatPass(counters, stopEvent)) {
  }
  return 0;
}

void CHeartbeat::Start() {
  os::System& sys = os::sys();
  if (thread_ != 0) return;
  // Without a stop event the beats could not be stopped: then none are sent.
  stopEvent_ = sys.CreateEvent(true, false);
  if (stopEvent_ == 0) return;
  os::Handle stop = stopEvent_;
  thread_ =
      fw::BeginThread([stop] { return DatabaseHeartbeatThread(stop); }, os::kThreadPriorityNormal);
  if (thread_ == 0) {
    sys.CloseHandle(stopEvent_);
    stopEvent_ = 0;
    return;
  }
  g_running = this;
}

void CHeartbeat::Stop() {
  os::System& sys = os::sys();
  if (g_running == this) g_running = nullptr;
  if (thread_ != 0) {
    sys.SetEvent(stopEvent_);
    sys.WaitForSingleObject(thread_, os::kInfinite);
    sys.CloseHandle(thread_);
    thread_ = 0;
  }
  if (stopEvent_ != 0) {
    sys.CloseHandle(stopEvent_);
    stopEvent_ = 0;
  }
}

void EndSetupProcess() {
  if (g_running != nullptr) g_running->Stop();
  os::sys().ExitProcess(1);
  std::abort();  // not reached: the port's ExitProcess does not return
}

}  // namespace components

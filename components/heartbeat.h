// The database heartbeat: while the shared components install, a thread tells the status
// channel every 10 seconds that this computer is still busy with the database.
#pragma once

#include <cstdint>
#include <string>

#include "os/system.h"

namespace components {

constexpr std::uint32_t kHeartbeatCode = 38;
constexpr std::uint32_t kHeartbeatLevel = 1;
constexpr std::uint32_t kHeartbeatIntervalMs = 10000;

// Sends one heartbeat status from this computer (source "TALVERON").
void SendHeartbeat(std::uint32_t code, std::uint32_t level, const std::string& text,
                   std::uint32_t position, std::uint32_t level2);

// The progress numbers a heartbeat carries: the position runs 5..100 in the first lap and
// 0..100 in every later one; the level rises by one per beat during the tenth lap, to 81.
struct HeartbeatCounters {
  std::uint32_t lap = 0;
  std::uint32_t position = 5;
  std::uint32_t level = 5;
};

// One pass of the heartbeat loop: sends a beat, then waits up to 10 s for the stop event.
// False when the heartbeat is to end (stopped, or the wait failed).
bool HeartbeatPass(HeartbeatCounters& counters, os::Handle stopEvent);

// The heartbeat thread's body: beats until the stop event is set.
std::uint32_t DatabaseHeartbeatThread(os::Handle stopEvent);

// A running heartbeat. Stop returns only once the thread has ended, so no beat goes out
// afterwards; the destructor stops it too.
class CHeartbeat {
 public:
  CHeartbeat() = default;
  ~CHeartbeat() { Stop(); }
  CHeartbeat(const CHeartbeat&) = delete;
  CHeartbeat& operator=(const CHeartbeat&) = delete;

  void Start();
  void Stop();

 private:
  os::Handle stopEvent_ = 0;
  os::Handle thread_ = 0;
};

// Ends the setup at once with exit code 1 after stopping the running heartbeat.
[[noreturn]] void EndSetupProcess();

}  // namespace components

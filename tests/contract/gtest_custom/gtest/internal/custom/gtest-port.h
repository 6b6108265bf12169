// GoogleTest's hook for platform adjustments, found before its own (empty) one in the
// Windows builds. MinGW's win32 thread model has no std::mutex or std::condition_variable,
// which GoogleTest's Notification is built on; this one waits by spinning instead. Only
// GoogleTest's own thread helpers use it.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

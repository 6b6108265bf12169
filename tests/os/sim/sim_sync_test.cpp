// The virtual clock, threads, waits, events, mutexes and messages of the simulated machine.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "os/sim/sim_machine.h"

namespace {

using os::SimMachine;

TEST(SimClock, SleepAdvancesAtOnceAndTickCountWraps) {
  SimMachine m;
  EXPECT_EQ(m.TickCount(), 0u);
  m.Sleep(1500);
  EXPECT_EQ(m.NowMs(), 1500u);
  EXPECT_EQ(m.TickCount(), 1500u);
  m.AdvanceClock((std::uint64_t{1} << 32) - 1500 + 7);
  EXPECT_EQ(m.TickCount(), 7u);
  EXPECT_EQ(m.NowMs(), (std::uint64_t{1} << 32) + 7);
}

TEST(SimClock, TimedWaitsAdvanceByTheirTimeOut) {
  SimMachine m;
  os::Handle event = m.CreateEvent(false, false);
  EXPECT_EQ(m.WaitForSingleObject(event, 0), os::kWaitTimeout);
  EXPECT_EQ(m.NowMs(), 0u);
  EXPECT_EQ(m.WaitForSingleObject(event, 250), os::kWaitTimeout);
  EXPECT_EQ(m.NowMs(), 250u);
  ASSERT_TRUE(m.SetEvent(event));
  EXPECT_EQ(m.WaitForSingleObject(event, 250), os::kWaitObject0);
  EXPECT_EQ(m.NowMs(), 250u);
  EXPECT_EQ(m.WaitForSingleObject(0x12345, 0), os::kWaitFailed);
  EXPECT_EQ(m.LastError(), os::kErrorInvalidHandle);
  m.CloseHandle(event);
}

// The launcher's heartbeat: a thread that beats every 10 s until a stop event is set.
TEST(SimClock, HeartbeatThreadBeatsOncePerTenVirtualSeconds) {
  os::ScopedSimMachine sim;
  SimMachine& m = *sim;
  m.RegisterProgramExitCode("C:\\TEMP\\msiexec.exe", 0, 35000);
  os::Handle stop = m.CreateEvent(true, false);
  std::vector<std::uint64_t> beats;
  os::Handle heartbeat = m.StartThread(
      [&] {
        while (m.WaitForSingleObject(stop, 10000) == os::kWaitTimeout) beats.push_back(m.NowMs());
        return 0u;
      },
      os::kThreadPriorityNormal);
  ASSERT_NE(heartbeat, 0u);
  // Work that takes no virtual time: no beat, however long it takes for real.
  for (int i = 0; i < 1000; ++i) m.TickCount();
  EXPECT_EQ(m.NowMs(), 0u);

  os::ProcessStart start;
  start.commandLine = "C:\\TEMP\\msiexec.exe /i x.msi";
  os::ProcessInfo info;
  ASSERT_TRUE(m.CreateProcess(start, &info));
  EXPECT_EQ(m.WaitForSingleObject(info.process, os::kInfinite), os::kWaitObject0);
  EXPECT_EQ(m.NowMs(), 35000u);
  m.Sleep(5000);  // 40 s: the fourth beat is due with it
  ASSERT_TRUE(m.SetEvent(stop));
  EXPECT_EQ(m.WaitForSingleObject(heartbeat, os::kInfinite), os::kWaitObject0);
  EXPECT_EQ(beats, (std::vector<std::uint64_t>{10000, 20000, 30000, 40000}));
  m.CloseHandle(heartbeat);
  m.CloseHandle(info.process);
  m.CloseHandle(info.thread);
  m.CloseHandle(stop);
}

TEST(SimClock, SleepInAnyThreadMovesTheOneClock) {
  SimMachine m;
  os::Handle t = m.StartThread(
      [&] {
        m.Sleep(300);
        return m.TickCount();
      },
      os::kThreadPriorityNormal);
  EXPECT_EQ(m.WaitForSingleObject(t, os::kInfinite), os::kWaitObject0);
  EXPECT_EQ(m.NowMs(), 300u);
  m.CloseHandle(t);
}

TEST(SimThreads, LastErrorIsPerThread) {
  SimMachine m;
  m.SetLastError(5);
  std::atomic<std::uint32_t> seen{99};
  os::Handle t = m.StartThread(
      [&] {
        seen = m.LastError();
        m.SetLastError(87);
        return 0u;
      },
      os::kThreadPriorityNormal);
  m.WaitForSingleObject(t, os::kInfinite);
  EXPECT_EQ(seen, 0u);
  EXPECT_EQ(m.LastError(), 5u);
  EXPECT_NE(m.CurrentThreadId(), 0u);
  m.CloseHandle(t);
}

TEST(SimThreads, ExitProcessThrowsAndEndsAThread) {
  SimMachine m;
  EXPECT_THROW(m.ExitProcess(3), os::SimProcessExit);
  os::Handle t = m.StartThread(
      [&]() -> std::uint32_t {
        m.ExitProcess(9);
        return 0;  // not reached
      },
      os::kThreadPriorityNormal);
  EXPECT_EQ(m.WaitForSingleObject(t, os::kInfinite), os::kWaitObject0);
  EXPECT_EQ(m.ExitProcessCode(), 3u);
  m.CloseHandle(t);
}

TEST(SimMutexes, NamedMutexRules) {
  SimMachine m;
  os::Handle mine = m.CreateMutex("Product Setup", true);
  ASSERT_NE(mine, 0u);
  EXPECT_EQ(m.LastError(), 0u);
  EXPECT_EQ(m.WaitForSingleObject(mine, 0), os::kWaitObject0);  // the owner re-enters
  os::Handle again = m.CreateMutex("Local\\Product Setup", true);
  EXPECT_EQ(m.LastError(), os::kErrorAlreadyExists);
  std::atomic<std::uint32_t> other{0};
  os::Handle t = m.StartThread(
      [&] {
        other = m.WaitForSingleObject(again, 0);
        return 0u;
      },
      os::kThreadPriorityNormal);
  m.WaitForSingleObject(t, os::kInfinite);
  EXPECT_EQ(other, os::kWaitTimeout);  // another thread holds it
  m.CloseHandle(t);
  m.CloseHandle(again);
  m.CloseHandle(mine);
  os::Handle fresh = m.CreateMutex("Product Setup", false);
  EXPECT_EQ(m.LastError(), 0u);  // the last handle closed: the name was free
  m.CloseHandle(fresh);

  EXPECT_EQ(m.CreateMutex("a\\b", false), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorBadPathname);
  os::Handle global = m.CreateMutex("Global\\x", false);
  EXPECT_NE(global, 0u);
  m.CloseHandle(global);
}

TEST(SimMutexes, HeldByAnotherProcess) {
  SimMachine m;
  m.HoldMutexElsewhere("Agent");
  os::Handle h = m.CreateMutex("Agent", true);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(m.LastError(), os::kErrorAlreadyExists);
  EXPECT_EQ(m.WaitForSingleObject(h, 0), os::kWaitTimeout);
  EXPECT_EQ(m.WaitForSingleObject(h, 2000), os::kWaitTimeout);
  EXPECT_EQ(m.NowMs(), 2000u);
  m.ReleaseMutexElsewhere("Agent");
  EXPECT_EQ(m.WaitForSingleObject(h, 0), os::kWaitObject0);
  m.CloseHandle(h);
}

TEST(SimMessages, LoopEndsOnQuitPostedFromAnotherThread) {
  SimMachine m;
  std::uint32_t main = m.CurrentThreadId();
  os::Handle worker = m.StartThread(
      [&] {
        m.Sleep(1000);
        m.PostThreadMessage(main, os::kWmUser + 1, 0, 0);  // dropped by the loop
        m.PostThreadMessage(main, os::kWmQuit, 42, 0);
        return 0u;
      },
      os::kThreadPriorityNormal);
  EXPECT_EQ(m.RunMessageLoop(), 42);
  EXPECT_EQ(m.NowMs(), 1000u);
  m.WaitForSingleObject(worker, os::kInfinite);
  m.CloseHandle(worker);
  EXPECT_FALSE(m.PostThreadMessage(0x7777, os::kWmQuit, 0, 0));
  m.PostQuitMessage(5);
  EXPECT_EQ(m.RunMessageLoop(), 5);
}

TEST(SimMessages, MsgWaitWakesOnInputUntilPumped) {
  SimMachine m;
  os::Handle never = m.CreateEvent(true, false);
  EXPECT_EQ(m.MsgWaitForSingleObject(never, 100), os::kWaitTimeout);
  ASSERT_TRUE(m.PostThreadMessage(m.CurrentThreadId(), os::kWmUser, 0, 0));
  EXPECT_EQ(m.MsgWaitForSingleObject(never, os::kInfinite), os::kWaitObject0 + 1);
  m.PumpPendingMessages();
  EXPECT_EQ(m.MsgWaitForSingleObject(never, 100), os::kWaitTimeout);
  EXPECT_EQ(m.NowMs(), 200u);
  m.CloseHandle(never);
}

// A main window that ends the loop when told the setup has finished, as the launcher's.
class Window : public os::MainWindowEvents {
 public:
  explicit Window(SimMachine& m) : m_(m) {}
  bool TitleWanted() override { return true; }
  void OnUserMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) override {
    got.push_back(message);
    m_.DestroyWindow(handle);
    m_.PostQuitMessage(static_cast<int>(wParam));
  }
  void OnDestroyed() override { destroyed = true; }
  SimMachine& m_;
  os::Handle handle = 0;
  std::vector<std::uint32_t> got;
  bool destroyed = false;
};

TEST(SimWindows, WindowMessagesAreDispatchedByTheLoop) {
  SimMachine m;
  Window events(m);
  os::MainWindowSpec shape;
  shape.caption = "Install";
  events.handle = m.CreateMainWindow(shape, &events);
  ASSERT_NE(events.handle, 0u);
  m.PaintWindowNow(events.handle);
  os::Handle worker = m.StartThread(
      [&] {
        m.Sleep(50);
        EXPECT_FALSE(m.DestroyWindow(events.handle));  // not its thread's window
        return m.PostWindowMessage(events.handle, os::kWmUser + 100, 3, 0) ? 0u : 1u;
      },
      os::kThreadPriorityNormal);
  EXPECT_EQ(m.RunMessageLoop(), 3);
  m.WaitForSingleObject(worker, os::kInfinite);
  m.CloseHandle(worker);
  EXPECT_EQ(events.got, std::vector<std::uint32_t>{os::kWmUser + 100});
  EXPECT_TRUE(events.destroyed);
  std::vector<os::SimWindow> windows = m.Windows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].shape.caption, "Install");
  EXPECT_EQ(windows[0].titlePaints, 1);
  EXPECT_TRUE(windows[0].destroyed);
  EXPECT_FALSE(m.PostWindowMessage(events.handle, os::kWmUser, 0, 0));
}

}  // namespace

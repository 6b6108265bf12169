// The launcher's main window, simulated: a record of what it was made with, a paint that
// asks the launcher whether the title is wanted, and messages posted to it through the
// queue of the thread that made it. The thread's message loop (or PumpPendingMessages)
// dispatches them: a private message (kWmUser up to 0x7FFF) goes to OnUserMessage,
// WM_CLOSE destroys the window, others are dropped. Destroying it (from its own thread, as
// Windows requires) calls OnDestroyed. The launcher's code runs without the machine's lock.
#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

constexpr std::uint32_t kErrInvalidWindowHandle = 1400;
constexpr std::uint32_t kWmClose = 0x0010;

WindowRec* LiveWindow(SimState& s, Handle window) {
  auto it = s.windows.find(window);
  if (it == s.windows.end() || it->second.info.destroyed) {
    SetError(s, kErrInvalidWindowHandle);
    return nullptr;
  }
  return &it->second;
}

// Marks the window gone, drops its queued messages and tells the launcher (unlocked).
void Destroy(SimState& s, std::unique_lock<std::mutex>& lock, WindowRec& w) {
  w.info.destroyed = true;
  for (const auto& t : s.threads) {
    std::deque<PostedMessage>& q = t->queue;
    for (auto it = q.begin(); it != q.end();)
      it = it->window == w.info.handle ? q.erase(it) : it + 1;
  }
  MainWindowEvents* events = w.events;
  lock.unlock();
  if (events != nullptr) events->OnDestroyed();
  lock.lock();
}

}  // namespace

namespace sim {

void DispatchToWindow(SimState& s, std::unique_lock<std::mutex>& lock, const PostedMessage& m) {
  auto it = s.windows.find(m.window);
  if (it == s.windows.end() || it->second.info.destroyed) return;
  WindowRec& w = it->second;
  if (m.message == kWmClose) {
    Destroy(s, lock, w);
  } else if (m.message >= kWmUser && m.message < 0x8000) {
    w.info.userMessages.push_back(m.message);
    MainWindowEvents* events = w.events;
    lock.unlock();
    if (events != nullptr) events->OnUserMessage(m.message, m.wParam, m.lParam);
    lock.lock();
  }
}

}  // namespace sim

std::vector<SimWindow> SimMachine::Windows() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::vector<SimWindow> out;
  for (const auto& entry : state_->windows) out.push_back(entry.second.info);
  return out;
}

void SimMachine::SetMainWindowFails(bool fails) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->mainWindowFails = fails;
}

Handle SimMachine::CreateMainWindow(const MainWindowSpec& shape, MainWindowEvents* events) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (s.mainWindowFails) {
    SetError(s, kErrorNotEnoughMemory);
    return 0;
  }
  Handle h = s.nextWindow;
  s.nextWindow += 0x10;
  WindowRec& w = s.windows[h];
  w.info.handle = h;
  w.info.shape = shape;
  w.events = events;
  w.thread = Self(s).id;
  return h;
}

void SimMachine::PaintWindowNow(Handle window) {
  std::unique_lock<std::mutex> lock(state_->mu);
  WindowRec* w = LiveWindow(*state_, window);
  if (w == nullptr || w->events == nullptr) return;
  MainWindowEvents* events = w->events;
  lock.unlock();
  bool title = events->TitleWanted();
  lock.lock();
  if ((w = LiveWindow(*state_, window)) == nullptr) return;
  ++w->info.paints;
  if (title) ++w->info.titlePaints;
}

bool SimMachine::PostWindowMessage(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  WindowRec* w = LiveWindow(s, window);
  if (w == nullptr) return false;
  for (const auto& t : s.threads) {
    if (t->id == w->thread && !t->finished) {
      t->queue.push_back(PostedMessage{window, message, wParam, lParam});
      Settle(s);
      return true;
    }
  }
  SetError(s, kErrInvalidWindowHandle);  // its thread has ended, and the window with it
  return false;
}

bool SimMachine::DestroyWindow(Handle window) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  bool waitBoxDestroyed = false;
  if (DestroyWaitBox(s, window, &waitBoxDestroyed)) return waitBoxDestroyed;
  WindowRec* w = LiveWindow(s, window);
  if (w == nullptr) return false;
  if (w->thread != Self(s).id) {  // only the window's own thread may destroy it
    SetError(s, kErrorAccessDenied);
    return false;
  }
  Destroy(s, lock, *w);
  return true;
}

}  // namespace os

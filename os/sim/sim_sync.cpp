// The virtual clock, threads, waits, events, mutexes and thread messages.
//
// The clock moves only when every participating thread waits. The participants are the
// thread that made the machine (unless it opts out, SetClockParticipant) and the threads
// of StartThread while they run. A thread that waits (Sleep, a timed wait, a wait for a
// process) registers what it waits for and until when; whenever no participant is left
// running, the clock jumps to the earliest such time and the waits that are due return.
// A thread woken that way counts as running again until it waits anew, so the clock never
// runs ahead of a thread that still has work to do at the current time.
//
// This makes the launcher's threads deterministic: a heartbeat thread that waits on a
// stop event for 10 s per beat sends exactly one beat per 10 virtual seconds that the
// other threads spend waiting (say, for a program to end), and none while they compute.
// With one thread the rules reduce to: Sleep(ms) and timed waits advance the clock and
// return at once. Waits on threads (and RunMessageLoop) block for real, as they must.
//
// Beware: a participant blocked outside the machine (on a lock of its own, or joining a
// std::thread for real) holds the clock back; a wait for virtual time then blocks for
// real, and after 5 s a warning on stderr says which thread holds the clock.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace sim {

ThreadRec& Self(SimState& s) {
  auto it = s.threadById.find(std::this_thread::get_id());
  if (it != s.threadById.end()) return *it->second;
  auto rec = std::make_shared<ThreadRec>();
  rec->id = s.nextThreadId;
  s.nextThreadId += 4;
  s.threads.push_back(rec);
  s.threadById[std::this_thread::get_id()] = rec.get();
  return *rec;
}

void SetError(SimState& s, std::uint32_t code) { Self(s).lastError = code; }

Handle NewHandle(SimState& s, HandleRec rec) {
  Handle h = s.nextHandle;
  s.nextHandle += 4;
  s.handles[h] = std::move(rec);
  return h;
}

HandleRec* FindHandle(SimState& s, Handle h) {
  auto it = s.handles.find(h);
  return it == s.handles.end() ? nullptr : &it->second;
}

std::uint64_t DeadlineAfter(const SimState& s, std::uint32_t timeoutMs) {
  return timeoutMs == kInfinite ? kNever : s.now + timeoutMs;
}

namespace {

bool Waiting(const ThreadRec& t) { return t.waiter != nullptr && !t.waiter->result; }

bool AnyParticipantRunning(const SimState& s) {
  for (const auto& t : s.threads)
    if (t->participant && !t->finished && !Waiting(*t)) return true;
  return false;
}

void WarnHeldClock(const SimState& s, const Waiter& w) {
  std::string running;
  for (const auto& t : s.threads)
    if (t->participant && !t->finished && !Waiting(*t)) running += " " + std::to_string(t->id);
  std::fprintf(stderr,
               "SimMachine: thread %u has waited 5 s (real time) for virtual time %llu; the "
               "clock (at %llu) moves only when every participating thread waits on the "
               "machine, and thread(s)%s run outside it (see SetClockParticipant)\n",
               w.thread->id, static_cast<unsigned long long>(std::min(w.deadline, w.wakeAt)),
               static_cast<unsigned long long>(s.now), running.c_str());
}

}  // namespace

void Settle(SimState& s) {
  bool woke = false;
  for (;;) {
    for (Waiter* w : s.waiters) {
      if (w->result) continue;
      if (s.shuttingDown) {
        w->result = kWaitFailed;
      } else if (std::optional<std::uint32_t> r = w->poll()) {
        w->result = r;
      } else if (w->deadline <= s.now) {
        w->result = w->timeoutResult;
      } else {
        continue;
      }
      woke = true;
    }
    if (s.shuttingDown || AnyParticipantRunning(s)) break;
    std::uint64_t next = kNever;
    for (const Waiter* w : s.waiters)
      if (!w->result) next = std::min({next, w->deadline, w->wakeAt});
    if (next == kNever || next <= s.now) break;
    s.now = next;
  }
  if (woke) s.cv.notify_all();
}

std::uint32_t Block(SimState& s, std::unique_lock<std::mutex>& lock,
                    std::function<std::optional<std::uint32_t>()> poll, std::uint64_t deadline,
                    std::uint32_t timeoutResult, std::uint64_t wakeAt) {
  if (std::optional<std::uint32_t> r = poll()) return *r;
  if (s.shuttingDown) return kWaitFailed;
  if (deadline <= s.now) return timeoutResult;
  ThreadRec& me = Self(s);
  Waiter w;
  w.poll = std::move(poll);
  w.deadline = deadline;
  w.wakeAt = wakeAt;
  w.timeoutResult = timeoutResult;
  w.thread = &me;
  s.waiters.push_back(&w);
  me.waiter = &w;
  Settle(s);
  bool warned = false;
  std::uint64_t clockAtStart = s.now;
  while (!w.result) {
    if (s.cv.wait_for(lock, std::chrono::seconds(5)) == std::cv_status::timeout && !w.result &&
        !warned && s.now == clockAtStart && std::min(deadline, wakeAt) != kNever) {
      WarnHeldClock(s, w);
      warned = true;
    }
  }
  s.waiters.remove(&w);
  me.waiter = nullptr;
  return *w.result;
}

}  // namespace sim

namespace {

std::optional<std::uint32_t> TryAcquire(MutexRec& m, std::uint32_t thread) {
  if (m.owner == thread) {
    ++m.recursion;
    return kWaitObject0;
  }
  if (m.owner != 0 || m.heldElsewhere) return std::nullopt;
  m.owner = thread;
  m.recursion = 1;
  bool abandoned = m.abandoned;
  m.abandoned = false;
  return abandoned ? kWaitAbandoned : kWaitObject0;
}

// The poll for a wait on the object, or an empty function for an object that is not
// waitable (error set). wakeAt: when the object turns signalled by the clock.
std::function<std::optional<std::uint32_t>()> PollFor(SimState& s, Handle object,
                                                      std::uint64_t* wakeAt) {
  HandleRec* rec = FindHandle(s, object);
  if (rec == nullptr) {
    SetError(s, kErrorInvalidHandle);
    return nullptr;
  }
  SimState* sp = &s;
  switch (rec->kind) {
    case Kind::kProcess:
    case Kind::kProcessThread: {
      std::shared_ptr<ProcessRec> p = rec->process;
      *wakeAt = p->endAt;
      return [sp, p]() -> std::optional<std::uint32_t> {
        if (sp->now >= p->endAt) return kWaitObject0;
        return std::nullopt;
      };
    }
    case Kind::kThread: {
      std::shared_ptr<ThreadRec> t = rec->thread;
      return [t]() -> std::optional<std::uint32_t> {
        if (t->finished) return kWaitObject0;
        return std::nullopt;
      };
    }
    case Kind::kEvent: {
      std::shared_ptr<EventRec> e = rec->event;
      return [e]() -> std::optional<std::uint32_t> {
        if (!e->signalled) return std::nullopt;
        if (!e->manualReset) e->signalled = false;
        return kWaitObject0;
      };
    }
    case Kind::kMutex: {
      std::shared_ptr<MutexRec> m = rec->mutex;
      std::uint32_t me = Self(s).id;
      return [m, me] { return TryAcquire(*m, me); };
    }
    case Kind::kFile:
    case Kind::kMailslot:
      return []() -> std::optional<std::uint32_t> { return kWaitObject0; };
  }
  return nullptr;
}

}  // namespace

// --- Clock ------------------------------------------------------------------------------

std::uint64_t SimMachine::NowMs() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->now;
}

void SimMachine::AdvanceClock(std::uint64_t ms) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (ms == 0) return;
  std::uint64_t deadline = ms >= kNever - s.now ? kNever - 1 : s.now + ms;
  Block(
      s, lock, [] { return std::optional<std::uint32_t>(); }, deadline, 0);
}

void SimMachine::Sleep(std::uint32_t ms) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (ms == 0) return;
  Block(
      s, lock, [] { return std::optional<std::uint32_t>(); }, DeadlineAfter(s, ms), 0);
}

std::uint32_t SimMachine::TickCount() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return static_cast<std::uint32_t>(state_->now);  // wraps as GetTickCount does
}

void SimMachine::SetClockParticipant(bool participates) {
  std::lock_guard<std::mutex> lock(state_->mu);
  Self(*state_).participant = participates;
  Settle(*state_);
}

// --- Errors -----------------------------------------------------------------------------

std::uint32_t SimMachine::LastError() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return Self(*state_).lastError;
}

void SimMachine::SetLastError(std::uint32_t code) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SetError(*state_, code);
}

// --- Waits ------------------------------------------------------------------------------

std::uint32_t SimMachine::WaitForSingleObject(Handle object, std::uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::uint64_t wakeAt = kNever;
  auto poll = PollFor(s, object, &wakeAt);
  if (!poll) return kWaitFailed;
  return Block(s, lock, std::move(poll), DeadlineAfter(s, timeoutMs), kWaitTimeout, wakeAt);
}

std::uint32_t SimMachine::MsgWaitForSingleObject(Handle object, std::uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::uint64_t wakeAt = kNever;
  auto objectPoll = PollFor(s, object, &wakeAt);
  if (!objectPoll) return kWaitFailed;
  ThreadRec* me = &Self(s);
  // A posted message (a quit included, as QS_ALLINPUT has it) ends the wait.
  auto poll = [objectPoll, me]() -> std::optional<std::uint32_t> {
    if (std::optional<std::uint32_t> r = objectPoll()) return r;
    if (!me->queue.empty() || me->quit) return kWaitObject0 + 1;
    return std::nullopt;
  };
  return Block(s, lock, poll, DeadlineAfter(s, timeoutMs), kWaitTimeout, wakeAt);
}

void SimMachine::PumpPendingMessages() {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  // As PeekMessage(PM_REMOVE) in a loop: everything goes, a quit too; window messages
  // are dispatched, thread messages have no window to go to.
  ThreadRec* me = &Self(s);
  while (!me->queue.empty()) {
    PostedMessage message = me->queue.front();
    me->queue.pop_front();
    if (message.window != 0) DispatchToWindow(s, lock, message);
  }
  me->quit.reset();
}

bool SimMachine::CloseHandle(Handle object) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  HandleRec* rec = FindHandle(s, object);
  if (rec == nullptr) {
    SetError(s, kErrorInvalidHandle);
    return false;
  }
  if (rec->kind == Kind::kMutex) {
    MutexRec& m = *rec->mutex;
    if (--m.handles == 0 && !m.heldElsewhere) {  // the object goes, and its name with it
      auto it = s.mutexes.find(m.key);
      if (!m.key.empty() && it != s.mutexes.end() && it->second == rec->mutex) s.mutexes.erase(it);
      m.owner = 0;
    }
  } else if (rec->kind == Kind::kMailslot) {
    auto it = s.mailslots.find(rec->mailslot->key);
    if (it != s.mailslots.end() && it->second == rec->mailslot) s.mailslots.erase(it);
  }
  s.handles.erase(object);
  Settle(s);
  return true;
}

// --- Threads ----------------------------------------------------------------------------

Handle SimMachine::StartThread(std::function<std::uint32_t()> body, int /*priority*/) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (s.shuttingDown) {
    SetError(s, kErrorNotEnoughMemory);
    return 0;
  }
  auto t = std::make_shared<ThreadRec>();
  t->id = s.nextThreadId;
  s.nextThreadId += 4;
  t->participant = true;
  t->started = true;
  s.threads.push_back(t);
  HandleRec rec;
  rec.kind = Kind::kThread;
  rec.thread = t;
  Handle h = NewHandle(s, rec);
  SimState* sp = &s;
  try {
    t->thread = std::thread([sp, t, body = std::move(body)] {
      {
        std::lock_guard<std::mutex> inner(sp->mu);
        sp->threadById[std::this_thread::get_id()] = t.get();
      }
      std::uint32_t code = 0;
      try {
        code = body();
      } catch (const SimProcessExit& exit) {
        code = exit.code;  // ExitProcess in a thread: the thread ends with the code
      } catch (const std::exception& e) {
        std::fprintf(stderr, "SimMachine: thread %u ended with an exception: %s\n", t->id,
                     e.what());
        code = 0xE06D7363;
      } catch (...) {
        std::fprintf(stderr, "SimMachine: thread %u ended with an exception\n", t->id);
        code = 0xE06D7363;
      }
      std::lock_guard<std::mutex> inner(sp->mu);
      t->exitCode = code;
      t->finished = true;
      sp->threadById.erase(std::this_thread::get_id());
      for (auto& entry : sp->handles) {  // mutexes it owned are abandoned
        if (entry.second.kind == Kind::kMutex && entry.second.mutex->owner == t->id) {
          entry.second.mutex->owner = 0;
          entry.second.mutex->abandoned = true;
        }
      }
      Settle(*sp);
    });
  } catch (const std::system_error&) {
    t->finished = true;
    s.handles.erase(h);
    SetError(s, kErrorNotEnoughMemory);
    return 0;
  }
  return h;
}

std::uint32_t SimMachine::CurrentThreadId() {
  std::lock_guard<std::mutex> lock(state_->mu);
  return Self(*state_).id;
}

void SimMachine::ExitProcess(std::uint32_t code) {
  {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (!state_->exitProcessCode) state_->exitProcessCode = code;
  }
  throw SimProcessExit{code};
}

std::optional<std::uint32_t> SimMachine::ExitProcessCode() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->exitProcessCode;
}

// --- Mutexes and events -----------------------------------------------------------------

namespace {

// The table key of a mutex name, or nullopt for a name Windows rejects. "Local\X" is X
// (one session); "Global\X" is its own.
std::optional<std::string> MutexKey(const std::string& name) {
  std::string rest = name, prefix;
  if (name.compare(0, 7, "Global\\") == 0) {
    prefix = "Global\\";
    rest = name.substr(7);
  } else if (name.compare(0, 6, "Local\\") == 0) {
    rest = name.substr(6);
  }
  if (rest.find('\\') != std::string::npos) return std::nullopt;
  return prefix + rest;
}

}  // namespace

Handle SimMachine::CreateMutex(const std::string& name, bool initialOwner) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::shared_ptr<MutexRec> m;
  std::uint32_t error = 0;
  if (!name.empty()) {
    std::optional<std::string> key = MutexKey(name);
    if (!key) {
      SetError(s, kErrorBadPathname);
      return 0;
    }
    auto it = s.mutexes.find(*key);
    if (it != s.mutexes.end()) {
      m = it->second;  // the existing object; initialOwner does not apply
      error = kErrorAlreadyExists;
    } else {
      m = std::make_shared<MutexRec>();
      m->key = *key;
      s.mutexes[*key] = m;
    }
  } else {
    m = std::make_shared<MutexRec>();
  }
  if (error == 0 && initialOwner) {
    m->owner = Self(s).id;
    m->recursion = 1;
  }
  ++m->handles;
  HandleRec rec;
  rec.kind = Kind::kMutex;
  rec.mutex = m;
  Handle h = NewHandle(s, rec);
  SetError(s, error);
  return h;
}

void SimMachine::HoldMutexElsewhere(const std::string& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::optional<std::string> key = MutexKey(name);
  if (!key) return;
  std::shared_ptr<MutexRec>& m = state_->mutexes[*key];
  if (!m) {
    m = std::make_shared<MutexRec>();
    m->key = *key;
  }
  m->heldElsewhere = true;
}

void SimMachine::ReleaseMutexElsewhere(const std::string& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::optional<std::string> key = MutexKey(name);
  auto it = key ? s.mutexes.find(*key) : s.mutexes.end();
  if (it == s.mutexes.end()) return;
  it->second->heldElsewhere = false;
  if (it->second->handles == 0) s.mutexes.erase(it);
  Settle(s);
}

Handle SimMachine::CreateEvent(bool manualReset, bool initialState) {
  std::lock_guard<std::mutex> lock(state_->mu);
  HandleRec rec;
  rec.kind = Kind::kEvent;
  rec.event = std::make_shared<EventRec>();
  rec.event->manualReset = manualReset;
  rec.event->signalled = initialState;
  Handle h = NewHandle(*state_, rec);
  SetError(*state_, 0);
  return h;
}

bool SimMachine::SetEvent(Handle event) {
  std::lock_guard<std::mutex> lock(state_->mu);
  HandleRec* rec = FindHandle(*state_, event);
  if (rec == nullptr || rec->kind != Kind::kEvent) {
    SetError(*state_, kErrorInvalidHandle);
    return false;
  }
  rec->event->signalled = true;
  Settle(*state_);
  return true;
}

// --- Thread messages --------------------------------------------------------------------

int SimMachine::RunMessageLoop() {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  ThreadRec* me = &Self(s);
  for (;;) {
    while (!me->queue.empty()) {  // posted messages come before a PostQuitMessage
      PostedMessage message = me->queue.front();
      me->queue.pop_front();
      if (message.window != 0)
        DispatchToWindow(s, lock, message);
      else if (message.message == kWmQuit)
        return static_cast<int>(message.wParam);
    }
    if (me->quit) {
      int code = *me->quit;
      me->quit.reset();
      return code;
    }
    auto poll = [me]() -> std::optional<std::uint32_t> {
      if (!me->queue.empty() || me->quit) return kWaitObject0;
      return std::nullopt;
    };
    if (Block(s, lock, poll, kNever, kWaitTimeout) == kWaitFailed) return -1;
  }
}

void SimMachine::PostQuitMessage(int code) {
  std::lock_guard<std::mutex> lock(state_->mu);
  Self(*state_).quit = code;
  Settle(*state_);
}

bool SimMachine::PostThreadMessage(std::uint32_t threadId, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  for (const auto& t : s.threads) {
    if (t->id == threadId && !t->finished) {
      t->queue.push_back(PostedMessage{0, message, wParam, lParam});
      Settle(s);
      return true;
    }
  }
  SetError(s, kErrInvalidThreadId);
  return false;
}

}  // namespace os

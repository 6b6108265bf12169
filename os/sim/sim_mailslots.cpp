// Mailslots: local queues made with CreateMailslot (\\.\mailslot\NAME) and every message
// written, recorded with its virtual time whatever became of it.
//
// WriteMailslot answers true when the message reached a mailslot of this machine: the
// host is ".", the computer's name or its host name, and a slot of that name exists. A
// broadcast to "*" reaches the local slot if there is one and always answers true. Any
// other host is a machine the simulation does not have: false (ERROR_BAD_NETPATH).
#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

// "\\host\mailslot\name" (either slash): host and name, or false.
bool ParseSlotPath(std::uint32_t codePage, const std::string& path, std::string* host,
                   std::string* name) {
  std::string p = path;
  for (char& c : p)
    if (c == '/') c = '\\';
  if (p.compare(0, 2, "\\\\") != 0) return false;
  std::size_t hostEnd = p.find('\\', 2);
  if (hostEnd == std::string::npos || hostEnd == 2) return false;
  const std::string kMailslot = "mailslot\\";
  if (Fold(codePage, p.substr(hostEnd + 1, kMailslot.size())) != kMailslot) return false;
  *host = p.substr(2, hostEnd - 2);
  *name = p.substr(hostEnd + 1 + kMailslot.size());
  return !name->empty();
}

}  // namespace

const std::vector<SimMailslotMessage>& SimMachine::MailslotMessages() const {
  return state_->mailslotMessages;
}

void SimMachine::ClearMailslotMessages() {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->mailslotMessages.clear();
}

Handle SimMachine::CreateMailslot(const std::string& name, std::uint32_t maxMessage) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  std::string host, slot;
  if (!ParseSlotPath(s.codePage, name, &host, &slot) || host != ".") {
    SetError(s, kErrorInvalidName);
    return 0;
  }
  std::string key = Fold(s.codePage, slot);
  if (s.mailslots.count(key)) {
    SetError(s, kErrorAlreadyExists);
    return 0;
  }
  auto rec = std::make_shared<MailslotRec>();
  rec->key = key;
  rec->maxMessage = maxMessage;
  s.mailslots[key] = rec;
  HandleRec h;
  h.kind = Kind::kMailslot;
  h.mailslot = rec;
  SetError(s, 0);
  return NewHandle(s, h);
}

bool SimMachine::ReadMailslot(Handle slot, std::uint32_t timeoutMs, std::string* message) {
  std::unique_lock<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  HandleRec* rec = FindHandle(s, slot);
  if (rec == nullptr || rec->kind != Kind::kMailslot) {
    SetError(s, kErrorInvalidHandle);
    return false;
  }
  std::shared_ptr<MailslotRec> queue = rec->mailslot;
  std::string received;
  auto poll = [queue, &received]() -> std::optional<std::uint32_t> {
    if (queue->messages.empty()) return std::nullopt;
    received = queue->messages.front();
    queue->messages.pop_front();
    return kWaitObject0;
  };
  if (Block(s, lock, poll, DeadlineAfter(s, timeoutMs), kWaitTimeout) != kWaitObject0) {
    SetError(s, kErrSemTimeout);
    return false;
  }
  if (message != nullptr) *message = received;
  return true;
}

bool SimMachine::WriteMailslot(const std::string& path, const std::string& message) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  s.mailslotMessages.push_back(SimMailslotMessage{path, message, s.now});
  std::string host, name;
  if (!ParseSlotPath(s.codePage, path, &host, &name)) {
    SetError(s, kErrorFileNotFound);
    return false;
  }
  bool local = host == "." || (s.computerName && SameNoCase(s.codePage, host, *s.computerName)) ||
               (s.hostName && SameNoCase(s.codePage, host, *s.hostName));
  bool broadcast = host == "*";
  if (!local && !broadcast) {
    SetError(s, kErrBadNetPath);
    return false;
  }
  auto it = s.mailslots.find(Fold(s.codePage, name));
  if (it == s.mailslots.end()) {
    if (broadcast) return true;
    SetError(s, kErrorFileNotFound);
    return false;
  }
  MailslotRec& slot = *it->second;
  if (slot.maxMessage != 0 && message.size() > slot.maxMessage) {
    SetError(s, kErrorInvalidParameter);
    return false;
  }
  slot.messages.push_back(message);
  Settle(s);
  return true;
}

}  // namespace os

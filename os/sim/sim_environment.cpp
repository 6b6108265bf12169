// The simulated process environment: names ignore case (the name keeps the case it was
// last set with), ExpandEnvironmentStrings as Windows expands (an unknown or unfinished
// reference stays as written).
#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace sim {

std::optional<std::string> GetEnv(const SimState& s, const std::string& name) {
  auto it = s.env.find(Fold(s.codePage, name));
  if (it == s.env.end()) return std::nullopt;
  return it->second.value;
}

void SetEnv(SimState& s, const std::string& name, const std::optional<std::string>& value) {
  if (value)
    s.env[Fold(s.codePage, name)] = EnvEntry{name, *value};
  else
    s.env.erase(Fold(s.codePage, name));
}

void UpdateDerivedEnv(SimState& s, const std::string& name, const std::string& previous,
                      const std::optional<std::string>& value) {
  std::optional<std::string> current = GetEnv(s, name);
  if (current && *current != previous) return;  // the test set it: leave it
  auto it = s.env.find(Fold(s.codePage, name));
  SetEnv(s, it == s.env.end() ? name : it->second.name, value);
}

}  // namespace sim

std::optional<std::string> SimMachine::GetEnvironmentVariable(const std::string& name) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::optional<std::string> value = GetEnv(*state_, name);
  if (!value) SetError(*state_, kErrEnvVarNotFound);
  return value;
}

bool SimMachine::SetEnvironmentVariable(const std::string& name,
                                        const std::optional<std::string>& value) {
  std::lock_guard<std::mutex> lock(state_->mu);
  if (name.empty() || name.find('=', 1) != std::string::npos) {
    SetError(*state_, kErrorInvalidParameter);
    return false;
  }
  SetEnv(*state_, name, value);
  return true;
}

std::string SimMachine::ExpandEnvironmentStrings(const std::string& text, std::size_t bufferSize) {
  std::lock_guard<std::mutex> lock(state_->mu);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      std::size_t next = text.find('%', i);
      if (next == std::string::npos) next = text.size();
      out.append(text, i, next - i);
      i = next;
      continue;
    }
    std::size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {  // an unfinished reference stays
      out.append(text, i, std::string::npos);
      break;
    }
    std::optional<std::string> value =
        close > i + 1 ? GetEnv(*state_, text.substr(i + 1, close - i - 1)) : std::nullopt;
    out += value ? *value : text.substr(i, close - i + 1);  // unknown: as written
    i = close + 1;
  }
  return CutToBuffer(out, bufferSize);
}

void SimMachine::BroadcastEnvironmentChange(std::uint32_t /*timeoutMs*/) {
  std::lock_guard<std::mutex> lock(state_->mu);
  ++state_->envBroadcasts;
}

int SimMachine::EnvironmentBroadcasts() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->envBroadcasts;
}

}  // namespace os

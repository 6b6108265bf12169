#include "cls/remote_mailslot.h"

#include <vector>

#include "fw/text.h"
#include "os/system.h"

namespace cls {

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& data) {
  std::vector<std::string> fields(1);
  for (char c : data) {
    if (c == '\t')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

bool ParseNumber(const std::string& text, std::uint32_t* value) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + std::uint64_t(c - '0');
  }
  if (v > 0xFFFFFFFFull) return false;
  *value = std::uint32_t(v);
  return true;
}

void Send(const std::string& host, const StatusMessage& message) {
  os::System& sys = os::sys();
  StatusMessage stamped = message;
  stamped.sender = sys.ComputerName(260).value_or("");
  sys.WriteMailslot(CRemoteMailslot::SlotPathFor(host), EncodeStatus(stamped));
}

}  // namespace

std::string EncodeStatus(const StatusMessage& m) {
  std::string out = "SETUPSTATUS\t1\t";
  out += m.form;
  out += '\t' + std::to_string(m.code) + '\t' + std::to_string(m.level);
  out += '\t' + Escape(m.productCode) + '\t' + Escape(m.source) + '\t' + Escape(m.text);
  out += '\t' + std::to_string(m.position) + '\t' + std::to_string(m.level2);
  out += '\t' + Escape(m.sender);
  return out;
}

std::optional<StatusMessage> DecodeStatus(const std::string& data) {
  std::vector<std::string> f = SplitTabs(data);
  if (f.size() != 11 || f[0] != "SETUPSTATUS" || f[1] != "1" || f[2].size() != 1) return std::nullopt;
  StatusMessage m;
  m.form = f[2][0];
  if (!ParseNumber(f[3], &m.code) || !ParseNumber(f[4], &m.level) ||
      !ParseNumber(f[8], &m.position) || !ParseNumber(f[9], &m.level2))
    return std::nullopt;
  m.productCode = Unescape(f[5]);
  m.source = Unescape(f[6]);
  m.text = Unescape(f[7]);
  m.sender = Unescape(f[10]);
  return m;
}

std::string DescribeStatus(const StatusMessage& m) {
  std::string line = "code=" + std::to_string(m.code) + " level=" + std::to_string(m.level);
  if (m.form == 'P') line += " product=" + m.productCode;
  if (m.form == 'H')
    line += " source=" + m.source + " position=" + std::to_string(m.position) +
            " level2=" + std::to_string(m.level2);
  if (m.form != 'S') line += " text=\"" + Escape(m.text) + "\"";
  if (!m.sender.empty()) line += " from=" + m.sender;
  return line;
}

std::string CRemoteMailslot::SlotPathFor(const std::string& host) {
  std::optional<std::string> self = os::sys().ComputerName(260);
  bool local = host.empty() || host == "." || (self && fw::EqualsNoCase(host, *self));
  return "\\\\" + (local ? std::string(".") : host) + "\\mailslot\\" + kStatusMailslotName;
}

void CRemoteMailslot::SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level) {
  StatusMessage m;
  m.form = 'S';
  m.code = code;
  m.level = level;
  Send(host, m);
}

void CRemoteMailslot::SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level,
                                 const std::string& text) {
  StatusMessage m;
  m.form = 'T';
  m.code = code;
  m.level = level;
  m.text = text;
  Send(host, m);
}

void CRemoteMailslot::SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level,
                                 const std::string& productCode, const std::string& text) {
  StatusMessage m;
  m.form = 'P';
  m.code = code;
  m.level = level;
  m.productCode = productCode;
  m.text = text;
  Send(host, m);
}

void CRemoteMailslot::SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level,
                                 const std::string& source, const std::string& text,
                                 std::uint32_t position, std::uint32_t level2) {
  StatusMessage m;
  m.form = 'H';
  m.code = code;
  m.level = level;
  m.source = source;
  m.text = text;
  m.position = position;
  m.level2 = level2;
  Send(host, m);
}

}  // namespace cls

// statusmon: listens on the status mailslot and prints each status message that arrives,
// one line each, for the end-to-end tests and for an operator watching a pushed install.
//
//   statusmon.exe [--count N] [--idle-exit MS] [--name NAME]
//
// The first line, on stderr, says where it listens; status lines go to stdout.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "cls/remote_mailslot.h"
#include "os/system.h"
#include "os/win32/win32_system.h"

namespace {

struct Options {
  std::string name = cls::kStatusMailslotName;
  std::uint64_t count = 0;       // 0: no limit
  std::uint32_t idleExitMs = 0;  // 0: never
};

// How long one read waits, so that the idle time is checked now and then.
constexpr std::uint32_t kReadSliceMs = 200;

bool ParseNumber(const char* text, std::uint64_t max, std::uint64_t* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (*end != '\0' || v > max) return false;
  *value = v;
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: statusmon [--count N] [--idle-exit MS] [--name NAME]\n"
               "  --count N       exit after N messages\n"
               "  --idle-exit MS  exit after MS milliseconds without a message\n"
               "  --name NAME     listen on \\\\.\\mailslot\\NAME (default %s)\n",
               cls::kStatusMailslotName);
  return 2;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    std::uint64_t number = 0;
    if (option == "--count" && ParseNumber(value, UINT64_MAX, &number)) {
      options->count = number;
    } else if (option == "--idle-exit" && ParseNumber(value, UINT32_MAX - 1, &number)) {
      options->idleExitMs = std::uint32_t(number);
    } else if (option == "--name" && value != nullptr && *value != '\0') {
      options->name = value;
    } else {
      return false;
    }
    ++i;
  }
  return true;
}

// A full mailslot path is taken as it is; a plain name is a slot on this computer.
std::string SlotPath(const std::string& name) {
  if (name.rfind("\\\\", 0) == 0) return name;
  return "\\\\.\\mailslot\\" + name;
}

// Control characters of an undecodable message made visible, so that it stays on one line.
std::string Printable(const std::string& data) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : data) {
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7f) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

std::string Describe(const std::string& data) {
  std::optional<cls::StatusMessage> message = cls::DecodeStatus(data);
  if (message) return cls::DescribeStatus(*message);
  return "raw: " + Printable(data);
}

int Listen(const Options& options) {
  os::System& sys = os::sys();
  const std::string path = SlotPath(options.name);
  os::Handle slot = sys.CreateMailslot(path, 0);
  if (slot == 0) {
    std::fprintf(stderr, "statusmon: cannot create %s: error %u\n", path.c_str(),
                 unsigned(sys.LastError()));
    return 1;
  }
  std::fprintf(stderr, "statusmon: listening on %s\n", path.c_str());
  std::fflush(stderr);

  std::uint64_t received = 0;
  std::uint32_t lastMessageAt = sys.TickCount();
  while (options.count == 0 || received < options.count) {
    std::string data;
    const std::uint32_t readStartedAt = sys.TickCount();
    if (sys.ReadMailslot(slot, kReadSliceMs, &data)) {
      std::printf("%s\n", Describe(data).c_str());
      std::fflush(stdout);
      ++received;
      lastMessageAt = sys.TickCount();
    } else if (options.idleExitMs != 0 && sys.TickCount() - lastMessageAt >= options.idleExitMs) {
      break;
    } else if (sys.TickCount() - readStartedAt < kReadSliceMs / 2) {
      sys.Sleep(kReadSliceMs);  // the read failed at once rather than timing out: don't spin
    }
  }
  sys.CloseHandle(slot);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return Usage();
  os::SetSystem(&os::Win32());
  return Listen(options);
}

// Run-mode options: the switch options, the master setup's name=value words, the
// Windows Installer log setting and the status host.
#include "app/cmdline.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "fw/text.h"

namespace app {

namespace {

constexpr std::size_t kComputerNameBuffer = 16;

// The master setup names its install configuration file with ICFPATH="path" or
// ICFPATH=path; an unquoted path that names no file falls back to the one beside the
// program (remoteStatus).
void ReadIcfPathOption(const std::string& args, SetupContext& c) {
  std::size_t at = args.find(kOptIcfPath);
  if (at == std::string::npos) {
    c.remoteStatus = 1;
    return;
  }
  std::size_t quote = args.find('"', at);
  if (quote != std::string::npos) {
    std::size_t close = args.find('"', quote + 1);
    // Without its closing quote the path runs to the end of the text.
    c.setupIcfPath = args.substr(quote + 1, close == std::string::npos ? std::string::npos
                                                                       : close - quote - 1);
    return;
  }
  std::size_t equals = args.find('=', at);
  if (equals == std::string::npos) return;
  std::size_t end = args.find(' ', equals + 1);
  c.setupIcfPath = args.substr(equals + 1, end == std::string::npos ? std::string::npos
                                                                    : end - equals - 1);
  if (os::sys().FileAttributes(c.setupIcfPath) == os::kInvalidFileAttributes) {
    c.setupIcfPath.clear();
    c.remoteStatus = 1;
  }
}

std::string ReadProductCode(const std::string& args) {
  std::size_t at = args.find(kOptProdName);
  if (at == std::string::npos) return std::string();
  std::size_t start = at + 9;  // just after "PRODNAME="
  if (start >= args.size()) return std::string();
  std::size_t end = args.find(' ', start);
  return args.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// A multibyte-aware search for a backslash: a trail byte with the value of a backslash
// does not count.
bool HasBackslash(const std::string& text) {
  os::System& sys = os::sys();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (sys.IsDbcsLeadByte(static_cast<std::uint8_t>(text[i]))) {
      ++i;
      continue;
    }
    if (text[i] == '\\') return true;
  }
  return false;
}

}  // namespace

void CSetupApp::ParseCommandLine() {
  os::System& sys = os::sys();
  SetupContext& c = Ctx();
  const std::string& args = m_lpCmdLine;
  CCmdLineArgs switches(args, '/');
  c.commandLine = args;

  if (fw::Contains(args, kOptBaseProductTessmark) || fw::Contains(args, kOptBaseProductEnterprise))
    c.baseProduct = 1;

  if (fw::Contains(args, kOptMasterSetup)) {
    c.masterSetup = 1;
    c.quiet = 1;
    ReadIcfPathOption(args, c);
  } else if (switches.HasOption('q')) {
    c.quiet = 1;
    c.remoteStatus = 1;
  }

  if (c.masterSetup) c.productCode = ReadProductCode(args);
  if (fw::Contains(args, kOptLocalized)) c.localized = 1;

  if (switches.HasOption('l'))
    c.msiLogRequested = 1;
  else if (ReadMsiLogSetting())
    c.msiLogRequested = 1;

  std::string host;
  if (switches.GetOption("r", &host, nullptr)) {
    c.masterHost = host;
    c.remoteStatus = 1;
  } else if (c.masterSetup) {
    if (std::optional<std::string> name = sys.ComputerName(kComputerNameBuffer))
      c.masterHost = *name;
  } else {
    std::string hostIni = m_strWindowsDir + "HOST.INI";
    if (sys.FileAttributes(hostIni) != os::kInvalidFileAttributes) {
      c.remoteStatus = 1;
      std::string name = sys.ProfileString(hostIni, "HostServer", "Name", "", 260);
      if (!name.empty()) c.masterHost = name;
      sys.DeleteFile(hostIni);
    }
  }
}

int CSetupApp::ReadMsiLogSetting() {
  os::System& sys = os::sys();
  SetupContext& c = Ctx();
  std::string value = sys.ProfileString(c.setupInfPath, "Setup", "LogFile", "", 260);
  if (!value.empty()) {
    if (value[0] == '\\' || (value.size() > 1 && value[1] == ':')) {
      c.msiLogPath = value;
    } else if (HasBackslash(value)) {
      std::string full;
      if (sys.FullPathName(c.setupDir + value, 260, &full)) c.msiLogPath = full;
    } else {
      c.msiLogPath = sys.TempPath() + value;
    }
  }
  if (!c.msiLogPath.empty()) WriteMsiLogLine(m_lpCmdLine);
  return c.msiLogPath.empty() ? 0 : 1;
}

}  // namespace app

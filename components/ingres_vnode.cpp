#include "components/ingres_vnode.h"

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/setup_icf.h"
#include "components/registry_files.h"
#include "fw/text.h"

namespace components {

std::uint32_t ShellExecuteAndWait(const std::string& file, const std::string& parameters,
                                  const std::string& directory, int show) {
  os::System& sys = os::sys();
  os::Handle process = 0;
  if (!sys.ShellExecute(file, parameters, directory, show, &process)) return 0;
  std::uint32_t code = 0;
  if (process != 0) {
    sys.WaitForSingleObject(process, os::kInfinite);
    sys.GetExitCodeProcess(process, &code);
    sys.CloseHandle(process);
  }
  return code;
}

std::string IngresFolder() {
  std::string programFiles;
  if (!ReadRegistryString(os::kHkeyLocalMachine, kCurrentVersionKey, "ProgramFilesDir",
                          &programFiles))
    return std::string();
  return fw::CutToBuffer(programFiles + "\\QV\\Ingres [EI]", kPathBuffer);
}

}  // namespace components

namespace app {

int CSetupApp::CreateIngresVnode() {
  os::System& sys = os::sys();
  const std::string folder = components::IngresFolder();
  const std::string script = folder + "\\" + components::kVnodeScriptName;

  // Opened without truncation: a script that cannot be filled is left as it was.
  os::Handle file = sys.OpenFile(script, os::kGenericWrite, os::kFileShareRead, os::kOpenAlways);
  if (file == 0) {
    WriteMsiLogLine("Setup.exe: Can NOT create a VNode script.");
    return 0;
  }
  WriteMsiLogLine("Setup.exe: Create a VNode script");
  cls::CSetupIcf icf(Ctx().setupIcfPath);
  std::string host = icf.KDBHost(), user = icf.KDBUser(), password = icf.KDBPassword(),
              listenAddress = icf.KDBID();
  if (host.empty() || user.empty() || password.empty() || listenAddress.empty()) {
    sys.CloseHandle(file);
    WriteMsiLogLine("Setup.exe: Can not get KDB information. Vnode won't be created.\n");
    return 0;
  }
  // The two lines are the file's whole content.
  sys.CloseHandle(file);
  file = sys.OpenFile(script, os::kGenericWrite, os::kFileShareRead, os::kCreateAlways);
  if (file == 0) {
    WriteMsiLogLine("Setup.exe: Can NOT create a VNode script.");
    return 0;
  }
  // The script holds the database password: it goes once netutil has read it.
  components::ScopedSecretFile secret(script);
  sys.WriteFile(file, fw::FormatText("create global connection %svn1 %s wintcp %s\r\n",
                                     {host, host, listenAddress}));
  sys.WriteFile(file,
                fw::FormatText("create global login %svn1 %s %s\r\n", {host, user, password}));
  sys.CloseHandle(file);

  WriteMsiLogLine("Setup.exe: Run netutil command to create vnode");
  std::string program = fw::FormatText(
      "%s\\cmd.exe", {fw::CutToBuffer(sys.SystemDirectory(), components::kPathBuffer)});
  std::string parameters =
      "/C \"\"" + folder + "\\ingres\\bin\\netutil\" -file " + components::kVnodeScriptName + "\"";
  components::ShellExecuteAndWait(program, parameters, folder, os::kSwHide);
  secret.Remove();
  return 1;
}

}  // namespace app

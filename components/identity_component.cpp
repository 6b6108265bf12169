#include "components/identity_component.h"

#include "app/setup_context.h"
#include "app/setup_log.h"
#include "cls/kelm_registry.h"
#include "cls/setup_icf.h"
#include "components/heartbeat.h"
#include "components/registry_files.h"
#include "fw/text.h"
#include "fw/text_file.h"
#include "install/process_runner.h"

namespace components {

namespace {

constexpr const char* kSection = "PreInstallSCC";
constexpr std::size_t kTemplatePiece = 256;
constexpr std::uint32_t kSettleAfterInstallMs = 2000;
constexpr std::uint32_t kBroadcastTimeoutMs = 5000;

// Copies the working copy to the response file with both placeholders filled, piece by
// piece as a text stream reads it; line ends are written as CR LF.
void FillResponseFile(const std::string& workingCopy, const std::string& responseFile,
                      const std::string& password, const std::string& installDir) {
  os::System& sys = os::sys();
  fw::TextFileReader in(workingCopy);
  std::uint32_t attributes = sys.FileAttributes(responseFile);
  if (attributes != os::kInvalidFileAttributes)
    sys.SetFileAttributes(responseFile, attributes & ~os::kFileAttributeReadOnly);
  os::Handle out = sys.OpenFile(responseFile, os::kGenericWrite, 0, os::kCreateAlways);
  if (out == 0) return;
  std::string piece;
  while (in.ReadString(kTemplatePiece - 1, &piece)) {
    piece = fw::ReplaceAll(piece, "<EKSMADMINPASS>", password);
    piece = fw::ReplaceAll(piece, "<EKSMINSTALLDIR>", installDir);
    sys.WriteFile(out, fw::ReplaceAll(piece, "\n", "\r\n"));
  }
  sys.CloseHandle(out);
}

}  // namespace

ResponseFileNames IdentityResponseFileNames(const std::string& icfPath,
                                            const std::string& templatePath) {
  ResponseFileNames names;
  names.workingCopy = fw::ReplaceAll(fw::ToLowerAscii(icfPath), "setup.icf", "eksmresp.tmp");
  names.responseFile = fw::ReplaceAll(names.workingCopy, "eksmresp.tmp", "eksmresp.iss");
  // A configuration file of another name (a master setup may name any file), or names
  // that lead back to the configuration file or the template: the files go beside the
  // configuration file under names made longer than its own.
  bool clash = names.workingCopy == names.responseFile;
  for (const std::string* protect : {&icfPath, &templatePath})
    for (const std::string* name : {&names.workingCopy, &names.responseFile})
      clash = clash || SameFile(*protect, *name);
  if (clash) {
    names.workingCopy = icfPath + ".eksmresp.tmp";
    names.responseFile = icfPath + ".eksmresp.iss";
  }
  return names;
}

std::string PrepareIdentityResponseFile() {
  os::System& sys = os::sys();
  std::string programFiles;
  if (!ReadRegistryString(os::kHkeyLocalMachine, kCurrentVersionKey, "ProgramFilesDir",
                          &programFiles)) {
    app::WriteMsiLogLine("Setup.exe: Can not get ProgramFiles Dir.");
    EndSetupProcess();
  }
  std::string installDir = programFiles + "\\QV\\SharedComponents\\Embedded KSM";
  cls::CSetupIcf icf(app::Ctx().setupIcfPath);
  std::string password = icf.eKSMPass();
  std::string templatePath =
      fw::CutToBuffer(sys.CurrentDirectory(), kPathBuffer) + "\\..\\eKSM\\eksmresp.iss";
  ResponseFileNames names = IdentityResponseFileNames(app::Ctx().setupIcfPath, templatePath);

  // Only a working copy made here is read and deleted; without one there is no template.
  if (!CopyFileWritable(templatePath, names.workingCopy, false)) return std::string();
  CopyFileWritable(names.workingCopy, names.responseFile, false);
  FillResponseFile(names.workingCopy, names.responseFile, password, installDir);
  sys.DeleteFile(names.workingCopy);
  return names.responseFile;
}

int InstallIdentityComponent() {
  os::System& sys = os::sys();
  cls::CKelmRegistry productKey(1, nullptr);
  const app::SetupContext& c = app::Ctx();

  std::string ingres;
  if (ReadRegistryString(os::kHkeyLocalMachine, kSystemEnvironmentKey, "II_SYSTEM", &ingres))
    sys.SetEnvironmentVariable("II_SYSTEM", ingres);
  sys.BroadcastEnvironmentChange(kBroadcastTimeoutMs);
  app::WriteMsiLogLine("Setup.exe: Install eKSM");

  std::string command =
      sys.ProfileString(c.setupInfPath, kSection, "Command_EKSM", "", kPathBuffer);
  if (!command.empty()) {
    // The response file holds the administrator password: it goes as soon as the
    // installer is done with it, and before the process can end.
    ScopedSecretFile responseFile(PrepareIdentityResponseFile());
    std::string message =
        sys.ProfileString(c.setupInfPath, kSection, "Message_EKSM", "", kPathBuffer);
    if (responseFile.Path().empty()) {
      app::WriteMsiLogLine("Setup.exe: Can not read the eKSM response file template.");
    } else {
      std::string commandLine = command + "\"" + responseFile.Path() + "\"";
      app::WriteMsiLogLine("Setup.exe: Install eKSM command: " + commandLine);
      install::RunCommandAndWait(commandLine, message);
      sys.Sleep(kSettleAfterInstallMs);
    }
    responseFile.Remove();
  }

  std::string marker;
  if (ReadRegistryString(os::kHkeyLocalMachine, kIdentityComponentKey, "LocationPath", &marker)) {
    app::WriteMsiLogLine("Setup.exe: Install eKSM completed!");
    return 1;
  }
  app::WriteMsiLogLine("Setup.exe: Install eKSM failed!");
  EndSetupProcess();
}

}  // namespace components

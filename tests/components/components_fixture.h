// A medium in D:\ with an install configuration file and an installer log, for the tests
// of the shared-component installs.
#pragma once

#include <string>
#include <vector>

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "components/registry_files.h"
#include "fw/text.h"
#include "tests/support/launcher_fixture.h"

namespace testing_support {

class ComponentsTest : public LauncherTest {
 protected:
  static constexpr const char* kIcf = "C:\\TEMP\\setup.icf";
  static constexpr const char* kMsiLog = "C:\\logs\\msi.log";
  static constexpr const char* kEnvKey =
      "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
  static constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  static constexpr const char* kIngresDir = "C:\\Program Files\\QV\\Ingres [EI]";
  static constexpr const char* kWorkDir = "D:\\disk1";
  static constexpr const char* kTemplate = "D:\\eKSM\\eksmresp.iss";
  static constexpr const char* kMarkerKey = "SOFTWARE\\Quorvane\\Embedded KSM";

  ComponentsTest() {
    UseMediumPaths();
    app::Ctx().setupIcfPath = kIcf;
    app::Ctx().msiLogPath = kMsiLog;
    // The launcher runs in a folder of the medium; the identity component's template
    // lies in the folder eKSM beside it.
    sim->MakeDirectory("C:\\logs");
    sim->MakeDirectory(kWorkDir);
    sim->SetCurrentDirectory(kWorkDir);
  }

  // The [SCC] section of the install configuration file, one "key=value" per line.
  void Icf(const std::string& sccLines) { sim->WriteFileText(kIcf, "[SCC]\n" + sccLines); }
  // The [PreInstallSCC] section of setup.inf.
  void PreInstallScc(const std::string& lines) { SetupInf("[PreInstallSCC]\n" + lines); }

  void SystemIngres(const std::string& value) { sim->SetRegString(kEnvKey, "II_SYSTEM", value); }

  // The lines of the installer log in use, without their "Parameter: " and line feed.
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::string text = sim->ReadFileText(app::Ctx().msiLogPath).value_or("");
    std::size_t start = 0, end;
    while ((end = text.find("\nParameter: ", start)) != std::string::npos) {
      lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start, text.size() - start - 1));
    for (std::string& line : lines)
      if (fw::StartsWith(line, "Parameter: ")) line = line.substr(11);
    return lines;
  }
  bool Logged(const std::string& line) {
    for (const std::string& l : LogLines())
      if (l == line) return true;
    return false;
  }

  // Runs InstallSharedComponents; answers the exit code when it ended the process.
  std::optional<std::uint32_t> InstallShared(int* result = nullptr) {
    try {
      int r = theApp.InstallSharedComponents();
      if (result != nullptr) *result = r;
    } catch (const os::SimProcessExit& exit) {
      return exit.code;
    }
    return std::nullopt;
  }

  std::vector<cls::StatusMessage> Heartbeats() {
    std::vector<cls::StatusMessage> beats;
    for (const cls::StatusMessage& m : Statuses())
      if (m.code == 38) beats.push_back(m);
    return beats;
  }

  app::CSetupApp theApp;
};

}  // namespace testing_support

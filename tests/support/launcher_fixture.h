// A simulated machine with a medium in D:\ and a fresh setup context, for tests that run
// the launcher's own routines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/setup_context.h"
#include "cls/remote_mailslot.h"
#include "os/sim/sim_machine.h"

namespace testing_support {

class LauncherTest : public ::testing::Test {
 protected:
  LauncherTest();
  ~LauncherTest() override;

  // Files of the medium, beside the program (D:\).
  void SetupInf(const std::string& content) { sim->WriteFileText(kMedium + "setup.inf", content); }
  void SetupRes(const std::string& content) {
    sim->WriteFileText(kMedium + "setupres.ini", content);
  }
  // Points the context's paths at the medium, as start-up does.
  void UseMediumPaths();

  // Runs the whole launcher with the given arguments; answers the process exit code.
  int RunLauncher(const std::string& commandLine);

  // The status messages written so far, decoded.
  std::vector<cls::StatusMessage> Statuses();

  static const std::string kMedium;  // "D:\"
  os::ScopedSimMachine sim;
};

}  // namespace testing_support

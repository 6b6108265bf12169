// The dry run: the launcher's real start-up and install logic on the scenario's simulated
// machine, told as a plan a medium author can read.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/setupsim/scenario.h"

namespace setupsim {

struct PlanReport {
  std::vector<std::string> checks;                // one line per admission check and its outcome
  std::vector<std::string> steps;                 // what happened, in order
  std::optional<std::string> msiexecCommandLine;  // the product's installer run
  std::vector<std::string> statuses;
  std::vector<std::string> setupLog;  // lines of _SETUP.LOG
  std::string msiLogPath;
  std::vector<std::string> msiLog;  // lines the launcher added to the installer log
  std::string language;
  std::string packagePath;
  std::optional<std::uint32_t> processEnded;  // the launcher ended itself with this code
  std::uint32_t exitCode = 0;
};

// False (with `error`) when the scenario's machine cannot be built.
bool RunPlan(const Scenario& scenario, PlanReport* report, std::string* error);
void PrintPlan(const Scenario& scenario, const PlanReport& report, std::ostream& out);

}  // namespace setupsim

// Builds the simulated machine of a scenario: the operating system, the medium copied in
// from this machine's file system, the registry, the programs and the scripted answers.
#pragma once

#include <string>

#include "tools/setupsim/plan_machine.h"
#include "tools/setupsim/scenario.h"

namespace setupsim {

// A readable name of the scenario's system, e.g. "Windows XP SP2 (NT 5.1), x86".
std::string DescribeSystem(const Scenario& scenario);

// False (with `error`) when the medium folder cannot be read.
bool PrepareMachine(const Scenario& scenario, PlanMachine& machine, std::string* error);

}  // namespace setupsim

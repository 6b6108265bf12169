// setupsim: a dry run of setup.exe on a medium folder, or (--check) a lint of the medium.
#include <iostream>

#include "tools/setupsim/medium_check.h"
#include "tools/setupsim/plan.h"
#include "tools/setupsim/scenario.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::cout << setupsim::Usage();
    return args.empty() ? 2 : 0;
  }
  std::string error;
  std::optional<setupsim::Scenario> scenario = setupsim::ParseOptions(args, &error);
  if (!scenario) {
    std::cerr << "setupsim: " << error << "\n" << setupsim::Usage();
    return 2;
  }
  if (scenario->check) {
    std::vector<setupsim::Finding> findings = setupsim::CheckMedium(scenario->mediumFolder);
    setupsim::PrintFindings(findings, std::cout);
    std::cout << findings.size() << (findings.size() == 1 ? " finding\n" : " findings\n");
    return findings.empty() ? 0 : 1;
  }
  setupsim::PlanReport report;
  if (!setupsim::RunPlan(*scenario, &report, &error)) {
    std::cerr << "setupsim: " << error << "\n";
    return 2;
  }
  setupsim::PrintPlan(*scenario, report, std::cout);
  return 0;
}

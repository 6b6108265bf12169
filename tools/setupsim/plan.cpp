#include "tools/setupsim/plan.h"

#include <sstream>

#include "app/setup_app.h"
#include "app/setup_context.h"
#include "os/system.h"
#include "tools/setupsim/machine_setup.h"
#include "tools/setupsim/plan_machine.h"

namespace setupsim {

namespace {

// The simulated machine is the launcher's port for the life of the object.
class ScopedPort {
 public:
  explicit ScopedPort(os::System* port) : previous_(os::CurrentSystem()) { os::SetSystem(port); }
  ~ScopedPort() { os::SetSystem(previous_); }

 private:
  os::System* previous_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsRead(const PlanEvent& e, const std::string& key) {
  return e.kind == PlanEvent::kRead && e.key == key;
}

int FindFrom(const std::vector<PlanEvent>& events, std::size_t from,
             bool (*match)(const PlanEvent&)) {
  for (std::size_t i = from; i < events.size(); ++i)
    if (match(events[i])) return static_cast<int>(i);
  return -1;
}

std::string ValueOf(const PlanEvent& read) {
  std::size_t eq = read.text.find(" = ");
  return eq == std::string::npos ? std::string() : read.text.substr(eq + 3);
}

// Each admission check and its outcome, from the order of what the launcher read and did:
// the checks run in a fixed order and each reads its own keys first.
std::vector<std::string> Checks(const std::vector<PlanEvent>& events) {
  std::vector<std::string> out;
  auto afterBlockRules = [](const PlanEvent& e) {
    return e.kind == PlanEvent::kWindow || e.kind == PlanEvent::kLanguageDialog ||
           e.kind == PlanEvent::kDatabaseDialog ||
           (e.kind == PlanEvent::kRead && (e.section == "SAP" || e.key == "LanguageID"));
  };
  int mutex = FindFrom(events, 0, [](const PlanEvent& e) { return e.kind == PlanEvent::kMutex; });
  int platform = FindFrom(events, 0, [](const PlanEvent& e) { return IsRead(e, "SystemVersion"); });
  int blocks = FindFrom(events, 0, [](const PlanEvent& e) { return IsRead(e, "BlockReg0"); });
  int after = FindFrom(events, 0, afterBlockRules);
  bool refusedByGuard =
      FindFrom(events, 0, [](const PlanEvent& e) { return IsRead(e, "9014"); }) >= 0;

  if (platform < 0 && mutex < 0) {
    out.push_back("single-instance guard: not reached");
  } else if (mutex < 0) {
    out.push_back("single-instance guard: no product name, no guard");
  } else if (refusedByGuard || platform < 0) {
    out.push_back("single-instance guard: REFUSED, another setup of \"" + events[mutex].text +
                  "\" is running");
  } else {
    out.push_back("single-instance guard: passed (mutex \"" + events[mutex].text + "\")");
  }

  if (platform < 0) {
    out.push_back("platform check: not reached");
  } else {
    std::string listed = ValueOf(events[platform]);
    if (blocks >= 0)
      out.push_back(listed == "\"\"" ? "platform check: passed (no SystemVersion: any platform)"
                                     : "platform check: passed (SystemVersion " + listed + ")");
    else
      out.push_back("platform check: REFUSED (SystemVersion " + listed + ")");
  }

  if (blocks < 0) {
    out.push_back("block rules: not reached");
  } else {
    std::string rules;
    int lastRule = -1;
    for (std::size_t i = static_cast<std::size_t>(blocks); i < events.size(); ++i) {
      const PlanEvent& e = events[i];
      if (e.kind != PlanEvent::kRead || e.section != "Upgrade" ||
          e.key.compare(0, 8, "BlockReg") != 0 || ValueOf(e) == "\"\"")
        continue;
      rules += (rules.empty() ? "" : ", ") + e.key + "=" + ValueOf(e);
      lastRule = static_cast<int>(i);
    }
    if (after >= 0)
      out.push_back("block rules: passed (" + (rules.empty() ? std::string("no rule") : rules) +
                    ")");
    else if (lastRule >= 0)
      out.push_back("block rules: BLOCKED by " + events[lastRule].key + "=" +
                    ValueOf(events[lastRule]));
    else
      out.push_back("block rules: BLOCKED");
  }
  return out;
}

bool IsProductInstall(const std::string& commandLine) {
  return commandLine.rfind("msiexec.exe /i \"", 0) == 0 &&
         commandLine.find(" SETUPDIR=\"") != std::string::npos;
}

}  // namespace

bool RunPlan(const Scenario& scenario, PlanReport* report, std::string* error) {
  PlanMachine machine;
  ScopedPort port(&machine);
  if (!PrepareMachine(scenario, machine, error)) return false;

  app::ResetContext();
  try {
    app::CSetupApp theApp;
    report->exitCode = static_cast<std::uint32_t>(theApp.Run(scenario.commandLine));
  } catch (const os::SimProcessExit& ended) {
    report->processEnded = ended.code;
    report->exitCode = ended.code;
  }
  if (std::optional<std::uint32_t> code = machine.ExitProcessCode()) {
    report->processEnded = code;
    report->exitCode = *code;
  }

  const app::SetupContext& c = app::Ctx();
  std::vector<PlanEvent> events = machine.Events();
  report->checks = Checks(events);
  for (const PlanEvent& e : events) {
    if (e.kind == PlanEvent::kRead || e.kind == PlanEvent::kMutex) continue;
    report->steps.push_back(e.text);
    if (e.kind == PlanEvent::kStatus) report->statuses.push_back(e.text);
  }
  for (const os::SimLaunch& launch : machine.Launches())
    if (IsProductInstall(launch.commandLine)) report->msiexecCommandLine = launch.commandLine;
  report->language = c.language;
  if (!c.packageFile.empty())
    report->packagePath = (c.packageFile.find(':') != std::string::npos || c.packageFile[0] == '\\')
                              ? c.packageFile
                              : c.setupDir + c.packageFile;
  std::string temp = machine.TempPath();
  if (std::optional<std::string> log = machine.ReadFileText(temp + "_SETUP.LOG"))
    report->setupLog = Lines(*log);
  report->msiLogPath = c.msiLogPath;
  if (!c.msiLogPath.empty())
    if (std::optional<std::string> log = machine.ReadFileText(c.msiLogPath))
      report->msiLog = Lines(*log);
  app::ResetContext();
  return true;
}

void PrintPlan(const Scenario& scenario, const PlanReport& r, std::ostream& out) {
  out << "setupsim: " << scenario.mediumFolder << " as " << scenario.mediumRoot << "setup.exe on "
      << DescribeSystem(scenario) << "\n";
  out << "command line: " << scenario.commandLine << "\n";
  out << "\n== checks\n";
  for (const std::string& line : r.checks) out << line << "\n";
  out << "\n== what the launcher does, in order\n";
  if (r.steps.empty()) out << "(nothing visible)\n";
  int n = 0;
  for (const std::string& step : r.steps) out << ++n << ". " << step << "\n";
  out << "\n== result\n";
  out << "language: " << (r.language.empty() ? "(none)" : r.language) << "\n";
  out << "package: " << (r.packagePath.empty() ? "(none)" : r.packagePath) << "\n";
  out << "msiexec.exe command line: " << (r.msiexecCommandLine ? *r.msiexecCommandLine : "(none)")
      << "\n";
  out << "status messages:" << (r.statuses.empty() ? " (none)" : "") << "\n";
  for (const std::string& s : r.statuses) out << "  " << s << "\n";
  out << "setup log (_SETUP.LOG):" << (r.setupLog.empty() ? " (none)" : "") << "\n";
  for (const std::string& line : r.setupLog) out << "  " << line << "\n";
  out << "installer log lines (" << (r.msiLogPath.empty() ? "no LogFile" : r.msiLogPath)
      << "):" << (r.msiLog.empty() ? " (none)" : "") << "\n";
  for (const std::string& line : r.msiLog) out << "  " << line << "\n";
  if (r.processEnded) out << "the launcher ends itself with exit code " << *r.processEnded << "\n";
  out << "exit code: " << r.exitCode << "\n";
}

}  // namespace setupsim

// The switch tokenizer and the whole run-mode parse over any command line.
#include <cstdint>
#include <string>

#include "app/cmdline.h"
#include "app/setup_app.h"
#include "app/setup_context.h"
#include "fuzz/fuzz_input.h"
#include "os/sim/sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  app::CCmdLineArgs args(text, '/');
  for (const char* key : {"q", "l", "r", "#0", "#1"}) {
    std::string value;
    if (args.GetOption(key, &value, nullptr)) fuzz::Require(value.size() <= 259);
  }

  static os::ScopedSimMachine* machine = new os::ScopedSimMachine;
  os::ScopedSimMachine& sim = *machine;
  sim->SetModuleFileName("D:\\setup.exe");
  sim->WriteFileText("D:\\setup.inf", "[Setup]\r\nLogFile=setup.log\r\n");
  sim->WriteFileText("C:\\m\\setup.icf", "[Install]\r\n");
  sim->WriteFileText("C:\\WINDOWS\\HOST.INI", "[HostServer]\r\nName=MASTER01\r\n");
  app::ResetContext();
  app::SetupContext& c = app::Ctx();
  c.setupDir = "D:\\";
  c.setupInfPath = "D:\\setup.inf";
  {
    app::CSetupApp app;
    app.m_strWindowsDir = "C:\\WINDOWS\\";
    app.m_lpCmdLine = text;
    app.ParseCommandLine();
    fuzz::Require(app::Ctx().commandLine == text);
  }
  app::ResetContext();
  return 0;
}

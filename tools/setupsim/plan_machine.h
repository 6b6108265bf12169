// The simulated machine of a setupsim run: the test port, plus an ordered record of what
// the launcher did on it (reads that mark its steps, boxes, dialogs, programs, statuses),
// so that the plan can be told in the order it happened.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "os/sim/sim_machine.h"

namespace setupsim {

struct PlanEvent {
  enum Kind {
    kRead,
    kMutex,
    kBox,
    kLanguageDialog,
    kDatabaseDialog,
    kWindow,
    kProgram,
    kWaitBox,
    kStatus,
    kLibrary
  };
  Kind kind;
  std::string section;  // kRead: section and key read
  std::string key;
  std::string text;  // what it is about, ready to print
};

class PlanMachine : public os::SimMachine {
 public:
  std::vector<PlanEvent> Events() const;
  void ClearEvents();

  std::string ProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& defaultValue,
                            std::size_t bufferSize) override;
  std::int32_t ProfileInt(const std::string& file, const std::string& section,
                          const std::string& key, std::int32_t defaultValue) override;
  os::Handle CreateMutex(const std::string& name, bool initialOwner) override;
  int MessageBox(os::Handle owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;
  int RunLanguageDialog(const os::LanguageDialogSpec& shape, int* selectedIndex) override;
  int RunDatabaseDialog(const os::DatabaseDialogSpec& shape, int* checkedRadio) override;
  os::Handle CreateMainWindow(const os::MainWindowSpec& shape,
                              os::MainWindowEvents* events) override;
  bool CreateProcess(const os::ProcessStart& start, os::ProcessInfo* info) override;
  bool ShellExecute(const std::string& file, const std::string& parameters,
                    const std::string& directory, int show, os::Handle* process) override;
  os::Handle ShowWaitBox(const std::string& message, os::Handle font) override;
  bool WriteMailslot(const std::string& path, const std::string& message) override;
  os::Handle LoadLibrary(const std::string& path) override;

 private:
  void Add(PlanEvent event);
  mutable std::mutex mu_;
  std::vector<PlanEvent> events_;
};

}  // namespace setupsim

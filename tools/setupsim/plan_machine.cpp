#include "tools/setupsim/plan_machine.h"

#include "cls/remote_mailslot.h"

namespace setupsim {

namespace {

std::string AnswerName(int answer) {
  switch (answer) {
    case os::kIdOk:
      return "OK";
    case os::kIdCancel:
      return "Cancel";
    case os::kIdYes:
      return "Yes";
    case os::kIdNo:
      return "No";
  }
  return std::to_string(answer);
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

}  // namespace

std::vector<PlanEvent> PlanMachine::Events() const {
  std::lock_guard<std::mutex> lock(mu_);
  return events_;
}

void PlanMachine::ClearEvents() {
  std::lock_guard<std::mutex> lock(mu_);
  events_.clear();
}

void PlanMachine::Add(PlanEvent event) {
  std::lock_guard<std::mutex> lock(mu_);
  events_.push_back(std::move(event));
}

std::string PlanMachine::ProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& defaultValue,
                                       std::size_t bufferSize) {
  std::string value = SimMachine::ProfileString(file, section, key, defaultValue, bufferSize);
  Add({PlanEvent::kRead, section, key,
       file + " [" + section + "] " + key + " = \"" + value + "\""});
  return value;
}

std::int32_t PlanMachine::ProfileInt(const std::string& file, const std::string& section,
                                     const std::string& key, std::int32_t defaultValue) {
  std::int32_t value = SimMachine::ProfileInt(file, section, key, defaultValue);
  Add({PlanEvent::kRead, section, key,
       file + " [" + section + "] " + key + " = " + std::to_string(value)});
  return value;
}

os::Handle PlanMachine::CreateMutex(const std::string& name, bool initialOwner) {
  Add({PlanEvent::kMutex, "", "", name});
  return SimMachine::CreateMutex(name, initialOwner);
}

int PlanMachine::MessageBox(os::Handle owner, const std::string& text, const std::string& caption,
                            std::uint32_t flags) {
  int answer = SimMachine::MessageBox(owner, text, caption, flags);
  const char* icon = (flags & 0xF0) == os::kMbIconError     ? "error"
                     : (flags & 0xF0) == os::kMbIconWarning ? "warning"
                                                            : "no icon";
  const char* buttons = (flags & 0x0F) == os::kMbYesNo      ? "Yes/No"
                        : (flags & 0x0F) == os::kMbOkCancel ? "OK/Cancel"
                                                            : "OK";
  Add({PlanEvent::kBox, "", "",
       "message box \"" + caption + "\" (" + icon + ", " + buttons + "): \"" + text + "\" -> " +
           AnswerName(answer)});
  return answer;
}

int PlanMachine::RunLanguageDialog(const os::LanguageDialogSpec& shape, int* selectedIndex) {
  int answer = SimMachine::RunLanguageDialog(shape, selectedIndex);
  std::string text = "language dialog \"" + shape.caption + "\": \"" + shape.prompt + "\" choices [" +
                     Join(shape.items) + "]";
  if (shape.acceptAtOnce) text += ", accepted at once";
  text += " -> " + AnswerName(answer);
  if (answer == os::kIdOk && *selectedIndex >= 0 &&
      *selectedIndex < static_cast<int>(shape.items.size()))
    text += " \"" + shape.items[static_cast<std::size_t>(*selectedIndex)] + "\"";
  Add({PlanEvent::kLanguageDialog, "", "", text});
  return answer;
}

int PlanMachine::RunDatabaseDialog(const os::DatabaseDialogSpec& shape, int* checkedRadio) {
  int answer = SimMachine::RunDatabaseDialog(shape, checkedRadio);
  std::string text = "database dialog \"" + shape.caption + "\": (1113) \"" + shape.sqlText +
                     "\" / (1114) \"" + shape.oracleText + "\" -> " + AnswerName(answer);
  if (answer == os::kIdOk) text += *checkedRadio == 1114 ? " Oracle" : " SQL";
  Add({PlanEvent::kDatabaseDialog, "", "", text});
  return answer;
}

os::Handle PlanMachine::CreateMainWindow(const os::MainWindowSpec& shape,
                                         os::MainWindowEvents* events) {
  os::Handle window = SimMachine::CreateMainWindow(shape, events);
  Add({PlanEvent::kWindow, "", "",
       "main window (hidden) \"" + shape.caption + "\", picture " + shape.bitmapPath});
  return window;
}

bool PlanMachine::CreateProcess(const os::ProcessStart& start, os::ProcessInfo* info) {
  std::size_t before = Launches().size();
  bool started = SimMachine::CreateProcess(start, info);
  std::string folder = start.workDir ? *start.workDir : CurrentDirectory() + " (current)";
  std::string text = "start " + start.commandLine + "\n      in " + folder;
  if (!started) {
    text += "\n      cannot start (error " + std::to_string(LastError()) + ")";
  } else if (Launches().size() > before) {
    text += "\n      program " + Launches()[before].programPath;
  }
  Add({PlanEvent::kProgram, "", "", text});
  return started;
}

bool PlanMachine::ShellExecute(const std::string& file, const std::string& parameters,
                               const std::string& directory, int show, os::Handle* process) {
  bool started = SimMachine::ShellExecute(file, parameters, directory, show, process);
  Add({PlanEvent::kProgram, "", "",
       "shell-execute " + file + " " + parameters + "\n      in " + directory +
           (started ? "" : "\n      cannot start")});
  return started;
}

os::Handle PlanMachine::ShowWaitBox(const std::string& message, os::Handle font) {
  Add({PlanEvent::kWaitBox, "", "", "wait box \"" + message + "\""});
  return SimMachine::ShowWaitBox(message, font);
}

bool PlanMachine::WriteMailslot(const std::string& path, const std::string& message) {
  if (std::optional<cls::StatusMessage> status = cls::DecodeStatus(message))
    Add({PlanEvent::kStatus, "", "", "status to " + path + ": " + cls::DescribeStatus(*status)});
  return SimMachine::WriteMailslot(path, message);
}

os::Handle PlanMachine::LoadLibrary(const std::string& path) {
  os::Handle library = SimMachine::LoadLibrary(path);
  Add({PlanEvent::kLibrary, "", "",
       "load plug-in " + path +
           (library ? "" : " (cannot load, error " + std::to_string(LastError()) + ")")});
  return library;
}

}  // namespace setupsim

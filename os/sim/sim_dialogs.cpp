// The launcher's dialogs, simulated: each one shown is recorded with what the launcher
// asked it to show, and answered from the queue of scripted answers (default: IDOK with
// the initial choice). A language dialog that accepts at once takes no answer, as the
// real one ends before the user can act. Wait boxes and fonts are records with handles.
#include "os/sim/sim_state.h"

namespace os {

using namespace sim;

namespace {

constexpr std::uint32_t kErrInvalidWindowHandle = 1400;
constexpr int kLanguageTemplate = 100;
constexpr int kDatabaseTemplate = 107;
constexpr int kSqlRadio = 1113;
constexpr int kOracleRadio = 1114;

// The next scripted answer, or IDOK with the initial choice.
SimDialogAnswer TakeAnswer(SimState& s) {
  if (s.dialogAnswers.empty()) return SimDialogAnswer{};
  SimDialogAnswer answer = s.dialogAnswers.front();
  s.dialogAnswers.pop_front();
  return answer;
}

// A dialog ends with IDOK or IDCANCEL; any other scripted code counts as a close.
int DialogResult(int answer) { return answer == kIdOk ? kIdOk : kIdCancel; }

}  // namespace

namespace sim {

bool DestroyWaitBox(SimState& s, Handle window, bool* destroyed) {
  *destroyed = false;
  for (SimWaitBox& box : s.waitBoxes) {
    if (box.handle != window) continue;
    if (box.destroyed) {
      SetError(s, kErrInvalidWindowHandle);
    } else if (box.thread != Self(s).id) {  // only the box's own thread may destroy it
      SetError(s, kErrorAccessDenied);
    } else {
      box.destroyed = true;
      *destroyed = true;
    }
    return true;
  }
  return false;
}

}  // namespace sim

void SimMachine::QueueDialogAnswer(int answer, std::optional<int> selection) {
  QueueDialogAnswer(SimDialogAnswer{answer, selection});
}

void SimMachine::QueueDialogAnswer(const SimDialogAnswer& answer) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->dialogAnswers.push_back(answer);
}

std::vector<SimDialog> SimMachine::Dialogs() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->dialogs;
}

std::vector<SimWaitBox> SimMachine::WaitBoxes() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->waitBoxes;
}

void SimMachine::SetWaitBoxFails(bool fails) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->waitBoxFails = fails;
}

std::vector<SimFont> SimMachine::Fonts() const {
  std::lock_guard<std::mutex> lock(state_->mu);
  return state_->fonts;
}

void SimMachine::SetFontCreationFails(bool fails) {
  std::lock_guard<std::mutex> lock(state_->mu);
  state_->fontCreationFails = fails;
}

int SimMachine::RunLanguageDialog(const LanguageDialogSpec& shape, int* selectedIndex) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  SimDialog d;
  d.templateId = kLanguageTemplate;
  d.language = shape;
  int count = static_cast<int>(shape.items.size());
  int selection = shape.initialSelection >= 0 && shape.initialSelection < count
                      ? shape.initialSelection
                      : -1;
  if (shape.acceptAtOnce) {
    d.answer = kIdOk;
  } else {
    SimDialogAnswer answer = TakeAnswer(s);
    d.waited = true;
    d.answer = DialogResult(answer.answer);
    if (answer.selection) selection = *answer.selection >= 0 && *answer.selection < count
                                          ? *answer.selection
                                          : -1;  // CB_SETCURSEL out of range: no selection
  }
  d.selection = selection;
  s.dialogs.push_back(d);
  if (d.answer == kIdOk && selectedIndex != nullptr) *selectedIndex = selection;
  return d.answer;
}

int SimMachine::RunDatabaseDialog(const DatabaseDialogSpec& shape, int* checkedRadio) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  SimDialog d;
  d.templateId = kDatabaseTemplate;
  d.database = shape;
  d.waited = true;
  int checked = shape.checkedRadio == kSqlRadio || shape.checkedRadio == kOracleRadio
                    ? shape.checkedRadio
                    : 0;
  SimDialogAnswer answer = TakeAnswer(s);
  d.answer = DialogResult(answer.answer);
  if (answer.selection)
    checked = *answer.selection == kSqlRadio || *answer.selection == kOracleRadio
                  ? *answer.selection
                  : 0;
  d.selection = checked;
  s.dialogs.push_back(d);
  if (d.answer == kIdOk && checkedRadio != nullptr) *checkedRadio = checked;
  return d.answer;
}

Handle SimMachine::ShowWaitBox(const std::string& message, Handle font) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (s.waitBoxFails) {
    SetError(s, kErrorNotEnoughMemory);
    return 0;
  }
  SimWaitBox box;
  box.handle = s.nextWindow;
  s.nextWindow += 0x10;
  box.message = message;
  box.font = font;
  box.thread = Self(s).id;
  s.waitBoxes.push_back(box);
  return box.handle;
}

Handle SimMachine::CreateFontIndirect(const LogFontSpec& font) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (s.fontCreationFails) {
    SetError(s, kErrorNotEnoughMemory);
    return 0;
  }
  SimFont f;
  f.handle = s.nextGdiObject;
  s.nextGdiObject += 4;
  f.logical = font;
  s.fonts.push_back(f);
  return f.handle;
}

Handle SimMachine::StockFont(int index) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  if (index < 10 || index > 17 || index == 15) {  // OEM_FIXED_FONT .. DEFAULT_GUI_FONT
    SetError(s, kErrorInvalidParameter);
    return 0;
  }
  for (const SimFont& f : s.fonts)
    if (f.stockIndex == index) return f.handle;
  SimFont f;
  f.handle = 0x00A0000 + static_cast<Handle>(index);  // stock objects: fixed handles
  f.stockIndex = index;
  s.fonts.push_back(f);
  return f.handle;
}

bool SimMachine::DeleteObject(Handle object) {
  std::lock_guard<std::mutex> lock(state_->mu);
  SimState& s = *state_;
  for (SimFont& f : s.fonts) {
    if (f.handle != object) continue;
    if (f.stockIndex >= 0) return true;  // deleting a stock object does nothing
    if (f.deleted) break;
    f.deleted = true;
    return true;
  }
  SetError(s, kErrorInvalidParameter);
  return false;
}

}  // namespace os

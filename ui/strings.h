// The program's own texts (also in its string table).
#pragma once

namespace ui {

constexpr int kIdsSetupCannotContinue = 9;
constexpr const char* kStringSetupCannotContinue = "Setup cannot continue";

}  // namespace ui

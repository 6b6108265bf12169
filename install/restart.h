// Restart prompts, the restart itself, and the product's restart request.
#pragma once

#include <cstdint>

namespace install {

// Asks the user (catalogue message `messageNumber`) whether to restart Windows now, and
// restarts on Yes. Nothing is asked in a quiet run or when the message is missing.
void PromptRestart(int messageNumber);
// Restarts Windows with the shutdown privilege held for the request; answers the last
// error after the privilege is switched off again.
std::uint32_t RestartWindows();
// 1 when the product's "reboot" value under its root key was 1; the value is removed.
int TakeRebootRequest();

}  // namespace install

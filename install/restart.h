// Restart prompts and the product's restart request.
#pragma once

namespace install {

void PromptRestart(int messageNumber);
// 1 when the product's "reboot" value under its root key was 1; the value is removed.
int TakeRebootRequest();

}  // namespace install

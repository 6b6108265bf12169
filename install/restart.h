// Restart prompts and requests.
#pragma once

namespace install {

void PromptRestart(int messageNumber);

}  // namespace install

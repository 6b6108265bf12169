// Runs a program named by a medium's command text and waits until it has ended, while
// the calling thread's windows keep being served.
#pragma once

#include <cstdint>
#include <string>

#include "os/system.h"

namespace install {

// Command text rule: the program is the text up to the first "/", the rest (from that
// "/") its arguments; a text without ":" and not beginning with "\" is relative to the
// launcher's folder. A wait box shows `message` while the program runs (none when empty).
int RunCommandAndWait(std::string command, std::string message);
// The same without handle inheritance, at normal priority, in `directory` (none: the
// launcher's current directory).
int RunCommandInDirAndWait(std::string command, const std::string* directory,
                           std::string message);
// Waits for the object while dispatching the calling thread's messages.
std::uint32_t WaitWithMessagePump(os::Handle object, std::uint32_t timeoutMs);

}  // namespace install

// The setup log (_SETUP.LOG in the TEMP folder), the "Parameter: " lines of the Windows
// Installer log, and the double-byte-safe path routines they use.
#pragma once

#include <initializer_list>
#include <string>

namespace app {

// Appends one line to _SETUP.LOG: the format with its "%s" filled by the argument.
void WriteSetupLog(const std::string& format, const std::string& argument);
std::string SetupLogPath();

// Adds "Parameter: <text>" and a line feed to the Windows Installer log (msiLogPath);
// does nothing when no log is in use or it cannot be opened.
void WriteMsiLogLine(std::string text);

// Removes trailing backslashes, keeping one that is the trail byte of a double-byte
// character; answers the new length.
std::size_t StripTrailingBackslashes(std::string& path);
// Exactly one trailing backslash on a non-empty path; answers the new length.
std::size_t AddTrailingBackslash(std::string& path);

// A setupexe.log left in the TEMP folder by earlier setups is removed.
void DeleteStaleSetupExeLog();

}  // namespace app

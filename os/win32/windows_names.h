// The Windows headers map many function names to their A/W variants with macros; those
// names are also method names of os::System, so the macros must go before the port's
// declarations are seen. The port calls the A functions by their full names.
#pragma once

#undef CopyFile
#undef CreateDirectory
#undef CreateEvent
#undef CreateFontIndirect
#undef CreateMailslot
#undef CreateMutex
#undef CreateProcess
#undef DeleteFile
#undef ExitWindows
#undef ExpandEnvironmentStrings
#undef GetEnvironmentVariable
#undef LoadLibrary
#undef MessageBox
#undef PostThreadMessage
#undef SetCurrentDirectory
#undef SetEnvironmentVariable
#undef SetFileAttributes
#undef ShellExecute

// Numeric values of the operating system that the launcher passes through the port.
// They carry the same values as on Windows, so the Win32 port hands them on unchanged
// and the simulated machine interprets them the same way.
#pragma once

#include <cstdint>

// Calling convention of exports that a plug-in library offers (the callee removes the
// arguments on 32-bit Windows; other targets have one convention only).
#if defined(_WIN32) && !defined(_WIN64)
#define OS_WINAPI __stdcall
#else
#define OS_WINAPI
#endif

namespace os {

// Error codes (GetLastError).
enum : std::uint32_t {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorBadFormat = 11,
  kErrorInvalidParameter = 87,
  kErrorInsufficientBuffer = 122,
  kErrorModNotFound = 126,
  kErrorProcNotFound = 127,
  kErrorBadPathname = 161,
  kErrorAlreadyExists = 183,
  kErrorFilenameExcedRange = 206,
  kErrorMoreData = 234,
  kErrorNoMoreItems = 259,
  kErrorInvalidName = 123,
  kErrorFileExists = 80,
  kErrorNoMoreFiles = 18,
  kErrorNotAllAssigned = 1300,
  kErrorNoSuchPrivilege = 1313,
};

// Process exit codes with a meaning of their own.
enum : std::uint32_t {
  kStillActive = 259,
  kMsiSuccess = 0,
  kMsiRebootRequired = 3010,
  kMsiFatalError = 1603,
  kMsiInstallInProgress = 1618,
};

// Wait results.
enum : std::uint32_t {
  kWaitObject0 = 0,
  kWaitAbandoned = 0x80,
  kWaitTimeout = 258,
  kWaitFailed = 0xFFFFFFFF,
  kInfinite = 0xFFFFFFFF,
};

// Registry.
enum : std::uint32_t {
  kKeyQueryValue = 0x0001,
  kKeySetValue = 0x0002,
  kKeyEnumerateSubKeys = 0x0008,
  kKeyRead = 0x20019,
  kKeyWrite = 0x20006,
  kKeyAllAccess = 0xF003F,
  kKeyWow64_64Key = 0x0100,
  kKeyWow64_32Key = 0x0200,
};
enum : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// File attributes.
enum : std::uint32_t {
  kFileAttributeReadOnly = 0x01,
  kFileAttributeHidden = 0x02,
  kFileAttributeSystem = 0x04,
  kFileAttributeDirectory = 0x10,
  kFileAttributeArchive = 0x20,
  kFileAttributeNormal = 0x80,
  kInvalidFileAttributes = 0xFFFFFFFF,
};

// Process creation flags.
enum : std::uint32_t {
  kDetachedProcess = 0x00000008,
  kNormalPriorityClass = 0x00000020,
};

// Message box flags and answers.
enum : std::uint32_t {
  kMbOk = 0x00,
  kMbOkCancel = 0x01,
  kMbYesNo = 0x04,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
  kMbIconInformation = 0x40,
};
enum : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdYes = 6,
  kIdNo = 7,
};

// Version platform ids.
enum : std::uint32_t {
  kPlatformWin32s = 0,
  kPlatformWindows = 1,  // 95/98/ME
  kPlatformNt = 2,
};

// Thread priorities.
enum : int {
  kThreadPriorityNormal = 0,
  kThreadPriorityHighest = 2,
};

// Error-mode flags.
enum : std::uint32_t {
  kSemNoOpenFileErrorBox = 0x8000,
};

// Window messages the launcher names.
enum : std::uint32_t {
  kWmUser = 0x0400,
  kWmQuit = 0x0012,
};

// Shutdown flags.
enum : std::uint32_t {
  kEwxReboot = 0x02,
  kEwxForce = 0x04,
};

// Show commands.
enum : int {
  kSwHide = 0,
  kSwShowNormal = 1,
};

// File access, sharing and creation dispositions.
enum : std::uint32_t {
  kGenericRead = 0x80000000,
  kGenericWrite = 0x40000000,
  kFileShareRead = 0x1,
  kFileShareWrite = 0x2,
  kFileShareDelete = 0x4,
  kCreateNew = 1,
  kCreateAlways = 2,
  kOpenExisting = 3,
  kOpenAlways = 4,
  kTruncateExisting = 5,
};

// System metrics the launcher reads.
enum : int {
  kSmCxScreen = 0,
  kSmCyScreen = 1,
  kSmCxDlgFrame = 7,
  kSmCyDlgFrame = 8,
  kSmCxFullScreen = 16,
  kSmCyFullScreen = 17,
  kSmDbcsEnabled = 42,
};

// Language ids.
enum : std::uint16_t {
  kLangEnglishUs = 1033,
};

}  // namespace os

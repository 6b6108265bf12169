// Queries of the running Windows platform.
#pragma once

namespace checks {

// 1 when the running Windows is at least major.minor (and, for NT, the service pack).
int IsOsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePack);

// Processor classes of the first processor.
enum ProcessorClass : int {
  kProcessorOther = 0,  // 32-bit x86 included, and anything not identified
  kProcessorItanium = 1,
  kProcessorX64 = 2,
};
int GetProcessorClass();

// True on 64-bit Windows: the 32-bit program folder is registered.
bool IsWindows64Bit();

}  // namespace checks

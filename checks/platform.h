// Queries of the running Windows platform.
#pragma once

namespace checks {

// 1 when the running Windows is at least major.minor (and, for NT, the service pack).
int IsOsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePack);

// 0: other or unidentified (32-bit x86 included), 1: Itanium, 2: x64.
int GetProcessorClass();

}  // namespace checks

// The Ingres virtual node to a remote management database, made by Ingres's netutil.
#pragma once

#include <cstdint>
#include <string>

namespace components {

constexpr const char* kVnodeScriptName = "addvnode1.vn";

// Starts a program through the shell and waits for it without time limit; answers its
// exit code, or 0 when it could not be started.
std::uint32_t ShellExecuteAndWait(const std::string& file, const std::string& parameters,
                                  const std::string& directory, int show);

// The Ingres folder below Program Files; empty when Program Files is unknown.
std::string IngresFolder();

}  // namespace components

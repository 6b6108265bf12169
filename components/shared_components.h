// The shared components that the install configuration file asks for with its "[SCC]"
// marker: the management database (locally, or Ingres Net to a remote one), then the
// identity component.
#pragma once

#include <optional>
#include <string>

namespace components {

// The installer command made from setup.inf's Command_KDB, a format whose "%s" take the
// Ingres folder, the configuration file and the response-file name in that order.
// nullopt for a value that is no such format (more than three conversions, or any
// conversion but "%s").
std::optional<std::string> KdbCommandLine(const std::string& format, const std::string& folder,
                                          const std::string& icfPath,
                                          const std::string& responseName);

}  // namespace components

// The identity component (eKSM): its installer runs with a response file filled from the
// installer's template, and the component's registry marker decides whether it was
// installed.
#pragma once

#include <string>

namespace components {

// Installs the component when setup.inf names its installer; 1 when the component is
// installed. Without the marker afterwards the process ends with exit code 1.
int InstallIdentityComponent();

// Fills the response file from the template and answers its path; an empty path when the
// template cannot be read. Ends the process with exit code 1 when the Program Files
// folder is unknown.
std::string PrepareIdentityResponseFile();

// Where the template's working copy and the filled response file are written for the
// install configuration file `icfPath`. The names never coincide with the configuration
// file or the template.
struct ResponseFileNames {
  std::string workingCopy;
  std::string responseFile;
};
ResponseFileNames IdentityResponseFileNames(const std::string& icfPath,
                                            const std::string& templatePath);

}  // namespace components

// setupsim --check: the faults of a medium that the launcher would trip over, found
// without running it. Each finding names its file, section and key.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace setupsim {

struct Finding {
  std::string file;     // setup.inf, setupres.ini, setup.icf, or a folder of the medium
  std::string section;  // empty when the finding is about the file or folder itself
  std::string key;
  std::string problem;
};

std::vector<Finding> CheckMedium(const std::string& mediumFolder);
// "file [section] key: problem", one line each.
void PrintFindings(const std::vector<Finding>& findings, std::ostream& out);

}  // namespace setupsim

// What the port's contract suite needs from the side it runs on: the port itself, a
// scratch folder and programs with a known exit code. The simulated machine and the real
// Win32 port each provide one, so every case runs unchanged against both.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "os/system.h"

namespace contract {

// The file that a program made by MakeProgram writes into its current folder.
constexpr const char* kProgramMarker = "program-ran.txt";

class Side {
 public:
  virtual ~Side() = default;
  virtual os::System& Port() = 0;
  // An empty folder for this case alone (no trailing backslash).
  virtual std::string ScratchFolder() = 0;
  // A program file at `path` that writes kProgramMarker into its current folder and
  // exits with `exitCode`. The side removes it when the case ends.
  virtual void MakeProgram(const std::string& path, std::uint32_t exitCode) = 0;
  // Makes the machine 64-bit Windows with separate 32- and 64-bit registry views.
  virtual void UseTwoRegistryViews() = 0;
};

// A fresh side for one case; the port is installed for the side's lifetime.
std::unique_ptr<Side> NewSide();

}  // namespace contract

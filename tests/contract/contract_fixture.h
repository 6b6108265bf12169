// The fixture every contract case uses: the side, its scratch folder and file helpers
// that go through the port, so that they work on both sides alike.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "tests/contract/contract_side.h"

namespace contract {

class PortContract : public ::testing::Test {
 protected:
  void SetUp() override {
    side_ = NewSide();
    scratch_ = side_->ScratchFolder();
    startFolder_ = port().CurrentDirectory();
  }
  void TearDown() override {
    port().SetCurrentDirectory(startFolder_);
    side_.reset();
  }

  os::System& port() { return side_->Port(); }
  Side& side() { return *side_; }
  const std::string& scratch() const { return scratch_; }
  std::string InScratch(const std::string& name) const { return scratch_ + "\\" + name; }

  // Writes `text` as the whole content of `path`; false when the file can't be made.
  bool WriteText(const std::string& path, const std::string& text) {
    os::Handle file = port().OpenFile(path, os::kGenericWrite, 0, os::kCreateAlways);
    if (file == 0) return false;
    bool written = port().WriteFile(file, text);
    port().CloseHandle(file);
    return written;
  }

  std::optional<std::string> ReadText(const std::string& path) {
    os::Handle file =
        port().OpenFile(path, os::kGenericRead, os::kFileShareRead, os::kOpenExisting);
    if (file == 0) return std::nullopt;
    std::string text;
    bool read = port().ReadFile(file, 1 << 16, &text);
    port().CloseHandle(file);
    if (!read) return std::nullopt;
    return text;
  }

 private:
  std::unique_ptr<Side> side_;
  std::string scratch_;
  std::string startFolder_;
};

}  // namespace contract

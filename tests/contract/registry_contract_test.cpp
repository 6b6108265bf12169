// Registry keys and values under HKEY_LOCAL_MACHINE\SOFTWARE\PortContract.
#include <string>
#include <utility>
#include <vector>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using namespace std::string_literals;

constexpr const char* kBase = "SOFTWARE\\PortContract";

class RegistryContract : public PortContract {
 protected:
  void SetUp() override {
    PortContract::SetUp();
    DeleteTree();  // what an aborted earlier run left behind
  }
  void TearDown() override {
    for (os::RegKey key : open_) port().RegCloseKey(key);
    DeleteTree();
    PortContract::TearDown();
  }

  // Creates `path` under the base key (in the view that `view` names); the case closes
  // and deletes it.
  os::RegKey Create(const std::string& path, std::uint32_t view = 0) {
    os::RegKey key = 0;
    EXPECT_EQ(port().RegCreateKey(os::kHkeyLocalMachine, std::string(kBase) + "\\" + path,
                                  os::kKeyAllAccess | view, &key),
              0u);
    open_.push_back(key);
    return key;
  }
  std::uint32_t Open(const std::string& path, std::uint32_t access, os::RegKey* key) {
    std::uint32_t result =
        port().RegOpenKey(os::kHkeyLocalMachine, std::string(kBase) + "\\" + path, access, key);
    if (result == 0) open_.push_back(*key);
    return result;
  }

 private:
  // The port deletes only leaf keys, so the tree goes leaf by leaf, in both views.
  void DeleteTree() {
    const char* leaves[] = {"Values\\Child", "Values",        "Enum",  "View",
                            "Security",      "Parent\\Child", "Parent"};
    for (std::uint32_t view :
         {0u, std::uint32_t{os::kKeyWow64_32Key}, std::uint32_t{os::kKeyWow64_64Key}}) {
      os::RegKey base = 0;
      if (port().RegOpenKey(os::kHkeyLocalMachine, kBase, os::kKeyAllAccess | view, &base) != 0) {
        continue;
      }
      for (const char* leaf : leaves) port().RegDeleteKey(base, leaf);
      port().RegCloseKey(base);
      os::RegKey software = 0;
      if (port().RegOpenKey(os::kHkeyLocalMachine, "SOFTWARE", os::kKeyAllAccess | view,
                            &software) == 0) {
        port().RegDeleteKey(software, "PortContract");
        port().RegCloseKey(software);
      }
    }
  }
  std::vector<os::RegKey> open_;
};

TEST_F(RegistryContract, OpenOfAMissingKeyFails) {
  os::RegKey key = 1;
  EXPECT_EQ(Open("Nowhere", os::kKeyRead, &key), os::kErrorFileNotFound);
  EXPECT_EQ(key, 0u);
}

TEST_F(RegistryContract, ValuesComeBackAsStored) {
  os::RegKey key = Create("Values");
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data, reported;
  };
  const Case cases[] = {
      {"Text", os::kRegSz, "value\0"s, "value\0"s},  // the terminating zero is part of the data
      // A string set without its zero (but followed by one in memory, as every
      // std::string is) gets it counted: Windows adds a forgotten terminator.
      {"Unterminated", os::kRegSz, "value"s, "value\0"s},
      {"", os::kRegSz, "default\0"s, "default\0"s},  // the key's unnamed value
      {"Path", os::kRegExpandSz, "%TEMP%\\x\0"s, "%TEMP%\\x\0"s},
      {"Count", os::kRegDword, "\x2a\0\0\0"s, "\x2a\0\0\0"s},
      {"Blob", os::kRegBinary, "\x01\x00\xff"s, "\x01\x00\xff"s},  // binary: as given
      {"List", os::kRegMultiSz, "a\0bc\0\0"s, "a\0bc\0\0"s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(port().RegSetValue(key, c.name, c.type, c.data), 0u);
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(port().RegQueryValue(key, c.name, &type, &data, 256), 0u);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.reported);
  }
}

TEST_F(RegistryContract, QueryLimitsAndMissingValues) {
  os::RegKey key = Create("Values");
  ASSERT_EQ(port().RegSetValue(key, "Text", os::kRegSz, "value\0"s), 0u);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(port().RegQueryValue(key, "Text", &type, &data, 6), 0u);  // exactly fits
  EXPECT_EQ(port().RegQueryValue(key, "Text", &type, &data, 5), os::kErrorMoreData);
  EXPECT_EQ(port().RegQueryValue(key, "Absent", &type, &data, 256), os::kErrorFileNotFound);
}

TEST_F(RegistryContract, ValueNamesIgnoreCase) {
  os::RegKey key = Create("Values");
  ASSERT_EQ(port().RegSetValue(key, "MixedCase", os::kRegSz, "x\0"s), 0u);
  std::string data;
  EXPECT_EQ(port().RegQueryValue(key, "MIXEDCASE", nullptr, &data, 256), 0u);
  EXPECT_EQ(data, "x\0"s);
}

TEST_F(RegistryContract, EnumerationWalksTheValuesThenStops) {
  os::RegKey key = Create("Enum");
  // Created in name order: Windows enumerates in creation order, Wine in name order.
  ASSERT_EQ(port().RegSetValue(key, "Alpha", os::kRegSz, "1\0"s), 0u);
  ASSERT_EQ(port().RegSetValue(key, "Beta", os::kRegDword, "\x02\0\0\0"s), 0u);
  std::vector<std::pair<std::string, std::string>> seen;
  std::uint32_t result = 0;
  for (std::uint32_t index = 0; index < 10; ++index) {
    std::string name, data;
    std::uint32_t type = 0;
    result = port().RegEnumValue(key, index, 64, 64, &name, &type, &data);
    if (result != 0) break;
    seen.emplace_back(name, data);
  }
  EXPECT_EQ(result, os::kErrorNoMoreItems);
  const std::vector<std::pair<std::string, std::string>> expected = {{"Alpha", "1\0"s},
                                                                     {"Beta", "\x02\0\0\0"s}};
  EXPECT_EQ(seen, expected);
}

TEST_F(RegistryContract, EnumerationLimits) {
  os::RegKey key = Create("Enum");
  ASSERT_EQ(port().RegSetValue(key, "Alpha", os::kRegSz, "12345\0"s), 0u);
  struct Case {
    std::uint32_t maxName, maxData, expected;
  };
  // maxName counts the terminating zero: "Alpha" needs 6.
  const Case cases[] = {{6, 6, 0}, {5, 64, os::kErrorMoreData}, {64, 5, os::kErrorMoreData}};
  for (const Case& c : cases) {
    SCOPED_TRACE("name " + std::to_string(c.maxName) + " data " + std::to_string(c.maxData));
    std::string name, data;
    std::uint32_t type = 0;
    EXPECT_EQ(port().RegEnumValue(key, 0, c.maxName, c.maxData, &name, &type, &data), c.expected);
  }
}

TEST_F(RegistryContract, DeletingValuesAndKeys) {
  os::RegKey parent = Create("Parent");
  Create("Parent\\Child");
  ASSERT_EQ(port().RegSetValue(parent, "Gone", os::kRegSz, "x\0"s), 0u);
  EXPECT_EQ(port().RegDeleteValue(parent, "Gone"), 0u);
  EXPECT_EQ(port().RegQueryValue(parent, "Gone", nullptr, nullptr, 0), os::kErrorFileNotFound);
  EXPECT_EQ(port().RegDeleteValue(parent, "Gone"), os::kErrorFileNotFound);

  EXPECT_NE(port().RegDeleteKey(parent, "Absent"), 0u);
  EXPECT_EQ(port().RegDeleteKey(parent, "Child"), 0u);
  os::RegKey child = 0;
  EXPECT_EQ(Open("Parent\\Child", os::kKeyRead, &child), os::kErrorFileNotFound);
}

TEST_F(RegistryContract, TheTwoViewsAreSeparate) {
  side().UseTwoRegistryViews();
  os::RegKey key = Create("View", os::kKeyWow64_32Key);
  ASSERT_EQ(port().RegSetValue(key, "Seen", os::kRegSz, "32\0"s), 0u);
  os::RegKey opened = 0;
  EXPECT_EQ(Open("View", os::kKeyRead | os::kKeyWow64_32Key, &opened), 0u);
  EXPECT_EQ(Open("View", os::kKeyRead | os::kKeyWow64_64Key, &opened), os::kErrorFileNotFound);
}

TEST_F(RegistryContract, GrantingABuiltinGroupAccessShowsInTheDescriptor) {
  constexpr std::uint32_t kBackupOperators = 551;
  os::RegKey key = Create("Security");
  std::uint32_t before = 0xdead;
  ASSERT_TRUE(port().RegGetBuiltinGroupAccess(key, kBackupOperators, &before));
  EXPECT_EQ(before, 0u);
  ASSERT_TRUE(port().RegGrantBuiltinGroupAccess(key, kBackupOperators, os::kKeyRead));
  std::uint32_t after = 0;
  ASSERT_TRUE(port().RegGetBuiltinGroupAccess(key, kBackupOperators, &after));
  EXPECT_EQ(after, os::kKeyRead);
}

}  // namespace
}  // namespace contract

// The simulated registry: defaults, values, enumeration, views, access and ACLs.
#include <gtest/gtest.h>

#include <string>

#include "os/sim/sim_machine.h"

namespace {

using namespace std::string_literals;
using os::RegKey;
using os::SimMachine;

std::string Query(SimMachine& m, const std::string& path, const std::string& name,
                  std::uint32_t access = os::kKeyRead) {
  RegKey key = 0;
  if (m.RegOpenKey(os::kHkeyLocalMachine, path, access, &key) != 0) return "<no key>";
  std::string data;
  std::uint32_t result = m.RegQueryValue(key, name, nullptr, &data, 1024);
  m.RegCloseKey(key);
  return result == 0 ? data : "<" + std::to_string(result) + ">";
}

TEST(SimRegistry, DefaultContent) {
  SimMachine m;
  EXPECT_EQ(Query(m, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
            "C:\\Program Files\0"s);
  EXPECT_EQ(Query(m, "hardware\\description\\system\\centralprocessor\\0", "identifier"),
            "x86 Family 6 Model 15 Stepping 6\0"s);
  EXPECT_EQ(Query(m, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "PATH"),
            "%SystemRoot%\\system32;%SystemRoot%\0"s);
  EXPECT_EQ(Query(m, "SYSTEM\\CurrentControlSet\\Control\\Windows", "CSDVersion"),
            "\x00\x02\x00\x00"s);  // service pack 2: 0x200
  EXPECT_EQ(Query(m, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CSDVersion"),
            "Service Pack 2\0"s);
}

TEST(SimRegistry, VersionValuesFollowSetVersionUnlessSetByHand) {
  SimMachine m;
  os::OsVersion v;
  v.major = 5;
  v.minor = 0;
  v.build = 2195;
  v.csdVersion = "Service Pack 4";
  v.servicePackMajor = 4;
  m.SetVersion(v);
  EXPECT_EQ(Query(m, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"),
            "5.0\0"s);
  EXPECT_EQ(Query(m, "SYSTEM\\CurrentControlSet\\Control\\Windows", "CSDVersion"),
            "\x00\x04\x00\x00"s);
  m.SetRegDword("SYSTEM\\CurrentControlSet\\Control\\Windows", "CSDVersion", 0x10600);
  m.SetVersion(v);  // the value set by the test stays
  EXPECT_EQ(Query(m, "SYSTEM\\CurrentControlSet\\Control\\Windows", "CSDVersion"),
            "\x00\x06\x01\x00"s);
}

TEST(SimRegistry, ValuesLimitsAndEnumeration) {
  SimMachine m;
  RegKey key = 0;
  ASSERT_EQ(
      m.RegCreateKey(os::kHkeyLocalMachine, "SOFTWARE\\Sim\\Deep\\Key", os::kKeyAllAccess, &key),
      0u);
  ASSERT_EQ(m.RegSetValue(key, "Zeta", os::kRegSz, "abc\0"s), 0u);
  ASSERT_EQ(m.RegSetValue(key, "alpha", os::kRegBinary, "\x01\x02"s), 0u);
  ASSERT_EQ(m.RegSetValue(key, "ZETA", os::kRegSz, "xyz"s), 0u);  // replaces, keeps its place
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(m.RegQueryValue(key, "zeta", &type, &data, 4), 0u);
  EXPECT_EQ(data, "xyz\0"s);  // the forgotten zero is counted
  EXPECT_EQ(m.RegQueryValue(key, "zeta", &type, &data, 3), os::kErrorMoreData);
  EXPECT_EQ(type, os::kRegSz);

  std::string name;
  EXPECT_EQ(m.RegEnumValue(key, 0, 5, 16, &name, &type, &data), 0u);
  EXPECT_EQ(name, "Zeta");  // as first created
  EXPECT_EQ(m.RegEnumValue(key, 0, 4, 16, &name, &type, &data), os::kErrorMoreData);
  EXPECT_EQ(m.RegEnumValue(key, 1, 16, 1, &name, &type, &data), os::kErrorMoreData);
  EXPECT_EQ(m.RegEnumValue(key, 1, 16, 2, &name, &type, &data), 0u);
  EXPECT_EQ(name, "alpha");
  EXPECT_EQ(m.RegEnumValue(key, 2, 16, 16, &name, &type, &data), os::kErrorNoMoreItems);
  m.RegCloseKey(key);

  EXPECT_EQ(m.RegValueData("SOFTWARE\\SIM\\deep\\key", "Alpha"), "\x01\x02"s);
  EXPECT_EQ(m.RegDeleteKey(os::kHkeyLocalMachine, "SOFTWARE\\Sim\\Deep"), os::kErrorAccessDenied);
  EXPECT_EQ(m.RegDeleteKey(os::kHkeyLocalMachine, "SOFTWARE\\Sim\\Deep\\Key"), 0u);
  EXPECT_FALSE(m.RegKeyExists("SOFTWARE\\Sim\\Deep\\Key"));
}

TEST(SimRegistry, AccessRightsOfTheKey) {
  SimMachine m;
  RegKey key = 0;
  ASSERT_EQ(m.RegOpenKey(os::kHkeyLocalMachine, "SOFTWARE", os::kKeyQueryValue, &key), 0u);
  EXPECT_EQ(m.RegSetValue(key, "x", os::kRegSz, "1\0"s), os::kErrorAccessDenied);
  m.RegCloseKey(key);
  EXPECT_EQ(m.RegQueryValue(key, "x", nullptr, nullptr, 0), os::kErrorInvalidHandle);

  m.SetRegAccessDenied("SOFTWARE\\Locked", true);
  m.MakeRegKey("SOFTWARE\\Locked\\Child");
  key = 7;
  EXPECT_EQ(m.RegOpenKey(os::kHkeyLocalMachine, "software\\locked", os::kKeyRead, &key),
            os::kErrorAccessDenied);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(m.RegOpenKey(os::kHkeyLocalMachine, "SOFTWARE\\Locked\\Child", os::kKeyRead, &key), 0u);
  m.RegCloseKey(key);
}

TEST(SimRegistry, ThirtyTwoBitProgramOnSixtyFourBitWindows) {
  SimMachine m;
  m.Set64BitWindows(true);
  EXPECT_EQ(Query(m, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
            "C:\\Program Files (x86)\0"s);  // the 32-bit view
  EXPECT_EQ(Query(m, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                  os::kKeyRead | os::kKeyWow64_64Key),
            "C:\\Program Files\0"s);
  m.SetRegString("SOFTWARE\\Wow6432Node\\Vendor", "Where", "32");
  m.SetRegString("SOFTWARE\\Vendor", "Where", "64");
  EXPECT_EQ(Query(m, "SOFTWARE\\Vendor", "Where"), "32\0"s);
  EXPECT_EQ(Query(m, "SOFTWARE\\Vendor", "Where", os::kKeyRead | os::kKeyWow64_64Key), "64\0"s);
  EXPECT_EQ(Query(m, "SYSTEM\\CurrentControlSet\\Control\\Windows", "CSDVersion").size(), 4u);

  // A key opened in one view keeps it for what is opened below it.
  RegKey software = 0;
  ASSERT_EQ(m.RegOpenKey(os::kHkeyLocalMachine, "SOFTWARE", os::kKeyRead | os::kKeyWow64_64Key,
                         &software),
            0u);
  RegKey vendor = 0;
  ASSERT_EQ(m.RegOpenKey(software, "Vendor", os::kKeyRead, &vendor), 0u);
  std::string data;
  EXPECT_EQ(m.RegQueryValue(vendor, "Where", nullptr, &data, 16), 0u);
  EXPECT_EQ(data, "64\0"s);
  m.RegCloseKey(vendor);
  m.RegCloseKey(software);

  RegKey created = 0;
  ASSERT_EQ(m.RegCreateKey(os::kHkeyLocalMachine, "SOFTWARE\\New", os::kKeyAllAccess, &created),
            0u);
  m.RegCloseKey(created);
  EXPECT_TRUE(m.RegKeyExists("SOFTWARE\\Wow6432Node\\New"));
  EXPECT_FALSE(m.RegKeyExists("SOFTWARE\\New"));
}

TEST(SimRegistry, BuiltinGroupAccess) {
  SimMachine m;
  constexpr std::uint32_t kBackupOperators = 551;
  RegKey key = 0;
  ASSERT_EQ(m.RegCreateKey(os::kHkeyLocalMachine, "SOFTWARE\\Acl", os::kKeyAllAccess, &key), 0u);
  std::uint32_t mask = 99;
  ASSERT_TRUE(m.RegGetBuiltinGroupAccess(key, kBackupOperators, &mask));
  EXPECT_EQ(mask, 0u);
  ASSERT_TRUE(m.RegGetBuiltinGroupAccess(key, 544, &mask));
  EXPECT_EQ(mask, os::kKeyAllAccess);  // administrators, inherited
  ASSERT_TRUE(m.RegGrantBuiltinGroupAccess(key, kBackupOperators, os::kKeyRead));
  ASSERT_TRUE(m.RegGrantBuiltinGroupAccess(key, kBackupOperators, os::kKeySetValue));
  EXPECT_EQ(m.RegBuiltinGroupAccess("SOFTWARE\\Acl", kBackupOperators),
            os::kKeyRead | os::kKeySetValue);
  m.RegCloseKey(key);

  ASSERT_EQ(m.RegOpenKey(os::kHkeyLocalMachine, "SOFTWARE\\Acl", os::kKeyRead, &key), 0u);
  EXPECT_FALSE(m.RegGrantBuiltinGroupAccess(key, kBackupOperators, os::kKeyRead));  // no WRITE_DAC
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
  m.SetRegSecurityUnreadable("SOFTWARE\\Acl", true);
  EXPECT_FALSE(m.RegGetBuiltinGroupAccess(key, kBackupOperators, &mask));
  m.RegCloseKey(key);
}

TEST(SimRegistry, CurrentUser) {
  SimMachine m;
  m.SetRegString("HKCU\\Software\\Vendor", "User", "me");
  RegKey key = 0;
  ASSERT_EQ(m.RegOpenKey(os::kHkeyCurrentUser, "Software\\Vendor", os::kKeyRead, &key), 0u);
  std::string data;
  EXPECT_EQ(m.RegQueryValue(key, "user", nullptr, &data, 16), 0u);
  EXPECT_EQ(data, "me\0"s);
  m.RegCloseKey(key);
  EXPECT_FALSE(m.RegKeyExists("Software\\Vendor"));  // not under HKLM
}

}  // namespace

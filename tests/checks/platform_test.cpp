#include "checks/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/setup_app.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

constexpr const char* kCatalogue =
    "[1033]\n"
    "9079=This medium cannot be installed on\n"
    "9086=%s needs Service Pack 6 on Windows NT 4.0.\n";
constexpr const char* kProduct = "Backup Agent";
constexpr const char* kTitle = "Install Backup Agent";

// How a platform check ends: admitted, refused with message 9079 and a platform name, or
// refused with message 9086.
enum Answer { kOk, kW9x, kV64, kV32, kXP64, kA64, kCur, kNT, kNT351, kSP6 };

std::string RefusalText(Answer answer) {
  static const char* const kNames[] = {
      nullptr,     "Win9x/ME", "Windows VISTA64",  "Windows VISTA32",
      "WinXP64",   "AMD64",    "current platform", "Winnt/Windows 2000/Windows XP/Windows 2003",
      "Winnt 3.51"};
  if (answer == kSP6) return "Backup Agent needs Service Pack 6 on Windows NT 4.0.";
  return std::string("This medium cannot be installed on ") + kNames[answer];
}

os::OsVersion Nt(unsigned major, unsigned minor, unsigned servicePack, bool extended = true) {
  os::OsVersion v;
  v.major = major;
  v.minor = minor;
  v.platformId = os::kPlatformNt;
  v.servicePackMajor = static_cast<std::uint16_t>(extended ? servicePack : 0);
  v.csdVersion = servicePack ? "Service Pack " + std::to_string(servicePack) : "";
  v.extendedQueryWorks = extended;
  return v;
}

os::OsVersion Windows98() {
  os::OsVersion v;
  v.major = 4;
  v.minor = 10;
  v.platformId = os::kPlatformWindows;
  v.extendedQueryWorks = false;
  return v;
}

constexpr const char* kX86 = "x86 Family 6 Model 15 Stepping 6";
constexpr const char* kAmd64 = "AMD64 Family 15 Model 4 Stepping 1";
constexpr const char* kEm64t = "EM64T Family 15 Model 4 Stepping 1";
constexpr const char* kIntel64 = "Intel64 Family 6 Model 158 Stepping 10";
constexpr const char* kIa64 = "ia64 Family 31 Model 0 Stepping 7";

const char* const kSystemVersions[] = {"",           "Winnt", "winnt",   "VISTA",
                                       "VISTAAMD64", "AMD64", "WinXP64", "Win9x/ME"};

struct Platform {
  const char* name;
  os::OsVersion version;
  bool windows64;
  const char* processor;
  Answer answers[8];  // for each of kSystemVersions, in order
};

// clang-format off
const Platform kPlatforms[] = {
  //                                                        ""   Winnt  winnt  VISTA  VISTAAMD64 AMD64  WinXP64 Win9x/ME
  {"Windows 98",           Windows98(),      false, kX86,     {kOk, kW9x,  kW9x,  kW9x,  kW9x,  kW9x,  kW9x,  kOk}},
  {"NT 3.51",              Nt(3, 51, 0, false), false, kX86,  {kOk, kNT351,kNT,   kNT,   kNT351,kNT351,kNT351,kNT}},
  {"NT 4.0 SP5",           Nt(4, 0, 5, false), false, kX86,  {kOk, kSP6,  kNT,   kNT,   kSP6,  kSP6,  kSP6,  kNT}},
  {"NT 4.0 SP5, with the service-pack record", Nt(4, 0, 5), false, kX86, {kOk, kSP6, kNT, kNT, kSP6, kSP6, kSP6, kNT}},
  {"NT 4.0 SP6",           Nt(4, 0, 6),      false, kX86,     {kOk, kOk,   kNT,   kNT,   kOk,   kOk,   kOk,   kNT}},
  {"Windows 2000",         Nt(5, 0, 4),      false, kX86,     {kOk, kOk,   kNT,   kNT,   kOk,   kOk,   kOk,   kNT}},
  {"XP 32-bit",            Nt(5, 1, 2),      false, kX86,     {kOk, kOk,   kNT,   kNT,   kOk,   kOk,   kOk,   kNT}},
  {"XP x64",               Nt(5, 2, 1),      true,  kAmd64,   {kOk, kA64,  kA64,  kA64,  kOk,   kOk,   kA64,  kA64}},
  {"XP Itanium",           Nt(5, 1, 1),      true,  kIa64,    {kOk, kXP64, kXP64, kXP64, kXP64, kXP64, kOk,   kXP64}},
  {"Server 2003 x64",      Nt(5, 2, 1),      true,  kEm64t,   {kOk, kA64,  kA64,  kA64,  kOk,   kOk,   kA64,  kA64}},
  {"Vista 32-bit",         Nt(6, 0, 0),      false, kX86,     {kOk, kV32,  kV32,  kNT,   kOk,   kV32,  kV32,  kV32}},
  {"Vista x64",            Nt(6, 0, 0),      true,  kAmd64,   {kOk, kV64,  kV64,  kV64,  kOk,   kV64,  kV64,  kV64}},
  {"64-bit, unknown CPU",  Nt(5, 2, 0),      true,  "Mystery Family 1", {kOk, kCur, kCur, kCur, kCur, kCur, kCur, kCur}},
  {"Windows 7 x64, Intel64", Nt(6, 1, 1),    true,  kIntel64, {kOk, kV64,  kV64,  kV64,  kOk,   kV64,  kV64,  kV64}},
};
// clang-format on

class PlatformTest : public LauncherTest {
 protected:
  PlatformTest() { SetupRes(kCatalogue); }

  void UseMachine(const Platform& p) {
    sim->SetVersion(p.version);
    sim->Set64BitWindows(p.windows64);
    sim->SetProcessorIdentifier(p.processor);
  }

  // Runs the check once: interactive with a status host, or quiet for a master setup.
  int Check(const std::string& systemVersion, bool quiet) {
    SetupInf("[Setup]\nSystemVersion=" + systemVersion + "\n");
    app::ResetContext();
    UseMediumPaths();
    app::SetupContext& c = app::Ctx();
    c.language = "1033";
    if (quiet) {
      c.quiet = c.masterSetup = 1;
      c.productCode = "ZODIDEZ";
    } else {
      c.remoteStatus = 1;
    }
    boxesBefore_ = sim->MessageBoxes().size();
    statusesBefore_ = Statuses().size();
    app::CSetupApp theApp;
    theApp.m_strProductName = kProduct;
    theApp.m_pszAppName = kTitle;
    return theApp.CheckPlatform();
  }
  std::vector<os::SimMessageBox> NewBoxes() {
    return {sim->MessageBoxes().begin() + boxesBefore_, sim->MessageBoxes().end()};
  }
  std::vector<cls::StatusMessage> NewStatuses() {
    std::vector<cls::StatusMessage> all = Statuses();
    return {all.begin() + statusesBefore_, all.end()};
  }

 private:
  std::size_t boxesBefore_ = 0, statusesBefore_ = 0;
};

TEST_F(PlatformTest, EveryPlatformAgainstEveryListedToken) {
  for (const Platform& p : kPlatforms) {
    UseMachine(p);
    for (int i = 0; i < 8; ++i) {
      for (bool quiet : {false, true}) {
        SCOPED_TRACE(std::string(p.name) + " / SystemVersion=\"" + kSystemVersions[i] + "\"" +
                     (quiet ? " / quiet master setup" : " / interactive"));
        Answer expected = p.answers[i];
        EXPECT_EQ(Check(kSystemVersions[i], quiet), expected == kOk ? 1 : 0);
        std::vector<os::SimMessageBox> boxes = NewBoxes();
        std::vector<cls::StatusMessage> statuses = NewStatuses();
        if (expected == kOk) {
          EXPECT_TRUE(boxes.empty());
          EXPECT_TRUE(statuses.empty());
          continue;
        }
        std::string text = RefusalText(expected);
        ASSERT_EQ(boxes.size(), quiet ? 0u : 1u);
        for (const os::SimMessageBox& box : boxes) {
          EXPECT_EQ(box.text, text);
          EXPECT_EQ(box.caption, kTitle);
          EXPECT_EQ(box.flags, os::kMbOk | os::kMbIconError);
        }
        ASSERT_EQ(statuses.size(), 1u);
        EXPECT_EQ(statuses[0].code, 26u);
        EXPECT_EQ(statuses[0].level, 3u);
        EXPECT_EQ(statuses[0].form, quiet ? 'P' : 'T');
        EXPECT_EQ(statuses[0].productCode, quiet ? "ZODIDEZ" : "");
        EXPECT_EQ(statuses[0].text, text);
      }
    }
  }
}

TEST_F(PlatformTest, UnknownPlatformIdIsRefusedSilently) {
  os::OsVersion win32s;
  win32s.major = 3;
  win32s.minor = 11;
  win32s.platformId = os::kPlatformWin32s;
  sim->SetVersion(win32s);
  for (bool quiet : {false, true}) {
    EXPECT_EQ(Check("Winnt Win9x/ME", quiet), 0);
    EXPECT_TRUE(NewBoxes().empty());
    EXPECT_TRUE(NewStatuses().empty());
  }
  EXPECT_EQ(Check("", false), 1);  // no list: no restriction at all
}

TEST_F(PlatformTest, ProcessorClassFromTheFirstProcessorsIdentifier) {
  struct Case {
    const char* identifier;
    int processorClass;
  } cases[] = {
      {kAmd64, 2}, {kEm64t, 2}, {kIntel64, 2},
      {kIa64, 1},  {kX86, 0},   {"intel64 family 6", 0},  // case-sensitive
      {"", 0},
  };
  for (const Case& t : cases) {
    sim->SetProcessorIdentifier(t.identifier);
    EXPECT_EQ(checks::GetProcessorClass(), t.processorClass) << t.identifier;
  }
  sim->DeleteRegKeyTree("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");
  EXPECT_EQ(checks::GetProcessorClass(), 0);
}

TEST_F(PlatformTest, VersionComparisonWithServicePackLevel) {
  sim->SetRegDword("System\\CurrentControlSet\\Control\\Windows", "CSDVersion", 0x10600);
  sim->SetVersion(Nt(5, 1, 2));
  struct Case {
    unsigned major, minor, servicePack;
    int atLeast;
  } cases[] = {
      {5, 1, 0, 1},     {5, 0, 9, 1}, {4, 9, 9, 1},
      {5, 2, 0, 0},     {6, 0, 0, 0}, {5, 1, 0x600, 1},  // low 16 bits of CSDVersion
      {5, 1, 0x601, 0},
  };
  for (const Case& t : cases)
    EXPECT_EQ(checks::IsOsVersionAtLeast(t.major, t.minor, t.servicePack), t.atLeast)
        << t.major << "." << t.minor << " sp " << t.servicePack;

  sim->DeleteRegKeyTree("System\\CurrentControlSet\\Control\\Windows");
  EXPECT_EQ(checks::IsOsVersionAtLeast(5, 1, 1), 0);  // unreadable level
  sim->SetVersion(Windows98());
  EXPECT_EQ(checks::IsOsVersionAtLeast(4, 10, 5), 1);  // no service packs outside NT
}

}  // namespace

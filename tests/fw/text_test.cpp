#include "fw/text.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
  const char* format;
  std::initializer_list<std::string> args;
  const char* expected;
};

TEST(FormatText, SubstitutesStringsInOrderAndCopiesEverythingElse) {
  const FormatCase cases[] = {
      {"Install %s", {"Agent"}, "Install Agent"},
      {"%s %s%s", {"a", "b", "c"}, "a bc"},
      {"%s and %s", {"one"}, "one and "},  // arguments used up: empty
      {"no placeholders", {"x"}, "no placeholders"},
      {"%n%x%d", {"x"}, "%n%x%d"},
      {"100%% sure %s", {"x"}, "100%% sure x"},
      {"lone % here", {}, "lone % here"},
      {"ends with %", {}, "ends with %"},
      {"%s", {"%s%n"}, "%s%n"},  // arguments are never formats themselves
      {"", {"x"}, ""},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(fw::FormatText(c.format, c.args), c.expected) << c.format;
}

TEST(FormatText, InspectCountsConversionsAndTellsNonStrings) {
  EXPECT_EQ(fw::InspectFormat("%s %s %s").conversions, 3);
  EXPECT_TRUE(fw::InspectFormat("%s %s %s").onlyStrings);
  EXPECT_FALSE(fw::InspectFormat("%s %d").onlyStrings);
  EXPECT_FALSE(fw::InspectFormat("100%").onlyStrings);
  EXPECT_EQ(fw::InspectFormat("plain").conversions, 0);
}

TEST(Text, CutToBufferKeepsRoomForTheTerminatingZero) {
  EXPECT_EQ(fw::CutToBuffer(std::string(600, 'a'), 520).size(), 519u);
  EXPECT_EQ(fw::CutToBuffer(std::string(519, 'a'), 520).size(), 519u);
  EXPECT_EQ(fw::CutToBuffer(std::string(518, 'a'), 520).size(), 518u);
  EXPECT_EQ(fw::CutToBuffer("abc", 0), "");
}

TEST(Text, SplitPathGivesDriveAndFolder) {
  fw::PathParts local = fw::SplitPath("D:\\media\\cd1\\setup.exe");
  EXPECT_EQ(local.drive, "D:");
  EXPECT_EQ(local.dir, "\\media\\cd1\\");
  EXPECT_EQ(local.fname, "setup");
  EXPECT_EQ(local.ext, ".exe");
  fw::PathParts unc = fw::SplitPath("\\\\srv\\share\\setup.exe");
  EXPECT_EQ(unc.drive, "");
  EXPECT_EQ(unc.dir, "\\\\srv\\share\\");
}

TEST(Text, FullPathNamesHaveAColonOrALeadingBackslash) {
  EXPECT_TRUE(fw::IsFullPathName("D:\\pkgs\\agent.msi"));
  EXPECT_TRUE(fw::IsFullPathName("\\\\srv\\pkgs\\agent.msi"));
  EXPECT_FALSE(fw::IsFullPathName("SQL\\agent.msi"));
}

}  // namespace

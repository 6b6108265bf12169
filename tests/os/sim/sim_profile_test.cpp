// The simulated machine's private-profile (INI) reads.
#include <gtest/gtest.h>

#include <string>

#include "os/sim/sim_machine.h"

namespace {

using namespace std::string_literals;
using os::SimMachine;

constexpr const char* kIni = "C:\\TEMP\\setup.ini";

std::string Utf16(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(SimProfile, Lookups) {
  SimMachine m;
  m.WriteFileText(kIni,
                  "top=before any section\n"
                  "[ Setup ]\n"
                  "\tName = \"  quoted  \"  \n"
                  "Single='x'\n"
                  "Mixed=\"a'\n"
                  "NoValue\n"
                  "Dup=first\n"
                  "Dup=second\n"
                  ";Note=read as a key\n"
                  "[Other]\n"
                  "Only=other\n"
                  "[setup]\n"
                  "Late=second section of the name\n");
  EXPECT_EQ(m.ProfileString(kIni, "setup", "NAME", "d", 256), "  quoted  ");
  EXPECT_EQ(m.ProfileString(kIni, " Setup ", " Name ", "d", 256), "  quoted  ");  // names trimmed
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Single", "d", 256), "x");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Mixed", "d", 256), "\"a'");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "NoValue", "d", 256), "d");  // no '=': no value
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Dup", "d", 256), "first");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", ";Note", "d", 256), "read as a key");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Only", "d", 256), "d");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Late", "d", 256), "d");  // the first section wins
  EXPECT_EQ(m.ProfileString(kIni, "", "top", "d", 256), "before any section");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Missing", "def  ", 256), "def");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Missing", "\"q\"", 256), "q");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Single", "d", 1), "");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Dup", "d", 3), "fi");
  EXPECT_EQ(m.ProfileString(kIni, "Setup", "Dup", "d", 0), "");
}

TEST(SimProfile, WhereTheFileIsLookedFor) {
  SimMachine m;
  m.WriteFileText("C:\\WINDOWS\\app.ini", "[s]\nk=windows\n");
  m.WriteFileText("C:\\TEMP\\app.ini", "[s]\nk=temp\n");
  ASSERT_TRUE(m.SetCurrentDirectory("C:\\TEMP"));
  EXPECT_EQ(m.ProfileString("app.ini", "s", "k", "d", 256), "windows");  // bare: Windows folder
  EXPECT_EQ(m.ProfileString(".\\app.ini", "s", "k", "d", 256), "temp");
  EXPECT_EQ(m.ProfileString("C:\\nowhere\\app.ini", "s", "k", "d", 256), "d");
  EXPECT_EQ(m.ProfileString("", "s", "k", "d", 256), "d");
}

TEST(SimProfile, Utf16FilesAreConvertedToTheCodePage) {
  SimMachine m;
  m.WriteFileText(kIni, Utf16(u"[S]\r\nName=Caf\u00e9 \u20ac \u4e2d\r\n"));
  EXPECT_EQ(m.ProfileString(kIni, "s", "name", "d", 256), "Caf\xE9 \x80 ?");
  m.SetCodePage(932);
  m.WriteFileText(kIni, Utf16(u"[S]\r\nName=\u65e5\u672c\r\n"));
  EXPECT_EQ(m.ProfileString(kIni, "S", "Name", "d", 256), "\x93\xFA\x96\x7B");
}

TEST(SimProfile, Integers) {
  SimMachine m;
  m.WriteFileText(kIni,
                  "[n]\nDec=42\nNeg=-17\nPlus=+5\nHex=0x1F\nUpperHex=0X1F\nOct=0o17\nBin=0b101\n"
                  "Trail=12abc\nNone=abc\nEmpty=\nSpaced=  7  \nQuoted=\"9\"\n"
                  "Wrap=4294967297\nBig=4294967295\n");
  struct Case {
    const char* key;
    std::int32_t expected;
  } cases[] = {{"Dec", 42},   {"Neg", -17},  {"Plus", 5},   {"Hex", 31}, {"UpperHex", 0},
               {"Oct", 15},   {"Bin", 5},    {"Trail", 12}, {"None", 0}, {"Empty", -3},
               {"Spaced", 7}, {"Quoted", 9}, {"Wrap", 1},   {"Big", -1}, {"Missing", -3}};
  for (const Case& c : cases) EXPECT_EQ(m.ProfileInt(kIni, "N", c.key, -3), c.expected) << c.key;
  EXPECT_EQ(m.ProfileInt("C:\\absent.ini", "N", "Dec", 8), 8);
}

}  // namespace

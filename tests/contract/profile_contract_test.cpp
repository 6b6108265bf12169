// Private-profile (INI) reads: what GetPrivateProfileString and GetPrivateProfileInt answer
// for the shapes of file the launcher meets.
#include <string>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

constexpr const char* kIni =
    "; a comment line\r\n"
    "[Setup]\r\n"
    "Product=Contract Suite\r\n"
    "  Padded   =   spaced value   \r\n"
    "Quoted=\"  inside quotes  \"\r\n"
    "SingleQuoted='single'\r\n"
    "HalfQuoted=\"open\r\n"
    "Inline=value ; not a comment\r\n"
    "Empty=\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    ";Commented=hidden\r\n"
    "Number=42\r\n"
    "Negative=-17\r\n"
    "Hex=0x1F\r\n"
    "Trailing=12abc\r\n"
    "Garbage=abc\r\n"
    "PaddedNumber=  7  \r\n"
    "Tabbed=\tvalue\t\r\n"
    "JustAKey\r\n"
    "\r\n"
    "[Other]\r\n"
    "Product=other section\r\n"
    "[ Spaced ]\r\n"
    "Inside=spaced section\r\n"
    "[setup]\r\n"
    "Later=second section\r\n"
    "Product=second product";  // and no line end

class ProfileContract : public PortContract {
 protected:
  void SetUp() override {
    PortContract::SetUp();
    ini_ = InScratch("setup.ini");
    ASSERT_TRUE(WriteText(ini_, kIni));
  }
  std::string ini_;
};

struct StringCase {
  const char* section;
  const char* key;
  const char* defaultValue;
  std::size_t bufferSize;
  const char* expected;
};

TEST_F(ProfileContract, StringReads) {
  const StringCase cases[] = {
      {"Setup", "Product", "d", 256, "Contract Suite"},
      {"SETUP", "product", "d", 256, "Contract Suite"},    // names ignore case
      {"Other", "Product", "d", 256, "other section"},     // sections keep their keys apart
      {"Setup", "Padded", "d", 256, "spaced value"},       // key and value trimmed
      {"Setup", "Quoted", "d", 256, "  inside quotes  "},  // quotes dropped, inside kept
      {"Setup", "SingleQuoted", "d", 256, "single"},
      {"Setup", "HalfQuoted", "d", 256, "\"open"},
      {"Setup", "Inline", "d", 256, "value ; not a comment"},
      {"Setup", "Empty", "d", 256, ""},  // present but empty: not the default
      {"Setup", "Dup", "d", 256, "first"},
      // A ';' line is no key anyone asks for, yet the reader has no comments of its own.
      {"Setup", ";Commented", "d", 256, "hidden"},
      {"Setup", "Tabbed", "d", 256, "value"},
      {"Setup", "JustAKey", "d", 256, "d"},              // a line without '=' is no value
      {"Spaced", "Inside", "d", 256, "spaced section"},  // section names trimmed
      {"Setup", "Later", "d", 256, "d"},                 // a repeated section is never read
      {"Setup", "Missing", "fallback", 256, "fallback"},
      {"Setup", "Missing", "fallback  ", 256, "fallback"},  // default's trailing blanks go
      {"Nowhere", "Product", "fallback", 256, "fallback"},
      {"Nowhere", "Product", "\"quoted\"", 256, "quoted"},  // the default loses quotes too
      {"Setup", "Product", "d", 5, "Cont"},                 // cut to the buffer, zero included
      {"Setup", "Product", "d", 1, ""},
  };
  for (const StringCase& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + " buffer " + std::to_string(c.bufferSize));
    EXPECT_EQ(port().ProfileString(ini_, c.section, c.key, c.defaultValue, c.bufferSize),
              c.expected);
  }
}

TEST_F(ProfileContract, MissingFileAnswersTheDefault) {
  EXPECT_EQ(port().ProfileString(InScratch("absent.ini"), "Setup", "Product", "dflt", 256), "dflt");
  EXPECT_EQ(port().ProfileInt(InScratch("absent.ini"), "Setup", "Number", 9), 9);
}

struct IntCase {
  const char* key;
  std::int32_t defaultValue;
  std::int32_t expected;
};

TEST_F(ProfileContract, IntReads) {
  const IntCase cases[] = {
      {"Number", 5, 42},      {"NUMBER", 5, 42}, {"Negative", 5, -17}, {"Hex", 5, 31},
      {"Trailing", 5, 12},    {"Garbage", 5, 0}, {"Empty", 5, 5},      {"Missing", -3, -3},
      {"PaddedNumber", 5, 7}, {"Product", 5, 0},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(port().ProfileInt(ini_, "Setup", c.key, c.defaultValue), c.expected);
  }
}

}  // namespace
}  // namespace contract

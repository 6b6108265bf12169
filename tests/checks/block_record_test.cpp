#include "checks/block_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(BlockRecordTest, VersionPatternPieces) {
  struct Case {
    const char* text;
    int major, minor, build;
  } cases[] = {
      {"", -1, -1, -1},
      {"11", 11, -1, -1},
      {"11.0", 11, 0, -1},
      {"11.", 11, -1, -1},  // nothing after the dot: no minor
      {"0.5", 0, 5, -1},
      {".5", 0, 5, -1},
      {"11..5", 11, 0, 5},  // an empty piece reads 0
      {"11.2.300", 11, 2, 300},
      {"11.2.300.4", 11, 2, 300},  // a fourth piece is ignored
      {"7x.3y.z", 7, 3, 0},        // leading digits only
      {" 8.-1.+2", 8, -1, 2},      // blanks and signs as atoi reads them
      {"abc", 0, -1, -1},
      {"99999999999.-99999999999", 2147483647, -2147483647 - 1, -1},  // saturated
  };
  for (const Case& t : cases) {
    checks::VersionPattern p = checks::ParseVersionPattern(t.text);
    EXPECT_EQ(p.major, t.major) << t.text;
    EXPECT_EQ(p.minor, t.minor) << t.text;
    EXPECT_EQ(p.build, t.build) << t.text;
  }
}

TEST(BlockRecordTest, RecordFieldsAndShortData) {
  const std::uint8_t bytes[] = {9, 9, 9, 9, 9, 9, 9, 9, 3, 11, 0x2C, 0x01, 0xC8, 7};
  checks::VersionRecord r = checks::ReadVersionRecord(bytes, sizeof bytes);
  EXPECT_EQ(r.minor, 3u);
  EXPECT_EQ(r.major, 11u);
  EXPECT_EQ(r.build, 300u);   // little-endian
  EXPECT_EQ(r.subtype, -56);  // signed

  checks::VersionRecord cut = checks::ReadVersionRecord(bytes, 10);  // missing bytes are 0
  EXPECT_EQ(cut.major, 11u);
  EXPECT_EQ(cut.build, 0u);
  EXPECT_EQ(cut.subtype, 0);
}

}  // namespace

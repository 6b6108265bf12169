// The version pattern of a block rule and the version records it is matched against.
// Pure functions over texts and bytes, so that any input can be fed to them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace checks {

// Up to three dot-separated numbers; -1 where a number is not given.
struct VersionPattern {
  int major = -1;
  int minor = -1;
  int build = -1;
};
// Each piece is read as a decimal number the way atoi does (leading blanks, a sign, then
// digits; 0 without digits), saturating instead of overflowing. A fourth piece is ignored.
VersionPattern ParseVersionPattern(const std::string& text);

// The fields of a registry value's data that a rule looks at.
struct VersionRecord {
  unsigned minor = 0;  // byte 8
  unsigned major = 0;  // byte 9
  unsigned build = 0;  // bytes 10 and 11, little-endian
  int subtype = 0;     // byte 12, signed
};
constexpr std::size_t kVersionRecordBytes = 13;
// The record held by the first kVersionRecordBytes bytes of `bytes`; missing bytes read 0.
VersionRecord ReadVersionRecord(const std::uint8_t* bytes, std::size_t size);

// A pattern's major or build of 0 or less matches any; a negative minor matches any.
bool RecordMatches(const VersionRecord& record, const VersionPattern& pattern, int subtype);

}  // namespace checks

// A block rule's version pattern and the registry record it is matched against.
#include <cstdint>
#include <string>

#include "checks/block_record.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = fuzz::Split(data, size, 2);
  checks::VersionPattern pattern = checks::ParseVersionPattern(parts[0]);
  const std::string& bytes = parts[1];
  checks::VersionRecord record =
      checks::ReadVersionRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  fuzz::Require(record.minor <= 0xFF && record.major <= 0xFF && record.build <= 0xFFFF);
  fuzz::Require(record.subtype >= -128 && record.subtype <= 127);
  for (int subtype : {-1, 0, 1, record.subtype}) checks::RecordMatches(record, pattern, subtype);
  // A pattern that asks for nothing matches a record of its subtype.
  fuzz::Require(checks::RecordMatches(record, checks::VersionPattern{}, record.subtype));
  return 0;
}

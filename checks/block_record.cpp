#include "checks/block_record.h"

#include <climits>

namespace checks {

namespace {

bool IsBlank(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

int ToNumber(const std::string& piece) {
  std::size_t i = 0;
  while (i < piece.size() && IsBlank(piece[i])) ++i;
  bool negative = false;
  if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
  long long value = 0;
  for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
    value = value * 10 + (piece[i] - '0');
    if (value > INT_MAX) {
      value = static_cast<long long>(INT_MAX) + 1;
      break;
    }
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

}  // namespace

VersionPattern ParseVersionPattern(const std::string& text) {
  int numbers[3] = {-1, -1, -1};
  std::size_t start = 0;
  for (int piece = 0; piece < 4 && start < text.size(); ++piece) {
    std::size_t dot = text.find('.', start);
    std::size_t end = dot == std::string::npos ? text.size() : dot;
    int value = ToNumber(text.substr(start, end - start));
    if (piece < 3) numbers[piece] = value;
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return {numbers[0], numbers[1], numbers[2]};
}

VersionRecord ReadVersionRecord(const std::uint8_t* bytes, std::size_t size) {
  std::uint8_t record[kVersionRecordBytes] = {};
  for (std::size_t i = 0; i < size && i < kVersionRecordBytes; ++i) record[i] = bytes[i];
  VersionRecord r;
  r.minor = record[8];
  r.major = record[9];
  r.build = record[10] | (record[11] << 8);
  r.subtype = record[12] < 0x80 ? record[12] : record[12] - 0x100;
  return r;
}

bool RecordMatches(const VersionRecord& record, const VersionPattern& pattern, int subtype) {
  if (record.subtype != subtype) return false;
  if (pattern.major > 0 && static_cast<unsigned>(pattern.major) != record.major) return false;
  if (pattern.minor >= 0 && static_cast<unsigned>(pattern.minor) != record.minor) return false;
  if (pattern.build > 0 && static_cast<unsigned>(pattern.build) != record.build) return false;
  return true;
}

}  // namespace checks

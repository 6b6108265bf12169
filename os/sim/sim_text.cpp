// Text helpers of the simulated machine: case folding that respects double-byte
// characters, buffer cuts and the UTF-16 conversion that Unicode INI files need.
// Code pages other than 1252 convert through iconv, where the C library has it (MinGW's
// has not: there they keep ASCII only).
#if __has_include(<iconv.h>)
#include <iconv.h>
#define SIM_HAVE_ICONV 1
#endif

#include <string>

#include "os/sim/sim_state.h"

namespace os {
namespace sim {

bool IsLeadByte(std::uint32_t codePage, unsigned char byte) {
  switch (codePage) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

std::size_t CharLength(std::uint32_t codePage, const std::string& text, std::size_t i) {
  if (i + 1 < text.size() && IsLeadByte(codePage, static_cast<unsigned char>(text[i]))) return 2;
  return 1;
}

std::string Fold(std::uint32_t codePage, const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size();) {
    std::size_t n = CharLength(codePage, out, i);
    if (n == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    i += n;
  }
  return out;
}

bool SameNoCase(std::uint32_t codePage, const std::string& a, const std::string& b) {
  return a.size() == b.size() && Fold(codePage, a) == Fold(codePage, b);
}

std::string CutToBuffer(const std::string& text, std::size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  return text.size() < bufferSize ? text : text.substr(0, bufferSize - 1);
}

namespace {

// Code page 1252's characters 0x80-0x9F (0 where the code page has none).
const char16_t k1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char To1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (k1252High[i] != 0 && k1252High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

std::string AsciiOnly(const std::u16string& units) {
  std::string out;
  for (char16_t c : units) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

#ifdef SIM_HAVE_ICONV
// One UTF-16 unit's conversion through iconv; '?' when the code page has no character.
std::string ThroughIconv(iconv_t cd, char16_t unit, char16_t next, bool* usedNext) {
  *usedNext = false;
  char in[4] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8),
                static_cast<char>(next & 0xFF), static_cast<char>(next >> 8)};
  std::size_t inLeft = (unit >= 0xD800 && unit <= 0xDBFF) ? 4 : 2;
  char out[16];
  char* inPtr = in;
  char* outPtr = out;
  std::size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return "?";
  *usedNext = (unit >= 0xD800 && unit <= 0xDBFF);
  return std::string(out, static_cast<std::size_t>(outPtr - out));
}
#endif

}  // namespace

std::string Utf16ToCodePage(const std::string& bytes, bool bigEndian, std::uint32_t codePage) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    units.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  std::string out;
  if (codePage == 1252) {
    for (char16_t c : units) out += To1252(c);
    return out;
  }
#ifdef SIM_HAVE_ICONV
  std::string target = "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open(target.c_str(), "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return AsciiOnly(units);  // no converter
  for (std::size_t i = 0; i < units.size(); ++i) {
    bool usedNext = false;
    char16_t next = i + 1 < units.size() ? units[i + 1] : 0;
    out += ThroughIconv(cd, units[i], next, &usedNext);
    if (usedNext) ++i;
  }
  iconv_close(cd);
  return out;
#else
  return AsciiOnly(units);
#endif
}

}  // namespace sim
}  // namespace os

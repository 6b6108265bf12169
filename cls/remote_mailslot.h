// Status messages to a master setup or a status host, sent over a Windows mailslot.
//
// Transport: one mailslot message per status, written to \\<host>\mailslot\SetupStatus.
// A host that is empty or names this computer is reached locally, \\.\mailslot\SetupStatus.
// Sending never waits and never fails the launcher: nobody listening is not an error.
//
// Layout of a message (8-bit text, fields separated by a TAB, no terminating zero):
//   SETUPSTATUS 1 <form> <code> <level> <product> <source> <text> <position> <level2> <sender>
// form is S (code and level only), T (with text), P (with product code and text) or
// H (heartbeat: source, text and two progress numbers); fields a form does not carry are
// empty. In text fields a backslash, TAB, CR and LF are written \\, \t, \r and \n.
// sender is the sending computer's name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cls {

constexpr const char* kStatusMailslotName = "SetupStatus";

struct StatusMessage {
  char form = 'S';
  std::uint32_t code = 0;
  std::uint32_t level = 0;
  std::string productCode;
  std::string source;
  std::string text;
  std::uint32_t position = 0;
  std::uint32_t level2 = 0;
  std::string sender;
};

std::string EncodeStatus(const StatusMessage& message);
std::optional<StatusMessage> DecodeStatus(const std::string& data);
// One line for a person watching: code, level and the fields the form carries.
std::string DescribeStatus(const StatusMessage& message);

class CRemoteMailslot {
 public:
  static void SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level);
  static void SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level,
                         const std::string& text);
  static void SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level,
                         const std::string& productCode, const std::string& text);
  static void SendStatus(const std::string& host, std::uint32_t code, std::uint32_t level,
                         const std::string& source, const std::string& text,
                         std::uint32_t position, std::uint32_t level2);

  // The mailslot path that a message for `host` is written to.
  static std::string SlotPathFor(const std::string& host);
};

}  // namespace cls

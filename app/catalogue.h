// The message catalogue (setupres.ini) and the language rules.
#pragma once

#include <string>

namespace app {

// Section `language`, then section "1033"; "NULL" (any case) counts as missing, and a
// message that neither holds comes back as "NULL". Cut to 519 bytes.
std::string GetMessageText(int number);
std::string GetMessageTextByKey(const std::string& key);

// The system default language as a language id text; Spanish with the modern sort
// (3082) counts as the traditional sort (1034).
std::string SystemLanguageFromId(unsigned langId);
void ApplySystemLanguageRule();
// Unattended runs: the language from the install configuration file, "1033" without one.
void ApplyQuietLanguageRule();

// The product's display name from setup.inf's ProductName: the value without its first
// and last character is a catalogue key. `lookedUp` tells whether the catalogue was asked
// (false for an empty value or one of one or two characters, whose raw value is the name).
struct ProductNameResult {
  std::string name;
  bool lookedUp = false;
};
ProductNameResult ResolveProductName();

}  // namespace app

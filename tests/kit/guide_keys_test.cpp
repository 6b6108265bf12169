// The medium author's guide names every key and message number the launcher reads: the
// sources' profile reads, configuration-file accessors and catalogue lookups are scanned
// and each literal must appear in docs/medium-guide.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(__FILE__).parent_path().parent_path().parent_path();

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The arguments of the call that starts at `open` (just after its "("), split at the
// commas outside parentheses and string literals.
std::vector<std::string> CallArguments(const std::string& text, std::size_t open) {
  std::vector<std::string> args(1);
  int depth = 0;
  bool quoted = false;
  for (std::size_t i = open; i < text.size(); ++i) {
    char ch = text[i];
    if (quoted) {
      if (ch == '\\')
        args.back() += text[i++];
      else if (ch == '"')
        quoted = false;
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == '(') {
      ++depth;
    } else if (ch == ')') {
      if (depth-- == 0) break;
    } else if (ch == ',' && depth == 0) {
      args.emplace_back();
      continue;
    }
    args.back() += ch;
  }
  return args;
}

std::vector<std::string> Literals(const std::string& text) {
  std::vector<std::string> out;
  static const std::regex literal("\"([^\"\\\\]*)\"");
  for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it)
    out.push_back((*it)[1]);
  return out;
}

struct ReadNames {
  std::set<std::string> sections, keys, messages;
};

ReadNames ScanSources() {
  ReadNames names;
  static const std::regex constant("constexpr const char\\* (k\\w+) = \"([^\"]*)\"");
  static const std::regex profileCall("Profile(String|Int)\\(");
  static const std::regex accessor("Read\\(\"(\\w+)\"\\)");
  static const std::regex byNumber("(GetMessageText|PromptRestart)\\(([0-9]+)\\)");
  static const std::regex byKey("GetMessageTextByKey\\(\"(\\w+)\"\\)");
  for (const char* dir : {"app", "checks", "ui", "install", "components", "cls"}) {
    for (const fs::directory_entry& e : fs::directory_iterator(kRoot / dir)) {
      std::string ext = e.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      std::string text = ReadAll(e.path());
      std::map<std::string, std::string> constants;
      for (std::sregex_iterator it(text.begin(), text.end(), constant), end; it != end; ++it)
        constants[(*it)[1]] = (*it)[2];
      auto names_of = [&](const std::string& arg) {
        std::vector<std::string> out = Literals(arg);
        for (const auto& [name, value] : constants)
          if (std::regex_search(arg, std::regex("\\b" + name + "\\b"))) out.push_back(value);
        return out;
      };
      for (std::sregex_iterator it(text.begin(), text.end(), profileCall), end; it != end; ++it) {
        std::vector<std::string> args =
            CallArguments(text, static_cast<std::size_t>(it->position() + it->length()));
        if (args.size() < 3) continue;
        for (const std::string& s : names_of(args[1])) names.sections.insert(s);
        for (const std::string& k : names_of(args[2])) names.keys.insert(k);
      }
      for (std::sregex_iterator it(text.begin(), text.end(), accessor), end; it != end; ++it)
        names.keys.insert((*it)[1]);
      for (std::sregex_iterator it(text.begin(), text.end(), byNumber), end; it != end; ++it)
        names.messages.insert((*it)[2]);
      for (std::sregex_iterator it(text.begin(), text.end(), byKey), end; it != end; ++it)
        names.keys.insert((*it)[1]);
    }
  }
  return names;
}

TEST(GuideKeysTest, EveryKeyTheLauncherReadsIsInTheGuide) {
  const std::string guide = ReadAll(kRoot / "docs" / "medium-guide.md");
  ASSERT_FALSE(guide.empty());
  ReadNames read = ScanSources();
  // The scan sees the reads at all.
  ASSERT_TRUE(read.keys.count("MSIPKG") && read.keys.count("LocalKDB") && read.keys.count("9014"));
  for (const std::string& key : read.keys) {
    // A message number read as a key ("9014") is a row of the message table.
    bool number = key.find_first_not_of("0123456789") == std::string::npos;
    EXPECT_NE(guide.find(number ? "| " + key + " |" : "`" + key), std::string::npos)
        << "key " << key;
  }
  for (const std::string& section : read.sections)
    EXPECT_TRUE(guide.find("[" + section + "]") != std::string::npos ||
                guide.find("`" + section + "`") != std::string::npos)
        << "section " << section;
  for (const std::string& number : read.messages)
    EXPECT_NE(guide.find("| " + number + " |"), std::string::npos) << "message " << number;
}

// Key names the code composes from a base and a number.
TEST(GuideKeysTest, ComposedKeysAreInTheGuideWithTheirNumber) {
  const std::string guide = ReadAll(kRoot / "docs" / "medium-guide.md");
  for (const char* base :
       {"BlockReg", "BlockSubtype", "BlockVer", "BlockMsgID", "Command", "Message", "LANGUAGE"})
    EXPECT_NE(guide.find(std::string("`") + base + "`*n*"), std::string::npos) << base;
}

}  // namespace

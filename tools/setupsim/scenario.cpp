#include "tools/setupsim/scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace setupsim {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return text;
}

bool ParseNumber(const std::string& text, long long* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  *out = std::strtoll(text.c_str(), &end, 0);
  return *end == '\0';
}

std::optional<int> BoxAnswer(const std::string& word) {
  const std::string w = Lower(word);
  if (w == "ok") return 1;
  if (w == "cancel") return 2;
  if (w == "yes") return 6;
  if (w == "no") return 7;
  return std::nullopt;
}

// NAME=VALUE
bool SplitAssignment(const std::string& text, std::string* name, std::string* value) {
  std::size_t eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0) return false;
  *name = text.substr(0, eq);
  *value = text.substr(eq + 1);
  return true;
}

// KEY\NAME=TYPE:VALUE
bool ParseRegistry(const std::string& text, RegistryValue* out) {
  std::size_t eq = text.find('=');
  if (eq == std::string::npos) return false;
  std::string path = text.substr(0, eq);
  std::string typed = text.substr(eq + 1);
  std::size_t slash = path.rfind('\\');
  std::size_t colon = typed.find(':');
  if (slash == std::string::npos || colon == std::string::npos) return false;
  out->keyPath = path.substr(0, slash);
  out->name = path.substr(slash + 1);
  out->type = Lower(typed.substr(0, colon));
  out->value = typed.substr(colon + 1);
  return out->type == "sz" || out->type == "dword" || out->type == "hex";
}

}  // namespace

std::vector<std::string> OsPresetNames() {
  return {"win98", "nt351", "nt4sp5", "nt4sp6", "2000", "xp", "2003", "vista"};
}

std::string Usage() {
  return "usage: setupsim [options] MEDIUM-FOLDER\n"
         "       setupsim --check MEDIUM-FOLDER\n"
         "Runs setup.exe's start-up and install logic on the medium against a simulated\n"
         "machine and prints what it would do. Nothing on this machine is changed.\n"
         "  --os NAME            win98 nt351 nt4sp5 nt4sp6 2000 xp 2003 vista (default xp)\n"
         "  --cpu NAME           x86 x64 ia64 (x64 and ia64 mean 64-bit Windows; default x86)\n"
         "  --lang ID            system default language id (default 1033)\n"
         "  --args TEXT          setup.exe's command line, e.g. \"/q /r\"\n"
         "  --installed          the product (setup.inf ProductDescriptor) is registered\n"
         "  --running            another setup of the same product is running\n"
         "  --computer NAME      this computer's name (default SIMPC)\n"
         "  --temp FOLDER        the TEMP folder (default C:\\TEMP)\n"
         "  --reg KEY\\NAME=TYPE:VALUE  an HKLM registry value; TYPE sz, dword or hex\n"
         "  --box ANSWER         answer to the next message box: ok cancel yes no\n"
         "  --dialog ok[:N]|cancel  answer to the next dialog; N the list item (language)\n"
         "                       or the radio button 1113 (SQL) / 1114 (Oracle)\n"
         "  --exit PROGRAM=CODE  exit code of a program by file name (msiexec.exe too;\n"
         "                       default 0)\n"
         "  --plugin EXPORT=N    result of a plug-in export (BeforeUpgrade, BeforeUpgradeEx,\n"
         "                       AfterUpgrade, CheckBuildNumberForBrisal; default 0)\n"
         "  --drive X:           where the medium lies on the simulated machine (default D:)\n"
         "  --root FOLDER        the same as a folder, e.g. C:\\media\\cd1\n"
         "  --check              lint the medium; exit 0 clean, 1 findings, 2 usage\n";
}

std::optional<Scenario> ParseOptions(const std::vector<std::string>& args, std::string* error) {
  Scenario s;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--check") {
      s.check = true;
    } else if (a == "--installed") {
      s.productInstalled = true;
    } else if (a == "--running") {
      s.otherSetupRunning = true;
    } else if (a == "--os") {
      if (!value(&v)) return std::nullopt;
      std::vector<std::string> names = OsPresetNames();
      if (std::find(names.begin(), names.end(), Lower(v)) == names.end()) {
        *error = "unknown --os " + v;
        return std::nullopt;
      }
      s.os = Lower(v);
    } else if (a == "--cpu") {
      if (!value(&v)) return std::nullopt;
      v = Lower(v);
      if (v != "x86" && v != "x64" && v != "ia64") {
        *error = "unknown --cpu " + v;
        return std::nullopt;
      }
      s.processor = v;
    } else if (a == "--lang") {
      long long n = 0;
      if (!value(&v)) return std::nullopt;
      if (!ParseNumber(v, &n) || n < 0 || n > 0xFFFF) {
        *error = "bad --lang " + v;
        return std::nullopt;
      }
      s.systemLanguage = static_cast<std::uint16_t>(n);
    } else if (a == "--args") {
      if (!value(&s.commandLine)) return std::nullopt;
    } else if (a == "--computer") {
      if (!value(&s.computerName)) return std::nullopt;
    } else if (a == "--temp") {
      if (!value(&v)) return std::nullopt;
      if (v.size() < 3 || v[1] != ':' || v[2] != '\\') {
        *error = "bad --temp " + v + " (a full path such as C:\\TEMP)";
        return std::nullopt;
      }
      s.tempFolder = v.back() == '\\' ? v : v + "\\";
    } else if (a == "--drive") {
      if (!value(&v)) return std::nullopt;
      if (v.size() != 2 || v[1] != ':' || !std::isalpha(static_cast<unsigned char>(v[0]))) {
        *error = "bad --drive " + v;
        return std::nullopt;
      }
      s.mediumRoot = v + "\\";
    } else if (a == "--root") {
      if (!value(&v)) return std::nullopt;
      if (v.size() < 3 || v[1] != ':' || v[2] != '\\') {
        *error = "bad --root " + v + " (a folder such as C:\\media\\cd1)";
        return std::nullopt;
      }
      s.mediumRoot = v.back() == '\\' ? v : v + "\\";
    } else if (a == "--reg") {
      RegistryValue r;
      if (!value(&v)) return std::nullopt;
      if (!ParseRegistry(v, &r)) {
        *error = "bad --reg " + v + " (KEY\\NAME=sz:TEXT, dword:N or hex:BYTES)";
        return std::nullopt;
      }
      s.registry.push_back(r);
    } else if (a == "--box") {
      if (!value(&v)) return std::nullopt;
      std::optional<int> answer = BoxAnswer(v);
      if (!answer) {
        *error = "bad --box " + v;
        return std::nullopt;
      }
      s.messageBoxAnswers.push_back(*answer);
    } else if (a == "--dialog") {
      if (!value(&v)) return std::nullopt;
      DialogAnswer d;
      std::string word = Lower(v.substr(0, v.find(':')));
      if (word == "cancel") {
        d.answer = 2;
      } else if (word != "ok") {
        *error = "bad --dialog " + v;
        return std::nullopt;
      }
      if (v.find(':') != std::string::npos) {
        long long n = 0;
        if (!ParseNumber(v.substr(v.find(':') + 1), &n)) {
          *error = "bad --dialog " + v;
          return std::nullopt;
        }
        d.selection = static_cast<int>(n);
      }
      s.dialogAnswers.push_back(d);
    } else if (a == "--exit" || a == "--plugin") {
      std::string name, number;
      long long n = 0;
      if (!value(&v)) return std::nullopt;
      if (!SplitAssignment(v, &name, &number) || !ParseNumber(number, &n)) {
        *error = "bad " + a + " " + v;
        return std::nullopt;
      }
      if (a == "--exit")
        s.exitCodes[Lower(name)] = static_cast<std::uint32_t>(n);
      else
        s.pluginResults[name] = static_cast<std::int32_t>(n);
    } else if (!a.empty() && a[0] == '-') {
      *error = "unknown option " + a;
      return std::nullopt;
    } else if (s.mediumFolder.empty()) {
      s.mediumFolder = a;
    } else {
      *error = "more than one medium folder";
      return std::nullopt;
    }
  }
  if (s.mediumFolder.empty()) {
    *error = "no medium folder";
    return std::nullopt;
  }
  return s;
}

}  // namespace setupsim

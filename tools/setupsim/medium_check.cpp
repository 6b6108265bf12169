#include "tools/setupsim/medium_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "checks/block_record.h"
#include "components/shared_components.h"
#include "tools/setupsim/ini_file.h"

namespace setupsim {

namespace {

namespace fs = std::filesystem;

constexpr const char* kInf = "setup.inf";
constexpr const char* kRes = "setupres.ini";
constexpr const char* kIcf = "setup.icf";

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsFullPath(const std::string& path) {
  return path.find(':') != std::string::npos || (!path.empty() && path[0] == '\\');
}

// Windows finds files without regard to case; so does the check.
bool ExistsOnMedium(const fs::path& root, const std::string& relative, bool wantFolder = false) {
  fs::path at = root;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("\\/", start);
    std::string part =
        relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? relative.size() + 1 : end + 1;
    if (part.empty() || part == ".") continue;
    std::error_code ec;
    bool found = false;
    for (const fs::directory_entry& e : fs::directory_iterator(at, ec)) {
      if (EqualNoCase(e.path().filename().string(), part)) {
        at = e.path();
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  std::error_code ec;
  return wantFolder ? fs::is_directory(at, ec) : fs::is_regular_file(at, ec);
}

int CountPlaceholders(const std::string& text) {
  int n = 0;
  for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + 2)) ++n;
  return n;
}

bool IsNull(const std::optional<std::string>& text) { return !text || EqualNoCase(*text, "NULL"); }

bool IsLanguageId(const std::string& name) {
  return name.size() == 4 &&
         std::all_of(name.begin(), name.end(), [](unsigned char ch) { return std::isdigit(ch); });
}

class Checker {
 public:
  explicit Checker(const std::string& folder)
      : root_(folder),
        inf_(IniFile::Load((root_ / kInf).string())),
        res_(IniFile::Load((root_ / kRes).string())),
        icf_(IniFile::Load((root_ / kIcf).string())) {}

  std::vector<Finding> Run() {
    if (!inf_.exists()) {
      Add(kInf, "", "", "missing: setup.exe ends at once without installing anything");
      return findings_;
    }
    multiLanguage_ = std::atoi(inf_.Get("Setup", "MultiLanguage").value_or("1").c_str()) != 0;
    Package();
    NamedFiles();
    CommandLists();
    Languages();
    Catalogue();
    ProductName();
    Platforms();
    BlockRules();
    SharedComponents();
    return findings_;
  }

 private:
  void Add(const std::string& file, const std::string& section, const std::string& key,
           const std::string& problem) {
    findings_.push_back({file, section, key, problem});
  }

  // A file named by setup.inf, relative to the launcher's folder unless it is a full path
  // (which only the machine it runs on can tell).
  void NamedFile(const std::string& section, const std::string& key, std::string value) {
    value = Trim(value);
    if (value.empty() || IsFullPath(value)) return;
    if (!ExistsOnMedium(root_, value))
      Add(kInf, section, key, "names " + value + ", not on the medium");
  }

  void Package() {
    bool sap = !inf_.Value("SAP", "SQL").empty() && !inf_.Value("SAP", "Oracle").empty();
    if (inf_.Value("Setup", "MSIPKG").empty() && inf_.Value("Setup", "MINORPKG").empty() && !sap)
      Add(kInf, "Setup", "MSIPKG",
          "no package: neither MSIPKG nor MINORPKG (nor a SAP pair) is set");
    if (inf_.Value("SAP", "SQL").empty() != inf_.Value("SAP", "Oracle").empty())
      Add(kInf, "SAP", inf_.Value("SAP", "SQL").empty() ? "SQL" : "Oracle",
          "only one of SQL and Oracle is set: no database choice is offered");
  }

  void NamedFiles() {
    for (const char* key : {"MSIPKG", "MINORPKG", "Bitmap"})
      NamedFile("Setup", key, inf_.Value("Setup", key));
    for (const char* key : {"MSISetup", "MSMSetup"})
      NamedFile("Components", key, inf_.Value("Components", key));
    for (const char* key : {"SQL", "Oracle"}) NamedFile("SAP", key, inf_.Value("SAP", key));
    std::string plugin = Trim(inf_.Value("Upgrade", "GUIDLL"));
    if (plugin.find("%s") != std::string::npos) {
      for (const std::string& id : LanguageFolders()) {
        std::string name = plugin;
        name.replace(name.find("%s"), 2, id);
        NamedFile("Upgrade", "GUIDLL", name);
      }
    } else {
      NamedFile("Upgrade", "GUIDLL", plugin);
    }
    std::string resources = Trim(inf_.Value("ProductInfo", "SetupResDll"));
    if (!resources.empty() && !ExistsOnMedium(root_, resources)) {
      bool inEveryLanguage = !LanguageFolders().empty();
      for (const std::string& id : LanguageFolders())
        inEveryLanguage = inEveryLanguage && ExistsOnMedium(root_, id + "\\" + resources);
      if (!inEveryLanguage)
        Add(kInf, "ProductInfo", "SetupResDll",
            "names " + resources + ", neither beside setup.exe nor in every language folder");
    }
  }

  // The program of a command text: up to its first "/".
  void CommandProgram(const std::string& section, const std::string& key,
                      const std::string& command) {
    NamedFile(section, key, command.substr(0, command.find('/')));
  }

  void CommandLists() {
    for (const char* section : {"PreInstall", "PostInstall"}) {
      int n = 1;
      for (; !inf_.Value(section, "Command" + std::to_string(n)).empty(); ++n)
        CommandProgram(section, "Command" + std::to_string(n),
                       inf_.Value(section, "Command" + std::to_string(n)));
      for (const std::string& key : inf_.Keys(section)) {
        if (key.size() <= 7 || !EqualNoCase(key.substr(0, 7), "Command")) continue;
        int index = std::atoi(key.substr(7).c_str());
        if (index > n)
          Add(kInf, section, key,
              "never runs: the list ends at Command" + std::to_string(n) + ", which is missing");
      }
    }
    CommandProgram("PreInstallSCC", "Command_EKSM", inf_.Value("PreInstallSCC", "Command_EKSM"));
  }

  std::vector<std::string> LanguageFolders() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(root_, ec))
      if (e.is_directory() && IsLanguageId(e.path().filename().string()))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

  void Languages() {
    if (!multiLanguage_) return;
    std::set<std::string> folders;
    for (const std::string& id : LanguageFolders()) {
      folders.insert(id);
      if (!ExistsOnMedium(root_, id + ".mst"))
        Add(id + "\\", "", "",
            "language folder without its transform " + id + ".mst beside setup.exe");
    }
    if (!ExistsOnMedium(root_, "1033.mst"))
      Add("1033.mst", "", "",
          "missing: unattended runs fall back to language 1033 and pass TRANSFORMS=1033.mst");
    PackageTransforms(folders);
    int listed = std::atoi(res_.Value("LANGUAGE", "LANGUAGENUMBER").c_str());
    for (int i = 0; i < listed; ++i) {
      std::string key = "LANGUAGE" + std::to_string(i);
      std::string entry = Trim(res_.Value("1033", key));
      if (entry.size() < 5) {
        Add(kRes, "1033", key, "missing: LANGUAGENUMBER is " + std::to_string(listed));
      } else if (!folders.count(entry.substr(entry.size() - 4))) {
        Add(kRes, "1033", key,
            "\"" + entry + "\" is never offered: no folder " + entry.substr(entry.size() - 4) +
                " on the medium");
      }
    }
    for (const char* key : {"TITLE", "DESCRIPTION", "OK", "Cancel"})
      if (listed > 1 && IsNull(res_.Get("1033", key)))
        Add(kRes, "1033", key, "missing: the language dialog would show \"NULL\"");
    std::string quiet = icf_.Value("Install", "LanguageID");
    if (icf_.exists() && !quiet.empty() && !folders.count(quiet))
      Add(kIcf, "Install", "LanguageID", "language " + quiet + " has no folder on the medium");
  }

  // The installer resolves TRANSFORMS=<id>.mst against the package's own folder, so a
  // package in a subfolder needs each transform beside it too.
  void PackageTransforms(const std::set<std::string>& languages) {
    for (const auto& [section, key] : {std::pair<const char*, const char*>{"Setup", "MSIPKG"},
                                       {"Setup", "MINORPKG"}, {"SAP", "SQL"}, {"SAP", "Oracle"}}) {
      std::string package = Trim(inf_.Value(section, key));
      std::size_t slash = package.find_last_of("\\/");
      if (IsFullPath(package) || slash == std::string::npos) continue;
      std::string folder = package.substr(0, slash + 1);
      for (const std::string& id : languages)
        if (ExistsOnMedium(root_, id + ".mst") && !ExistsOnMedium(root_, folder + id + ".mst"))
          Add(kInf, section, key,
              "the installer looks for " + id + ".mst beside " + package + ": " + folder + id +
                  ".mst is missing");
    }
  }

  // A message the launcher looks up by number or key: found in "1033" (the fallback), and
  // with no more "%s" than the launcher fills.
  void Message(const std::string& key, int filled, const std::string& use) {
    std::optional<std::string> text = res_.Get("1033", key);
    if (IsNull(text)) {
      // A restart question without its text is not asked at all.
      bool question = key == "9063" || key == "9073";
      Add(kRes, "1033", key,
          "missing: " + use + (question ? " is never asked" : " would show \"NULL\""));
      return;
    }
    for (const std::string& section : res_.Sections()) {
      std::optional<std::string> own = res_.Get(section, key);
      if (IsNull(own)) continue;
      int count = CountPlaceholders(*own);
      if (count > filled)
        Add(kRes, section, key,
            "has " + std::to_string(count) + " \"%s\", the launcher fills " +
                std::to_string(filled));
    }
  }

  void Catalogue() {
    if (!res_.exists()) {
      Add(kRes, "", "", "missing: every message reads \"NULL\"");
      return;
    }
    if (!res_.HasSection("1033"))
      Add(kRes, "1033", "", "missing: the fallback section of every message");
    Message("9", 0, "the failure report");
    Message("9011", 1, "the setup title");
    Message("9013", 1, "the report of an installer that cannot start");
    Message("9069", 0, "the restart report to a master setup");
    Message("9073", 0, "the restart question after the install");
    if (std::optional<std::string> m10 = res_.Get("1033", "10"))
      if (CountPlaceholders(*m10) > 1) Add(kRes, "1033", "10", "more than one \"%s\"");
    if (!inf_.Value("Components", "MSISetup").empty() ||
        !inf_.Value("Components", "MSMSetup").empty())
      Message("9063", 0, "the restart question before the install");
    if (!inf_.Value("Setup", "SystemVersion").empty()) {
      Message("9079", 0, "the platform refusal");
      Message("9086", 1, "the service-pack refusal");
    }
    if (!inf_.Value("SAP", "SQL").empty() && !inf_.Value("SAP", "Oracle").empty()) {
      Message("SAPSELECTSQL", 0, "the SQL Server choice");
      Message("SAPSELECTORACLE", 0, "the Oracle choice");
    }
    // Message 9014 is read from the language's own section only.
    std::string name = inf_.Value("Setup", "ProductName");
    if (name.size() >= 3)
      for (const std::string& section : LanguageSections())
        if (!res_.Get(section, "9014"))
          Add(kRes, section, "9014", "missing: a second setup of the product ends without a word");
    for (const std::string& section : res_.Sections()) {
      if (EqualNoCase(section, "1033") || !IsLanguageId(section)) continue;
      for (const std::string& key : res_.Keys(section))
        if (!res_.Get("1033", key))
          Add(kRes, "1033", key,
              "missing, but section " + section + " has it: runs in other languages read \"NULL\"");
    }
  }

  std::vector<std::string> LanguageSections() {
    std::vector<std::string> out;
    for (const std::string& section : res_.Sections())
      if (IsLanguageId(section)) out.push_back(section);
    return out;
  }

  void ProductName() {
    std::string value = inf_.Value("Setup", "ProductName");
    if (value.size() < 3) return;
    std::string key = value.substr(1, value.size() - 2);
    if (IsNull(res_.Get("1033", key))) {
      Add(kInf, "Setup", "ProductName",
          "key " + key + " is not in setupres.ini [1033]: the product name shows \"NULL\"");
    }
  }

  void Platforms() {
    std::string listed = inf_.Value("Setup", "SystemVersion");
    if (listed.empty()) return;
    bool nt = listed.find("Winnt") != std::string::npos ||
              listed.find("WinXP64") != std::string::npos ||
              listed.find("AMD64") != std::string::npos;
    bool win9x = listed.find("Win9x/ME") != std::string::npos;
    if (!nt && !win9x)
      Add(kInf, "Setup", "SystemVersion",
          "\"" + listed +
              "\" admits no platform (tokens are case-sensitive: Winnt, WinXP64, AMD64, "
              "VISTA, VISTAAMD64, Win9x/ME)");
    else if (!nt)
      Add(kInf, "Setup", "SystemVersion", "\"" + listed + "\" refuses every Windows NT system");
  }

  void BlockRules() {
    for (const std::string& key : inf_.Keys("Upgrade")) {
      for (const char* base : {"BlockReg", "BlockSubtype", "BlockVer", "BlockMsgID"}) {
        std::string b = base;
        if (key.size() <= b.size() || !EqualNoCase(key.substr(0, b.size()), b)) continue;
        std::string index = key.substr(b.size());
        if (!std::all_of(index.begin(), index.end(),
                         [](unsigned char ch) { return std::isdigit(ch); }))
          continue;
        if (std::atoi(index.c_str()) > 7)
          Add(kInf, "Upgrade", key, "never read: rules run from 0 to 7");
      }
    }
    for (int i = 0; i <= 7; ++i) {
      std::string n = std::to_string(i);
      std::string reg = inf_.Value("Upgrade", "BlockReg" + n);
      std::optional<std::string> subtypeText = inf_.Get("Upgrade", "BlockSubtype" + n);
      if (reg.empty()) {
        if (subtypeText || inf_.Get("Upgrade", "BlockVer" + n) ||
            inf_.Get("Upgrade", "BlockMsgID" + n))
          Add(kInf, "Upgrade", "BlockReg" + n, "missing: rule " + n + " is never examined");
        continue;
      }
      int subtype = subtypeText ? std::atoi(subtypeText->c_str()) : -1;
      if (subtype == -1) {
        Add(kInf, "Upgrade", "BlockSubtype" + n, "missing or -1: rule " + n + " is never examined");
        continue;
      }
      if (subtype < -128 || subtype > 127)
        Add(kInf, "Upgrade", "BlockSubtype" + n,
            std::to_string(subtype) +
                " never matches: a record's subtype is a signed byte (-128..127)");
      checks::VersionPattern p = checks::ParseVersionPattern(inf_.Value("Upgrade", "BlockVer" + n));
      if (p.major > 255 || p.minor > 255 || p.build > 65535)
        Add(kInf, "Upgrade", "BlockVer" + n,
            "never matches: a record holds major and minor up to 255 and build up to 65535");
      std::string message = inf_.Value("Upgrade", "BlockMsgID" + n);
      if (!message.empty()) {
        Message(message, 3, "the message of block rule " + n);
      }
    }
  }

  void SharedComponents() {
    std::optional<std::string> kdb = inf_.Get("PreInstallSCC", "Command_KDB");
    if (kdb && !kdb->empty() &&
        !components::KdbCommandLine(*kdb, "C:\\Ingres", "C:\\TEMP\\setup.icf", "scc.rsp"))
      Add(kInf, "PreInstallSCC", "Command_KDB",
          "refused by the launcher: only up to three \"%s\" and no other conversion");
  }

  fs::path root_;
  IniFile inf_, res_, icf_;
  bool multiLanguage_ = true;
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckMedium(const std::string& mediumFolder) {
  return Checker(mediumFolder).Run();
}

void PrintFindings(const std::vector<Finding>& findings, std::ostream& out) {
  for (const Finding& f : findings) {
    out << f.file;
    if (!f.section.empty()) out << " [" << f.section << "]";
    if (!f.key.empty()) out << " " << f.key;
    out << ": " << f.problem << "\n";
  }
}

}  // namespace setupsim

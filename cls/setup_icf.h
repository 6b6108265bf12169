// The install configuration file: answers for unattended installs and for the shared
// components. It is an INI file; the shared-component answers live in section [SCC]
// (the section header is also the marker that asks for the shared components):
//
//   [SCC]
//   LocalKDB=YES            ; YES: the management database is installed on this computer
//   KDBHost=DBSRV           ; host of the management database
//   KDBUser=ingres          ; login for the virtual node
//   KDBPassword=secret
//   KDBID=II                ; listen address of the database's installation
//   LocaleKSM=YES           ; YES: install the identity component too
//   eKSMPass=secret         ; the identity component's administrator password
//
// Sections [Install] (LanguageID) and [Base] (ProductPath) are read by the launcher itself.
#pragma once

#include <string>

namespace cls {

class CSetupIcf {
 public:
  explicit CSetupIcf(const std::string& path);

  std::string LocalKDB() const { return Read("LocalKDB"); }
  std::string LocaleKSM() const { return Read("LocaleKSM"); }
  std::string KDBHost() const { return Read("KDBHost"); }
  std::string KDBUser() const { return Read("KDBUser"); }
  std::string KDBPassword() const { return Read("KDBPassword"); }
  std::string KDBID() const { return Read("KDBID"); }
  std::string eKSMPass() const { return Read("eKSMPass"); }

 private:
  std::string Read(const char* key) const;
  std::string path_;
};

}  // namespace cls

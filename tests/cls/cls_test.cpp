#include <gtest/gtest.h>

#include "cls/kelm_registry.h"
#include "cls/log.h"
#include "cls/msi_version.h"
#include "cls/remote_mailslot.h"
#include "cls/setup_icf.h"
#include "os/sim/sim_machine.h"

namespace {

TEST(StatusMessages, EveryFormSurvivesTheMailslotLayout) {
  cls::StatusMessage m;
  m.form = 'H';
  m.code = 38;
  m.level = 1;
  m.productCode = "ZODIDEZ";
  m.source = "TALVERON";
  m.text = "tab\there\r\nback\\slash";
  m.position = 97;
  m.level2 = 81;
  m.sender = "PC01";
  std::optional<cls::StatusMessage> back = cls::DecodeStatus(cls::EncodeStatus(m));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->form, 'H');
  EXPECT_EQ(back->code, 38u);
  EXPECT_EQ(back->text, m.text);
  EXPECT_EQ(back->source, "TALVERON");
  EXPECT_EQ(back->position, 97u);
  EXPECT_EQ(back->level2, 81u);
  EXPECT_EQ(back->sender, "PC01");
}

TEST(StatusMessages, GarbageIsNotAStatus) {
  for (const char* data : {"", "SETUPSTATUS", "SETUPSTATUS\t2\tS\t1\t1\t\t\t\t0\t0\t",
                           "SETUPSTATUS\t1\tS\tx\t1\t\t\t\t0\t0\t"})
    EXPECT_FALSE(cls::DecodeStatus(data)) << data;
}

TEST(StatusMessages, EachSendFormGoesToTheHostsSlot) {
  os::ScopedSimMachine sim;
  cls::CRemoteMailslot::SendStatus("", 5, 1);
  cls::CRemoteMailslot::SendStatus("simpc", 26, 3, "failed");
  cls::CRemoteMailslot::SendStatus("MASTER", 4, 2, "ZODIDEZ", "");
  cls::CRemoteMailslot::SendStatus("SIMPC", 38, 1, "TALVERON", "", 5, 5);
  const std::vector<os::SimMailslotMessage>& sent = sim->MailslotMessages();
  ASSERT_EQ(sent.size(), 4u);
  const char* paths[] = {"\\\\.\\mailslot\\SetupStatus", "\\\\.\\mailslot\\SetupStatus",
                         "\\\\MASTER\\mailslot\\SetupStatus", "\\\\.\\mailslot\\SetupStatus"};
  const char forms[] = {'S', 'T', 'P', 'H'};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(sent[i].path, paths[i]);
    EXPECT_EQ(cls::DecodeStatus(sent[i].data)->form, forms[i]);
  }
}

TEST(SetupIcf, ReadsTheSharedComponentAnswers) {
  os::ScopedSimMachine sim;
  sim->WriteFileText("C:\\TEMP\\setup.icf",
                     "[Install]\nLanguageID=1033\n[SCC]\nLocalKDB=YES\nKDBHost=DBSRV\n"
                     "eKSMPass=p w\n");
  cls::CSetupIcf icf("C:\\TEMP\\setup.icf");
  EXPECT_EQ(icf.LocalKDB(), "YES");
  EXPECT_EQ(icf.KDBHost(), "DBSRV");
  EXPECT_EQ(icf.eKSMPass(), "p w");
  EXPECT_EQ(icf.KDBID(), "");
  EXPECT_EQ(cls::CSetupIcf("").LocaleKSM(), "");
}

TEST(KelmRegistry, Wow6432NodeOnlyForSoftwarePaths) {
  EXPECT_EQ(cls::CKelmRegistry::Wow6432Node("SOFTWARE\\Quorvane\\Norvale Tessmark"),
            "SOFTWARE\\Wow6432Node\\Quorvane\\Norvale Tessmark");
  EXPECT_EQ(cls::CKelmRegistry::Wow6432Node("SOFTWARE\\Wow6432Node\\X"),
            "SOFTWARE\\Wow6432Node\\X");
  EXPECT_EQ(cls::CKelmRegistry::Wow6432Node("SYSTEM\\X"), "SYSTEM\\X");
}

TEST(SetupLogWriter, AppendsTimeStampedLines) {
  os::ScopedSimMachine sim;
  EXPECT_EQ(cls::CLog::Write("C:\\TEMP\\_SETUP.LOG", "first %s", {"line"}), 1);
  EXPECT_EQ(cls::CLog::Write("C:\\TEMP\\_SETUP.LOG", "100% %s", {"%d"}), 1);
  std::string log = sim->ReadFileText("C:\\TEMP\\_SETUP.LOG").value_or("");
  EXPECT_NE(log.find("  first line\r\n"), std::string::npos);
  EXPECT_NE(log.find("  100% %d\r\n"), std::string::npos);
  EXPECT_EQ(cls::CLog::Write("Q:\\missing\\x.log", "x"), 0);
}

TEST(InstallerVersion, MsiDllFromThreePointOneOn) {
  os::ScopedSimMachine sim;
  struct Case {
    std::uint16_t major, minor;
    int ok;
  } cases[] = {{2, 0, 0}, {3, 0, 0}, {3, 1, 1}, {4, 5, 1}};
  for (const Case& t : cases) {
    sim->SetFileVersion("C:\\WINDOWS\\system32\\msi.dll", os::FileVersion{t.major, t.minor, 0, 0});
    EXPECT_EQ(cls::IsMsiVersionOK(0), t.ok) << t.major << "." << t.minor;
  }
}

}  // namespace
